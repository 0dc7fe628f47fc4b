// The transfer against a real server on 127.0.0.1 that the test starts.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <zlib.h>

#include "catalog/http_fetch.h"
#include "common/loopback_server.h"
#include "common/proxy_environment.h"
#include "common/read_only_dir.h"
#include "common/temp_dir.h"

namespace {

const std::string CRITICAL = std::string(ZENORB_TEST_DATA) + "/mpc/Soft06CritList-2014-05-23.txt";
const std::string OLD = "old catalogue, kept byte for byte\r\n\x01\xff";

// The bytes gzip makes of text, as a server that compresses sends them.
std::string gzipped(const std::string& text) {
    z_stream stream{};
    // 15 + 16: a gzip header and trailer around the deflate stream.
    deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, text.size()) + 64, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A port on 127.0.0.1 where nobody listens.
int closed_port() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), length);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

class FetchTest : public testing::Test {
protected:
    void SetUp() override {
        body = slurp(CRITICAL);
        ASSERT_GT(body.size(), 50000u) << CRITICAL;
    }

    std::string path() const { return dir.path() + "/zenorb_critical.txt"; }

    // Short limits, so that the stall cases take a second, not thirty.
    static FetchOptions quick() {
        FetchOptions options;
        options.limits.connect_timeout_ms = 1000;
        options.limits.low_speed_seconds = 1;
        return options;
    }

    LoopbackServer server;
    TempDir dir;
    std::string body;
};

TEST(FetchLimits, ProductDefaults) {
    const FetchLimits limits;
    EXPECT_EQ(limits.connect_timeout_ms, 5000);
    EXPECT_EQ(limits.max_bytes, 64 << 20);
    EXPECT_EQ(limits.deadline_seconds, 600);
    // A server that stops sending fails after about 30 s.
    EXPECT_EQ(limits.low_speed_seconds, 30);
    EXPECT_GE(limits.low_speed_bytes, 1);
    EXPECT_LE(limits.low_speed_bytes, 100);
    EXPECT_GE(limits.max_redirects, 2);
    EXPECT_LE(limits.max_redirects, 10);
    EXPECT_TRUE(FetchOptions().ca_file.empty());
}

TEST_F(FetchTest, AnswerReplacesTheFileByteForByteWithTheAgreedHeaders) {
    dir.write("zenorb_critical.txt", OLD);
    server.on("/iau/Ephemerides/CritList/Soft06CritList.txt", LoopbackServer::reply(200, body));
    FetchControl control;
    const FetchResult result = fetch_url(server.url("/iau/Ephemerides/CritList/Soft06CritList.txt"),
                                         path(), FetchOptions(), &control);
    EXPECT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(result.reason, "");
    EXPECT_EQ(slurp(path()), body);
    EXPECT_EQ(files_in(dir.path()), std::set<std::string>{"zenorb_critical.txt"});
    EXPECT_EQ(control.received(), static_cast<std::int64_t>(body.size()));
    EXPECT_EQ(control.announced(), static_cast<std::int64_t>(body.size()));

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/iau/Ephemerides/CritList/Soft06CritList.txt");
    EXPECT_EQ(requests[0].headers.at("accept"), "text/*");
    EXPECT_EQ(requests[0].headers.at("user-agent"), "Mozilla");
    EXPECT_EQ(requests[0].headers.at("host"), "127.0.0.1:" + std::to_string(server.port()));
}

TEST_F(FetchTest, AnswerWithoutLengthIsTakenWhole) {
    server.on("/list", LoopbackServer::chunked(body, 1000));
    FetchControl control;
    const FetchResult result = fetch_url(server.url("/list"), path(), FetchOptions(), &control);
    EXPECT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(slurp(path()), body);
    EXPECT_EQ(control.announced(), 0);
    EXPECT_EQ(control.received(), static_cast<std::int64_t>(body.size()));
}

