// The recorded answers of the small-body database (tests/data/sbdb) served
// by a loopback server, with the database's address pointed at it for the
// life of the object.
#pragma once

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "common/loopback_server.h"

inline std::string sbdb_answer(const std::string& file) {
    std::ifstream in(std::string(ZENORB_TEST_DATA) + "/sbdb/" + file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Sets ZENORB_SBDB_URL, and puts back what it was.
class SbdbAddress {
public:
    explicit SbdbAddress(const std::string& url) {
        if (const char* old = std::getenv("ZENORB_SBDB_URL"))
            saved_ = old;
        setenv("ZENORB_SBDB_URL", url.c_str(), 1);
    }
    ~SbdbAddress() {
        if (saved_)
            setenv("ZENORB_SBDB_URL", saved_->c_str(), 1);
        else
            unsetenv("ZENORB_SBDB_URL");
    }
    SbdbAddress(const SbdbAddress&) = delete;
    SbdbAddress& operator=(const SbdbAddress&) = delete;

private:
    std::optional<std::string> saved_;
};

// The query target of a name as the look-up sends it.
inline std::string sbdb_target(const std::string& encoded_name) {
    return "/sbdb.api?sstr=" + encoded_name + "&phys-par=1";
}

// A server answering the recorded queries: Ceres, 1P (Halley), 'Oumuamua,
// "halley" (the comet and an asteroid), "nothing" (not found), "broken"
// (garbage) and "slow" (no answer at all).
inline void serve_sbdb_answers(LoopbackServer& server) {
    const auto json = [](const std::string& file) {
        return LoopbackServer::reply(200, sbdb_answer(file), "Content-Type: application/json\r\n");
    };
    server.on(sbdb_target("Ceres"), json("ceres.json"));
    server.on(sbdb_target("1P"), json("halley.json"));
    server.on(sbdb_target("%27Oumuamua"), json("oumuamua.json"));
    server.on(sbdb_target("halley"), json("several.json"));
    server.on(sbdb_target("nothing"), json("not_found.json"));
    server.on(sbdb_target("broken"), LoopbackServer::reply(200, sbdb_answer("garbage.txt")));
    server.on(sbdb_target("slow"), LoopbackServer::stall());
}
