// The small-body database look-up: answers read into element sets, and the
// query against a server on 127.0.0.1 serving recorded answers.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "catalog/sbdb_lookup.h"
#include "common/sbdb_answers.h"
#include "common/temp_dir.h"

namespace {

using Status = LookupResult::Status;

TEST(SbdbAnswer, AnAsteroidGivesItsOsculatingElementsAndTheMassFromGm) {
    const LookupResult ceres = parse_sbdb_answer(sbdb_answer("ceres.json"));
    ASSERT_EQ(ceres.status, Status::Found) << ceres.reason;
    ASSERT_NE(ceres.set, nullptr);
    const nbOrbitalElements& set = *ceres.set;
    EXPECT_EQ(set.type_name(), "Asteroid");
    EXPECT_EQ(set.name(), "1 Ceres (A801 AA)");
    EXPECT_EQ(ceres.full_name, "1 Ceres (A801 AA)");
    EXPECT_DOUBLE_EQ(set.a(), 2.76604);
    EXPECT_DOUBLE_EQ(set.e(), 0.0789125);
    EXPECT_DOUBLE_EQ(set.i(), 10.5868);
    EXPECT_DOUBLE_EQ(set.omega(), 80.2549); // the node, "om"
    EXPECT_DOUBLE_EQ(set.w(), 73.4240);     // the perihelion, "w"
    EXPECT_DOUBLE_EQ(set.Tp(), 2460053.1);
    EXPECT_DOUBLE_EQ(set.epoch(), 2460600.5);
    EXPECT_DOUBLE_EQ(set.mean_anomaly(), 145.84);
    // GM 62.6284 km^3/s^2 over the simulation's G, 6.673e-11: 9.385e20 kg,
    // so that the body pulls with the database's GM.
    EXPECT_NEAR(set.mass(), 9.38534e20, 0.00001e20);
    EXPECT_TRUE(set.valid());
}

TEST(SbdbAnswer, ACometGivesACometSetWithTheDefaultMass) {
    const LookupResult halley = parse_sbdb_answer(sbdb_answer("halley.json"));
    ASSERT_EQ(halley.status, Status::Found) << halley.reason;
    EXPECT_EQ(halley.set->type_name(), "Comet");
    EXPECT_EQ(halley.set->name(), "1P/Halley");
    EXPECT_DOUBLE_EQ(halley.set->a(), 17.834);
    EXPECT_DOUBLE_EQ(halley.set->e(), 0.96714);
    EXPECT_DOUBLE_EQ(halley.set->i(), 162.26);
    EXPECT_EQ(halley.set->mass(), nbOrbitalElements::DEFAULT_MASS) << "no GM in the answer";

    // Without "a" the semimajor axis follows from q and e.
    std::string without_a = sbdb_answer("halley.json");
    const std::size_t at = without_a.find("{\"name\":\"a\"");
    ASSERT_NE(at, std::string::npos);
    without_a.erase(at, without_a.find('}', at) - at + 2);
    const LookupResult from_q = parse_sbdb_answer(without_a);
    ASSERT_EQ(from_q.status, Status::Found) << from_q.reason;
    EXPECT_NEAR(from_q.set->a(), 0.58598 / (1 - 0.96714), 1e-9);
}

TEST(SbdbAnswer, OtherAnswersSayWhatTheyAre) {
    const LookupResult several = parse_sbdb_answer(sbdb_answer("several.json"));
    ASSERT_EQ(several.status, Status::Several);
    ASSERT_EQ(several.matches.size(), 2u);
    EXPECT_EQ(several.matches[0].designation, "1P");
    EXPECT_EQ(several.matches[0].name, "1P/Halley");
    EXPECT_EQ(several.matches[1].designation, "2688");
    EXPECT_EQ(several.set, nullptr);

    const LookupResult oumuamua = parse_sbdb_answer(sbdb_answer("oumuamua.json"));
    EXPECT_EQ(oumuamua.status, Status::Refused);
    EXPECT_EQ(oumuamua.set, nullptr);
    EXPECT_EQ(oumuamua.reason, "'Oumuamua (A/2017 U1) is on an open orbit (e = 1.201130): the "
                               "simulation carries closed orbits only (e < 1)");

    EXPECT_EQ(parse_sbdb_answer(sbdb_answer("not_found.json")).status, Status::NotFound);

    const struct {
        const char* what;
        std::string text;
    } broken[] = {
        {"no JSON", sbdb_answer("garbage.txt")},
        {"cut short", sbdb_answer("ceres.json").substr(0, 200)},
        {"an array", "[1, 2]"},
        {"nothing of the database's", "{\"answer\": 42}"},
        {"an element that is no number",
         [] {
             std::string t = sbdb_answer("ceres.json");
             t.replace(t.find("0.0789125"), 9, "0.07x9125");
             return t;
         }()},
        {"no elements", "{\"object\":{\"fullname\":\"X\"},\"orbit\":{\"epoch\":\"2460600.5\"}}"},
        {"several without a list", "{\"code\":\"300\"}"},
    };
    for (const auto& b : broken) {
        SCOPED_TRACE(b.what);
        const LookupResult result = parse_sbdb_answer(b.text);
        EXPECT_EQ(result.status, Status::Failed);
        EXPECT_EQ(result.set, nullptr);
        EXPECT_FALSE(result.reason.empty());
    }
}

TEST(SbdbQuery, TheNameIsEncodedAndTheAddressIsASetting) {
    EXPECT_EQ(sbdb_query_url("http://h/sbdb.api", " 2004 MN4 "),
              "http://h/sbdb.api?sstr=2004%20MN4&phys-par=1");
    EXPECT_EQ(sbdb_query_url("http://h/sbdb.api", "'Oumuamua&x=1"),
              "http://h/sbdb.api?sstr=%27Oumuamua%26x%3D1&phys-par=1");
    {
        SbdbAddress address("http://127.0.0.1:1/sbdb.api");
        EXPECT_EQ(sbdb_base_url(), "http://127.0.0.1:1/sbdb.api");
    }
    {
        SbdbAddress address("");
        EXPECT_EQ(sbdb_base_url(), "https://ssd-api.jpl.nasa.gov/sbdb.api");
    }
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

TEST(SbdbLookup, QueriesTheServerAndReadsItsAnswers) {
    LoopbackServer server;
    serve_sbdb_answers(server);
    SbdbAddress address(server.url("/sbdb.api"));

    const LookupResult ceres = lookup_object("Ceres");
    ASSERT_EQ(ceres.status, Status::Found) << ceres.reason;
    EXPECT_EQ(ceres.set->name(), "1 Ceres (A801 AA)");
    EXPECT_EQ(lookup_object("'Oumuamua").status, Status::Refused);
    EXPECT_EQ(lookup_object("halley").status, Status::Several);
    EXPECT_EQ(lookup_object("nothing").status, Status::NotFound);
    const LookupResult broken = lookup_object("broken");
    EXPECT_EQ(broken.status, Status::Failed);
    EXPECT_EQ(broken.reason, "the answer is not the database's");
    ASSERT_FALSE(server.requests().empty());
    EXPECT_EQ(server.requests().front().target, sbdb_target("Ceres"));

    // The database may answer "none" with its status alone.
    server.on(sbdb_target("gone"), LoopbackServer::reply(404, "{}"));
    EXPECT_EQ(lookup_object("gone").status, Status::NotFound);
    EXPECT_EQ(lookup_object("").status, Status::Failed);

    // An answer past the look-up's limit is cut off in the transfer, with
    // the limit's reason, announced or not.
    const std::string huge(LOOKUP_MAX_BYTES + 4096, ' ');
    server.on(sbdb_target("huge"), LoopbackServer::reply(200, huge));
    server.on(sbdb_target("endless"), LoopbackServer::chunked(huge, 8192));
    for (const char* name : {"huge", "endless"}) {
        const LookupResult big = lookup_object(name);
        EXPECT_EQ(big.status, Status::Failed) << name;
        EXPECT_NE(big.reason.find("too large"), std::string::npos) << name << ": " << big.reason;
    }
}

TEST(SbdbLookup, ASilentServerTimesOutAndARefusedConnectionSaysSo) {
    LoopbackServer server;
    serve_sbdb_answers(server);
    FetchOptions quick;
    quick.limits.low_speed_seconds = 1;
    {
        SbdbAddress address(server.url("/sbdb.api"));
        const auto start = std::chrono::steady_clock::now();
        const LookupResult slow = lookup_object("slow", quick);
        EXPECT_EQ(slow.status, Status::Failed);
        EXPECT_EQ(slow.reason, "timed out");
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    }
    SbdbAddress address("http://127.0.0.1:" + std::to_string(closed_port()) + "/sbdb.api");
    const LookupResult refused = lookup_object("Ceres", quick);
    EXPECT_EQ(refused.status, Status::Failed);
    EXPECT_EQ(refused.reason, "could not connect");
}

TEST(SbdbLookup, OverHttpsTheCertificateIsVerified) {
    LoopbackServer server(LoopbackServer::Tls::test_authority);
    serve_sbdb_answers(server);
    SbdbAddress address(server.url("/sbdb.api"));
    TempDir dir;
    dir.write("authority.pem", server.authority_pem());
    FetchOptions trusting;
    trusting.ca_file = dir.path() + "/authority.pem";
    const LookupResult ceres = lookup_object("Ceres", trusting);
    ASSERT_EQ(ceres.status, Status::Found) << ceres.reason;

    // The system's authorities know nothing of the test's.
    const LookupResult untrusted = lookup_object("Ceres");
    EXPECT_EQ(untrusted.status, Status::Failed);
    EXPECT_EQ(untrusted.reason, "certificate problem");
}

} // namespace