TEST_F(FetchTest, RedirectsAreFollowed) {
    server.on("/good", LoopbackServer::reply(200, body));
    server.on("/moved", LoopbackServer::redirect(301, server.url("/good")));
    server.on("/found", LoopbackServer::redirect(302, "/good"));
    server.on("/twice", LoopbackServer::redirect(302, "/found"));
    for (const char* start : {"/moved", "/found", "/twice"}) {
        SCOPED_TRACE(start);
        std::filesystem::remove(path());
        const FetchResult result = fetch_url(server.url(start), path());
        EXPECT_TRUE(result.ok) << result.reason;
        EXPECT_EQ(slurp(path()), body);
        EXPECT_EQ(files_in(dir.path()), std::set<std::string>{"zenorb_critical.txt"});
    }
    // The agent and the accepted types go with every request of the chain.
    for (const LoopbackRequest& request : server.requests()) {
        EXPECT_EQ(request.headers.at("user-agent"), "Mozilla") << request.target;
        EXPECT_EQ(request.headers.at("accept"), "text/*") << request.target;
    }
}

// Every way of failing keeps the earlier file exactly and leaves no
// temporary file behind.
TEST_F(FetchTest, FailuresKeepTheEarlierFileAndSayWhy) {
    struct Case {
        const char* name;
        LoopbackServer::Handler handler;
        std::string reason;
    } cases[] = {
        {"not found", LoopbackServer::reply(404, "<html>no such list</html>"), "HTTP 404"},
        {"not found, empty", LoopbackServer::reply(404, ""), "HTTP 404"},
        {"server error", LoopbackServer::reply(500, "oops"), "HTTP 500"},
        {"empty answer", LoopbackServer::reply(200, ""), "empty answer"},
        {"no content", LoopbackServer::reply(204, ""), "HTTP 204"},
        {"created", LoopbackServer::reply(201, "made"), "HTTP 201"},
        {"odd success", LoopbackServer::reply(299, "what"), "HTTP 299"},
        {"part only",
         LoopbackServer::reply(206, body.substr(0, 1000),
                               "Content-Range: bytes 0-999/" + std::to_string(body.size()) +
                                   "\r\n"),
         "HTTP 206 (only part of the file)"},
        {"encoding not asked for", LoopbackServer::reply(200, body, "Content-Encoding: br\r\n"),
         "the answer came encoded as 'br', which was not asked for"},
        {"encoding unknown", LoopbackServer::reply(200, body, "Content-Encoding: x-odd\r\n"),
         "the answer came encoded as 'x-odd', which was not asked for"},
        {"gzip that is none", LoopbackServer::reply(200, body, "Content-Encoding: gzip\r\n"),
         "the answer's gzip encoding is broken"},
        {"header line of 10 MB",
         [](LoopbackExchange& exchange) {
             exchange.send("HTTP/1.1 200 OK\r\nX-Filler: " + std::string(10 << 20, 'x') +
                           "\r\n\r\nbody");
         },
         "the server sent a header line longer than 100 KiB"},
        {"redirect nowhere", LoopbackServer::reply(302, "see elsewhere"), "HTTP 302"},
        {"cut short", LoopbackServer::cut_short(body, body.size() / 2), "transfer cut short"},
        {"cut short, one byte", LoopbackServer::cut_short(body, 1), "transfer cut short"},
        {"chunks broken off",
         [](LoopbackExchange& exchange) {
             exchange.send(http_head(200, -1, "Transfer-Encoding: chunked\r\n") + "100\r\nabc");
         },
         "transfer cut short"},
        {"no answer", [](LoopbackExchange&) {}, "no answer from the server"},
        {"not HTTP", [](LoopbackExchange& exchange) { exchange.send("hello there\r\n\r\n"); },
         "not an HTTP answer"},
        {"redirect loop", LoopbackServer::redirect(302, "/case"), "too many redirects"},
        {"redirect to ftp", LoopbackServer::redirect(302, "ftp://127.0.0.1/list"),
         "not an http:// or https:// address"},
        {"stall before answering", LoopbackServer::stall(), "timed out"},
        {"stall in the body", LoopbackServer::stall_after(body, 4000), "timed out"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dir.write("zenorb_critical.txt", OLD);
        server.on("/case", c.handler);
        const FetchResult result = fetch_url(server.url("/case"), path(), quick());
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.reason, c.reason);
        EXPECT_EQ(slurp(path()), OLD);
        EXPECT_EQ(files_in(dir.path()), std::set<std::string>{"zenorb_critical.txt"});
    }
}

