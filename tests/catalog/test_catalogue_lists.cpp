// The four lists as the download fetches them: what a server may send that
// is no list of the row's kind, and what replaces a list.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "catalog/catalogue_lists.h"
#include "common/loopback_server.h"
#include "common/proxy_environment.h"
#include "common/temp_dir.h"
#include "nbody/factory.h"

namespace {

const std::string DATA = ZENORB_TEST_DATA;
const std::string OLD = "old list, kept byte for byte\n";

const CatalogueList& comets_list() {
    return catalogue_list(0);
}
const CatalogueList& critical_list() {
    return catalogue_list(3);
}

TEST(CatalogueLists, NamesFilesAndAddresses) {
    const char* files[] = {"zenorb_comets.txt", "zenorb_bright.txt", "zenorb_unusual.txt",
                           "zenorb_critical.txt"};
    for (int i = 0; i < CATALOGUE_LISTS; ++i) {
        EXPECT_EQ(catalogue_list(i).file, std::string(files[i]));
        EXPECT_EQ(catalogue_list(i).comets, i == 0);
    }
    EXPECT_EQ(catalogue_list_url(catalogue_list(1), mpc_server_url, 2026),
              "https://www.minorplanetcenter.net/iau/Ephemerides/Bright/2026/Soft06Bright.txt");
    // With or without the final "/".
    EXPECT_EQ(catalogue_list_url(comets_list(), "http://127.0.0.1:8080", 2026),
              "http://127.0.0.1:8080/iau/Ephemerides/Comets/Soft06Cmt.txt");
    EXPECT_EQ(catalogue_list_url(critical_list(), "http://127.0.0.1:8080/mirror/", 2026),
              "http://127.0.0.1:8080/mirror/iau/Ephemerides/CritList/Soft06CritList.txt");
}

class ListDownloadTest : public testing::Test {
protected:
    void SetUp() override {
        comets = slurp(DATA + "/mpc/comets_sample.txt");
        critical = slurp(DATA + "/mpc/Soft06CritList-2014-05-23.txt");
        ASSERT_FALSE(comets.empty());
        ASSERT_FALSE(critical.empty());
    }
    std::string file(const CatalogueList& list) const { return dir.path() + "/" + list.file; }

    LoopbackServer server;
    TempDir dir;
    std::string comets, critical;
};

// A 200 answer is not yet a list: whatever holds no element line of the
// row's kind leaves the old file, and the reason says what came.
TEST_F(ListDownloadTest, AnswerWithoutElementLinesOfTheKindKeepsTheOldList) {
    struct Case {
        const char* name;
        const CatalogueList& list;
        std::string body;
        std::string extra_headers;
        std::string reason;
    } cases[] = {
        {"an HTML page", critical_list(),
         "<!DOCTYPE html>\n<html><body>Service unavailable | try later</body></html>\n",
         "Content-Type: text/html\r\n",
         "no asteroid element line in what came (an HTML or XML document)"},
        {"a gzip file, not encoded", critical_list(),
         std::string("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03", 10) + std::string(500, 'z'),
         "Content-Type: application/gzip\r\n",
         "no asteroid element line in what came (gzip-compressed data)"},
        {"NUL bytes", critical_list(), std::string(79950, '\0'), "",
         "no asteroid element line in what came (binary data)"},
        {"comets for an asteroid list", critical_list(), comets, "",
         "no asteroid element line in what came (text)"},
        {"asteroids for the comet list", comets_list(), critical, "",
         "no comet element line in what came (text)"},
        {"blank lines", comets_list(), "\n\n\r\n   \n", "",
         "no comet element line in what came (text)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dir.write(c.list.file, OLD);
        server.on("/list", LoopbackServer::reply(200, c.body, c.extra_headers));
        const FetchResult result = download_catalogue_list(c.list, server.url("/list"), dir.path());
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.reason, c.reason);
        EXPECT_EQ(slurp(file(c.list)), OLD);
        EXPECT_EQ(files_in(dir.path()), std::set<std::string>{c.list.file});
        std::filesystem::remove(file(c.list));
    }
}

TEST_F(ListDownloadTest, ListOfTheKindReplacesTheOldOneAndIsRead) {
    dir.write(comets_list().file, OLD);
    dir.write(critical_list().file, OLD);
    server.on("/comets", LoopbackServer::reply(200, comets));
    server.on("/critical", LoopbackServer::reply(200, critical));
    EXPECT_TRUE(download_catalogue_list(comets_list(), server.url("/comets"), dir.path()).ok);
    EXPECT_TRUE(download_catalogue_list(critical_list(), server.url("/critical"), dir.path()).ok);
    EXPECT_EQ(slurp(file(comets_list())), comets);
    EXPECT_EQ(slurp(file(critical_list())), critical);
    nbFactory factory;
    std::vector<CatalogueFileRead> reads;
    factory.load_catalogues(dir.path(), true, &reads);
    ASSERT_EQ(reads.size(), 4u);
    EXPECT_GT(reads[0].added, 0);
    EXPECT_GT(reads[3].added, 0);
}

// A list larger than the catalogue reads is stopped at the reader's limit,
// so that it never replaces a list the catalogue could read.
TEST_F(ListDownloadTest, ListLargerThanTheReaderTakesIsRefusedAsTooLarge) {
    EXPECT_EQ(catalogue_list_options(critical_list()).limits.max_bytes, nbFactory::MAX_FILE_BYTES);
    FetchOptions small;
    small.limits.max_bytes = 1000;
    EXPECT_EQ(catalogue_list_options(critical_list(), small).limits.max_bytes, 1000);
    FetchOptions unlimited;
    unlimited.limits.max_bytes = 0;
    EXPECT_EQ(catalogue_list_options(critical_list(), unlimited).limits.max_bytes,
              nbFactory::MAX_FILE_BYTES);

    std::string big;
    while (big.size() <= static_cast<std::size_t>(20 << 20))
        big += critical;
    dir.write(critical_list().file, OLD);
    server.on("/announced", LoopbackServer::reply(200, big));
    server.on("/chunked", LoopbackServer::chunked(big, 1 << 16));
    for (const char* target : {"/announced", "/chunked"}) {
        SCOPED_TRACE(target);
        const FetchResult result =
            download_catalogue_list(critical_list(), server.url(target), dir.path());
        EXPECT_EQ(result.reason, "too large (more than 16 MiB)");
        EXPECT_EQ(slurp(file(critical_list())), OLD);
        EXPECT_EQ(files_in(dir.path()), std::set<std::string>{critical_list().file});
    }
}

} // namespace