TEST_F(FetchTest, FailureWithoutAnEarlierFileLeavesNone) {
    server.on("/missing", LoopbackServer::reply(404, "no"));
    server.on("/short", LoopbackServer::cut_short(body, 100));
    for (const char* target : {"/missing", "/short"}) {
        SCOPED_TRACE(target);
        EXPECT_FALSE(fetch_url(server.url(target), path(), quick()).ok);
        EXPECT_TRUE(files_in(dir.path()).empty());
    }
}

TEST_F(FetchTest, StalledServerFailsWithinTheLowSpeedTime) {
    server.on("/stall", LoopbackServer::stall_after(body, 100));
    for (long limit : {1L, 2L}) {
        FetchOptions options = quick();
        options.limits.low_speed_seconds = limit;
        const auto start = std::chrono::steady_clock::now();
        const FetchResult result = fetch_url(server.url("/stall"), path(), options);
        const double took = seconds_since(start);
        EXPECT_EQ(result.reason, "timed out");
        EXPECT_GE(took, limit - 0.05) << "gave up before the limit";
        EXPECT_LT(took, limit + 1.0);
    }
}

// Ten bytes every 0.2 s never leave the line idle, but stay below a limit
// of 100 bytes a second (and would take 12 s to finish).
TEST_F(FetchTest, TrickleBelowTheLowSpeedFails) {
    body.resize(600);
    server.on("/trickle", [this](LoopbackExchange& exchange) {
        if (!exchange.send(http_head(200, static_cast<long long>(body.size()))))
            return;
        for (std::size_t at = 0; at < body.size(); at += 10) {
            const auto next = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
            if (!exchange.send(body.substr(at, 10)) ||
                !exchange.hold([next] { return std::chrono::steady_clock::now() >= next; }))
                return;
        }
    });
    FetchOptions options = quick();
    options.limits.low_speed_bytes = 100;
    const auto start = std::chrono::steady_clock::now();
    const FetchResult result = fetch_url(server.url("/trickle"), path(), options);
    EXPECT_EQ(result.reason, "timed out");
    EXPECT_LT(seconds_since(start), 8.0);
    EXPECT_TRUE(files_in(dir.path()).empty());
}

TEST_F(FetchTest, RefusedConnectionFailsAtOnce) {
    dir.write("zenorb_critical.txt", OLD);
    const auto start = std::chrono::steady_clock::now();
    const FetchResult result =
        fetch_url("http://127.0.0.1:" + std::to_string(closed_port()) + "/list", path());
    EXPECT_LT(seconds_since(start), 2.0);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.reason, "could not connect");
    EXPECT_EQ(slurp(path()), OLD);
}

// A listening socket whose queue is full drops new connection attempts, so
// the connect time-out is what ends them.
TEST_F(FetchTest, UnansweredConnectionTimesOutAfterTheConnectLimit) {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    std::vector<int> fillers;
    for (int i = 0; i < 4; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), length);
        fillers.push_back(fd);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));

    FetchOptions options = quick();
    options.limits.connect_timeout_ms = 500;
    const auto start = std::chrono::steady_clock::now();
    const FetchResult result = fetch_url(
        "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/list", path(), options);
    const double took = seconds_since(start);
    EXPECT_EQ(result.reason, "timed out");
    EXPECT_GE(took, 0.45);
    EXPECT_LT(took, 2.0);
    EXPECT_TRUE(files_in(dir.path()).empty());
    for (int fd : fillers)
        ::close(fd);
    ::close(listener);
}

// Only http:// and https:// addresses go out; nothing is guessed or dropped.
TEST_F(FetchTest, AddressMustCarryAWebScheme) {
    server.on("/list", LoopbackServer::reply(200, body));
    const std::string host = "127.0.0.1:" + std::to_string(server.port());
    for (const std::string& url :
         {host + "/list", "ftp://" + host + "/list", "file://" + CRITICAL,
          "ttp://" + host + "/list", std::string(), std::string("http:/") + host + "/list"}) {
        SCOPED_TRACE(url);
        const FetchResult result = fetch_url(url, path());
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.reason.empty());
        EXPECT_TRUE(files_in(dir.path()).empty());
    }
    EXPECT_TRUE(server.requests().empty()) << "a request went out for a bad address";

    const FetchResult upper = fetch_url("HTTP://" + host + "/list", path());
    EXPECT_TRUE(upper.ok) << upper.reason;
    EXPECT_EQ(slurp(path()), body);
}

TEST_F(FetchTest, MissingDirectoryFailsBeforeAsking) {
    server.on("/list", LoopbackServer::reply(200, body));
    const FetchResult result =
        fetch_url(server.url("/list"), dir.path() + "/no/such/dir/zenorb_comets.txt");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.reason, "could not write the file: no new file can be made in its folder "
                             "(No such file or directory)");
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(FetchTest, CancelStopsAStalledTransferAtOnceAndWritesNothing) {
    dir.write("zenorb_critical.txt", OLD);
    server.on("/stall", LoopbackServer::stall_after(body, 2000));
    FetchControl control;
    FetchResult result;
    // Default limits: only the cancel can end this transfer in time.
    std::thread worker(
        [&] { result = fetch_url(server.url("/stall"), path(), FetchOptions(), &control); });
    const auto start = std::chrono::steady_clock::now();
    while (control.received() < 2000 && seconds_since(start) < 5)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(control.received(), 2000);
    EXPECT_EQ(control.announced(), static_cast<std::int64_t>(body.size()));
    const auto cancelled_at = std::chrono::steady_clock::now();
    control.cancel();
    worker.join();
    EXPECT_LT(seconds_since(cancelled_at), 0.5);
    EXPECT_TRUE(control.cancelled());
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.reason, "cancelled");
    EXPECT_EQ(slurp(path()), OLD);
    EXPECT_EQ(files_in(dir.path()), std::set<std::string>{"zenorb_critical.txt"});
}

TEST_F(FetchTest, CancelledBeforeTheStartFetchesNothing) {
    server.on("/list", LoopbackServer::reply(200, body));
    FetchControl control;
    control.cancel();
    const FetchResult result = fetch_url(server.url("/list"), path(), FetchOptions(), &control);
    EXPECT_EQ(result.reason, "cancelled");
    EXPECT_TRUE(files_in(dir.path()).empty());
}

// Certificates are verified: the program's own settings cannot be talked
// out of it by a server.
TEST(FetchTls, SelfSignedCertificateIsRefused) {
    TempDir dir;
    dir.write("zenorb_comets.txt", OLD);
    LoopbackServer server(LoopbackServer::Tls::self_signed);
    server.on("/list", LoopbackServer::reply(200, "secret"));
    const FetchResult result = fetch_url(server.url("/list"), dir.path() + "/zenorb_comets.txt");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.reason, "certificate problem");
    EXPECT_EQ(slurp(dir.path() + "/zenorb_comets.txt"), OLD);
    EXPECT_EQ(files_in(dir.path()), std::set<std::string>{"zenorb_comets.txt"});
    EXPECT_TRUE(server.requests().empty());
    // The server learns of the refusal a moment after the client gives up.
    const auto start = std::chrono::steady_clock::now();
    while (server.refused_handshakes() == 0 && seconds_since(start) < 5)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(server.refused_handshakes(), 1);
}

TEST(FetchTls, CertificateOfATrustedAuthorityIsAcceptedForItsAddressOnly) {
    TempDir dir;
    LoopbackServer server(LoopbackServer::Tls::test_authority);
    server.on("/list", LoopbackServer::reply(200, "1P/Halley|2000|19860209.4589\n"));
    const std::string path = dir.path() + "/zenorb_comets.txt";

    // Not among the system's authorities.
    FetchResult result = fetch_url(server.url("/list"), path);
    EXPECT_EQ(result.reason, "certificate problem");
    EXPECT_FALSE(std::filesystem::exists(path));

    const std::string ca_file = dir.path() + "/authority.pem";
    dir.write("authority.pem", server.authority_pem());
    FetchOptions trusting;
    trusting.ca_file = ca_file;
    result = fetch_url(server.url("/list"), path, trusting);
    EXPECT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(slurp(path), "1P/Halley|2000|19860209.4589\n");

    // The certificate names 127.0.0.1, not localhost.
    std::filesystem::remove(path);
    result =
        fetch_url("https://localhost:" + std::to_string(server.port()) + "/list", path, trusting);
    EXPECT_EQ(result.reason, "certificate problem");
    EXPECT_FALSE(std::filesystem::exists(path));
}

// A compressing server's answer is decoded: the file holds the text.
TEST_F(FetchTest, GzipAnswerIsDecoded) {
    server.on("/list", LoopbackServer::reply(200, gzipped(body), "Content-Encoding: gzip\r\n"));
    const FetchResult result = fetch_url(server.url("/list"), path());
    EXPECT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(slurp(path()), body);
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0].headers.at("accept-encoding"), "gzip");
}

// The limit counts the bytes kept, announced or not, compressed or not; a
// body of exactly the limit is taken.
TEST_F(FetchTest, BodyOverTheSizeLimitIsRefused) {
    server.on("/announced", LoopbackServer::reply(200, body));
    server.on("/chunked", LoopbackServer::chunked(body, 4096));
    server.on("/compressed",
              LoopbackServer::reply(200, gzipped(body), "Content-Encoding: gzip\r\n"));
    server.on("/endless", [](LoopbackExchange& exchange) {
        if (!exchange.send(http_head(200, -1, "Transfer-Encoding: chunked\r\n")))
            return;
        const std::string chunk = "1000\r\n" + std::string(4096, 'x') + "\r\n";
        while (exchange.send(chunk)) {
        }
    });
    FetchOptions options = quick();
    options.limits.max_bytes = 16 << 10;
    for (const char* target : {"/announced", "/chunked", "/compressed", "/endless"}) {
        SCOPED_TRACE(target);
        dir.write("zenorb_critical.txt", OLD);
        const FetchResult result = fetch_url(server.url(target), path(), options);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.reason, "too large (more than 16 KiB)");
        EXPECT_EQ(slurp(path()), OLD);
        EXPECT_EQ(files_in(dir.path()), std::set<std::string>{"zenorb_critical.txt"});
    }
    options.limits.max_bytes = static_cast<std::int64_t>(body.size());
    EXPECT_TRUE(fetch_url(server.url("/chunked"), path(), options).ok);
    EXPECT_EQ(slurp(path()), body);
    options.limits.max_bytes = 1000;
    EXPECT_EQ(fetch_url(server.url("/chunked"), path(), options).reason,
              "too large (more than 1000 bytes)");
    options.limits.max_bytes = 0; // no limit
    EXPECT_TRUE(fetch_url(server.url("/announced"), path(), options).ok);
    EXPECT_EQ(slurp(path()), body);
}

// Ten bytes every 0.1 s never leave the line idle and stay above the low
// speed, but the whole transfer has a deadline.
TEST_F(FetchTest, TransferEndsAtItsDeadline) {
    server.on("/trickle", [this](LoopbackExchange& exchange) {
        if (!exchange.send(http_head(200, static_cast<long long>(body.size()))))
            return;
        for (std::size_t at = 0; at < body.size(); at += 10) {
            const auto next = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
            if (!exchange.send(body.substr(at, 10)) ||
                !exchange.hold([next] { return std::chrono::steady_clock::now() >= next; }))
                return;
        }
    });
    dir.write("zenorb_critical.txt", OLD);
    FetchOptions options = quick();
    options.limits.deadline_seconds = 1;
    const auto start = std::chrono::steady_clock::now();
    const FetchResult result = fetch_url(server.url("/trickle"), path(), options);
    const double took = seconds_since(start);
    EXPECT_EQ(result.reason, "not finished after 1 s");
    EXPECT_GE(took, 0.95);
    EXPECT_LT(took, 2.0);
    EXPECT_EQ(slurp(path()), OLD);
    EXPECT_EQ(files_in(dir.path()), std::set<std::string>{"zenorb_critical.txt"});
}

// Once on https, an answer never comes over plain http, however the chain
// gets there; http to https is an upgrade and is followed.
TEST(FetchRedirect, FromHttpsToHttpIsRefused) {
    TempDir dir;
    const std::string path = dir.path() + "/zenorb_comets.txt";
    dir.write("zenorb_comets.txt", OLD);
    LoopbackServer secure(LoopbackServer::Tls::test_authority);
    LoopbackServer plain;
    dir.write("authority.pem", secure.authority_pem());
    FetchOptions options;
    options.ca_file = dir.path() + "/authority.pem";
    const std::string list = "1P/Halley|2000|19860209.4589\n";
    plain.on("/list", LoopbackServer::reply(200, list));
    secure.on("/list", LoopbackServer::reply(200, list));
    secure.on("/down", LoopbackServer::redirect(302, plain.url("/list")));
    secure.on("/DOWN", LoopbackServer::redirect(
                           301, "HTTP://127.0.0.1:" + std::to_string(plain.port()) + "/list"));
    secure.on("/hop", LoopbackServer::redirect(302, "/down"));
    plain.on("/up", LoopbackServer::redirect(302, secure.url("/down")));
    for (const std::string& start :
         {secure.url("/down"), secure.url("/DOWN"), secure.url("/hop"), plain.url("/up")}) {
        SCOPED_TRACE(start);
        const FetchResult result = fetch_url(start, path, options);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.reason, "refused a redirect from https:// to http://");
        EXPECT_EQ(slurp(path), OLD);
    }
    for (const LoopbackRequest& request : plain.requests())
        EXPECT_NE(request.target, "/list") << "the plain server was asked for the list";

    secure.on("/same", LoopbackServer::redirect(302, "/list"));
    plain.on("/upgrade", LoopbackServer::redirect(301, secure.url("/same")));
    for (const std::string& start : {secure.url("/same"), plain.url("/upgrade")}) {
        SCOPED_TRACE(start);
        const FetchResult result = fetch_url(start, path, options);
        EXPECT_TRUE(result.ok) << result.reason;
        EXPECT_EQ(slurp(path), list);
    }
}

// A target that cannot be written says why, in the system's words; the
// server is not asked when that is known before the transfer.
TEST_F(FetchTest, WriteFailuresNameTheirCause) {
    server.on("/list", LoopbackServer::reply(200, body));
    const std::filesystem::path root = dir.path();
    std::filesystem::create_directories(root / "folder");
    std::filesystem::create_directories(root / "locked");
    ASSERT_EQ(::mkfifo((root / "pipe").c_str(), 0644), 0);
    std::filesystem::create_symlink("folder", root / "to-folder");
    std::filesystem::create_symlink("nowhere", root / "dangling");
    struct Case {
        std::string target;
        const char* reason;
    } cases[] = {
        {(root / "folder").string(), "it is a directory, not a regular file"},
        {(root / "pipe").string(), "it is a named pipe, not a regular file"},
        {"/dev/null", "it is a device, not a regular file"},
        {(root / "to-folder").string(), "it is a directory, not a regular file"},
        {(root / "dangling").string(), "it is a symbolic link to nothing"},
        {(root / "locked/zenorb_comets.txt").string(),
         "no new file can be made in its folder (Permission denied)"},
    };
    const ReadOnlyDirectory locked((root / "locked").string());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        const FetchResult result = fetch_url(server.url("/list"), c.target, quick());
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.reason, std::string("could not write the file: ") + c.reason);
    }
    EXPECT_TRUE(server.requests().empty());
    EXPECT_TRUE(std::filesystem::is_symlink(root / "to-folder"));
    EXPECT_TRUE(std::filesystem::is_symlink(root / "dangling"));
}

// A disk that fills during the transfer: a file-size limit in a child
// process stands in for it, and the system's words reach the reason.
TEST_F(FetchTest, WriteFailingHalfWayKeepsTheOldFileAndSaysWhy) {
    server.on("/list", LoopbackServer::reply(200, body));
    dir.write("zenorb_critical.txt", OLD);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{8192, 8192};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const FetchResult result = fetch_url(server.url("/list"), path(), quick());
        ::_exit(result.reason == "could not write the file: File too large" ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "another reason, or success";
    EXPECT_EQ(slurp(path()), OLD);
    EXPECT_EQ(files_in(dir.path()), std::set<std::string>{"zenorb_critical.txt"});
}

// What a killed download left goes with the next one into the folder; a
// younger one may be another download's and stays.
TEST_F(FetchTest, LeftoversOfAKilledDownloadAreRemoved) {
    server.on("/list", LoopbackServer::reply(200, body));
    dir.write("zenorb_critical.txt.tmp-4242-1", "half a list");
    dir.write("zenorb_comets.txt.tmp-4242-2", "half another");
    dir.write("zenorb_bright.txt.tmp-4243-1", "in progress");
    dir.write("notes.txt", "the user's");
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(2);
    for (const char* name :
         {"zenorb_critical.txt.tmp-4242-1", "zenorb_comets.txt.tmp-4242-2", "notes.txt"})
        std::filesystem::last_write_time(dir.path() + "/" + name, old);
    const FetchResult result = fetch_url(server.url("/list"), path());
    EXPECT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(files_in(dir.path()),
              (std::set<std::string>{"zenorb_critical.txt", "zenorb_bright.txt.tmp-4243-1",
                                     "notes.txt"}));
}

// A list file that is a link (to a shared copy, say) is replaced where it
// leads; the link stays a link.
TEST_F(FetchTest, LinkedTargetIsWrittenThrough) {
    server.on("/list", LoopbackServer::reply(200, body));
    std::filesystem::create_directories(dir.path() + "/shared");
    dir.write("shared/critical.txt", OLD);
    std::filesystem::create_symlink("shared/critical.txt", path());
    const FetchResult result = fetch_url(server.url("/list"), path());
    EXPECT_TRUE(result.ok) << result.reason;
    EXPECT_TRUE(std::filesystem::is_symlink(path()));
    EXPECT_EQ(slurp(dir.path() + "/shared/critical.txt"), body);
    EXPECT_EQ(files_in(dir.path() + "/shared"), std::set<std::string>{"critical.txt"});
}

// The check sees the whole body before anything is replaced, and its
// verdict is the reason.
TEST_F(FetchTest, BodyCheckDecidesBeforeTheFileIsReplaced) {
    server.on("/list", LoopbackServer::reply(200, body));
    dir.write("zenorb_critical.txt", OLD);
    std::string seen;
    FetchOptions options = quick();
    options.check_body = [&seen](const std::string& pending) {
        seen = slurp(pending);
        return std::string("not what was wanted");
    };
    FetchResult result = fetch_url(server.url("/list"), path(), options);
    EXPECT_EQ(result.reason, "not what was wanted");
    EXPECT_EQ(seen, body);
    EXPECT_EQ(slurp(path()), OLD);
    EXPECT_EQ(files_in(dir.path()), std::set<std::string>{"zenorb_critical.txt"});

    options.check_body = [](const std::string&) { return std::string(); };
    result = fetch_url(server.url("/list"), path(), options);
    EXPECT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(slurp(path()), body);
}

// The proxy variables as curl's own tools read them. The origin of the
// plain cases listens nowhere, so that only the proxy can answer for it.
TEST(FetchProxy, HttpGoesThroughTheProxyTheEnvironmentNames) {
    TempDir dir;
    const std::string path = dir.path() + "/zenorb_comets.txt";
    const std::string list = "1P/Halley|2000|19860209.4589\n";
    const std::string origin = "http://127.0.0.1:" + std::to_string(closed_port()) + "/list";
    LoopbackServer proxy;
    proxy.on(origin, LoopbackServer::reply(200, list));
    struct Case {
        const char* variable;
        bool used;
    } cases[] = {
        {"http_proxy", true},
        {"all_proxy", true},
        {"ALL_PROXY", true},
        // Never in capitals: a CGI environment sets HTTP_PROXY from a request.
        {"HTTP_PROXY", false},
        {"https_proxy", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.variable);
        ProxyEnvironment environment;
        environment.set(c.variable, proxy.url(""));
        std::filesystem::remove(path);
        const std::size_t asked = proxy.requests().size();
        const FetchResult result = fetch_url(origin, path);
        EXPECT_EQ(result.ok, c.used) << result.reason;
        EXPECT_EQ(proxy.requests().size(), asked + (c.used ? 1 : 0));
        if (c.used) {
            EXPECT_EQ(slurp(path), list);
            EXPECT_EQ(proxy.requests().back().target, origin);
            EXPECT_EQ(proxy.requests().back().headers.at("user-agent"), "Mozilla");
        } else {
            EXPECT_EQ(result.reason, "could not connect");
            EXPECT_FALSE(std::filesystem::exists(path));
        }
    }
}

TEST(FetchProxy, NoProxyNamesTheHostsReachedDirectly) {
    TempDir dir;
    const std::string path = dir.path() + "/zenorb_comets.txt";
    LoopbackServer origin, proxy;
    origin.on("/list", LoopbackServer::reply(200, "direct\n"));
    proxy.on(origin.url("/list"), LoopbackServer::reply(200, "proxied\n"));
    struct Case {
        const char* variable;
        const char* hosts;
        const char* came;
    } cases[] = {
        {"no_proxy", "127.0.0.1", "direct\n"},
        {"NO_PROXY", "127.0.0.1", "direct\n"},
        {"no_proxy", "*", "direct\n"},
        {"no_proxy", "example.org,127.0.0.1", "direct\n"},
        {"no_proxy", "example.org", "proxied\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.variable) + "=" + c.hosts);
        ProxyEnvironment environment;
        environment.set("http_proxy", proxy.url(""));
        environment.set(c.variable, c.hosts);
        const FetchResult result = fetch_url(origin.url("/list"), path);
        EXPECT_TRUE(result.ok) << result.reason;
        EXPECT_EQ(slurp(path), c.came);
    }
}

// https goes through the proxy's tunnel, and the certificate is still the
// origin's to prove.
TEST(FetchProxy, HttpsGoesThroughATunnel) {
    TempDir dir;
    const std::string path = dir.path() + "/zenorb_comets.txt";
    const std::string list = "1P/Halley|2000|19860209.4589\n";
    LoopbackServer secure(LoopbackServer::Tls::test_authority);
    LoopbackServer proxy;
    secure.on("/list", LoopbackServer::reply(200, list));
    const std::string authority = "127.0.0.1:" + std::to_string(secure.port());
    proxy.on(authority, LoopbackServer::tunnel());
    dir.write("authority.pem", secure.authority_pem());
    FetchOptions trusting;
    trusting.ca_file = dir.path() + "/authority.pem";
    for (const char* variable : {"https_proxy", "HTTPS_PROXY"}) {
        SCOPED_TRACE(variable);
        ProxyEnvironment environment;
        environment.set(variable, proxy.url(""));
        std::filesystem::remove(path);
        const FetchResult result = fetch_url(secure.url("/list"), path, trusting);
        EXPECT_TRUE(result.ok) << result.reason;
        EXPECT_EQ(slurp(path), list);
        ASSERT_FALSE(proxy.requests().empty());
        EXPECT_EQ(proxy.requests().back().method, "CONNECT");
        EXPECT_EQ(proxy.requests().back().target, authority);
    }
    EXPECT_EQ(secure.requests().size(), 2u);

    // Without the authority the tunnel changes nothing about the refusal.
    ProxyEnvironment environment;
    environment.set("https_proxy", proxy.url(""));
    std::filesystem::remove(path);
    EXPECT_EQ(fetch_url(secure.url("/list"), path).reason, "certificate problem");
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(FetchProxy, AProxyThatFailsSaysSo) {
    TempDir dir;
    const std::string path = dir.path() + "/zenorb_comets.txt";
    dir.write("zenorb_comets.txt", OLD);
    LoopbackServer origin, refusing;
    origin.on("/list", LoopbackServer::reply(200, "direct\n"));
    refusing.on("127.0.0.1:" + std::to_string(origin.port()),
                LoopbackServer::reply(403, "not for you"));
    refusing.on(origin.url("/list"), LoopbackServer::reply(502, "upstream trouble"));
    struct Case {
        const char* what;
        const char* variable;
        std::string proxy;
        std::string url;
        std::string reason;
    } cases[] = {
        {"no proxy listening", "http_proxy", "http://127.0.0.1:" + std::to_string(closed_port()),
         origin.url("/list"), "could not connect"},
        {"a gateway error", "http_proxy", refusing.url(""), origin.url("/list"), "HTTP 502"},
        {"a tunnel refused", "https_proxy", refusing.url(""),
         "https://127.0.0.1:" + std::to_string(origin.port()) + "/list",
         "the proxy refused the connection (HTTP 403)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProxyEnvironment environment;
        environment.set(c.variable, c.proxy);
        const FetchResult result = fetch_url(c.url, path);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.reason, c.reason);
        EXPECT_EQ(slurp(path), OLD);
        EXPECT_EQ(files_in(dir.path()), std::set<std::string>{"zenorb_comets.txt"});
    }
    EXPECT_TRUE(origin.requests().empty());
}

} // namespace
