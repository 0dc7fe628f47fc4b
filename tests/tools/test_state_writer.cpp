#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "common/comma_locale.h"
#include "nbody/parse_number.h"
#include "nbody/system.h"
#include "tools/state_writer.h"

namespace {

TEST(StateWriter, NumbersRoundTripWithSeventeenDigitsWhateverTheLocale) {
    CommaLocale comma;
    ASSERT_TRUE(comma.active()) << "the test locale de_DE.UTF-8 is missing (LOCPATH)";
    for (double v : {0.1, -1.4959787e11, 2451545.0000000005, 6.02214076e23, 5e-324}) {
        const std::string text = format_number(v);
        EXPECT_EQ(text.find(','), std::string::npos) << text;
        double back = 0;
        ASSERT_TRUE(parse_double(text, back)) << text;
        EXPECT_EQ(back, v);
    }
    EXPECT_EQ(format_number(0.26), "0.26000000000000001");
    EXPECT_EQ(format_number(NAN), "nan");
}

// What one state of a system holding one body of that name prints.
std::string printed(const std::string& name, StateWriter::Format format) {
    nbSystem system(2451545.0);
    system.add(name, std::make_unique<nbBody>(name, 1e10, 1.0, vec3d(1, 2, 3), vec3d(4, 5, 6)));
    std::FILE* out = std::tmpfile();
    StateWriter writer(out, format);
    writer.begin();
    writer.write(0, system);
    writer.end();
    std::fflush(out);
    std::rewind(out);
    std::string text;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, out))
        text.append(buffer, n);
    std::fclose(out);
    return text;
}

// Names hold whatever bytes a catalogue line or an element file gave them.
// JSON must stay valid (a strict decoder reads it) and keep every character
// it can; CSV must reach a terminal as text, with no control character.
TEST(StateWriter, NamesOfAnyBytesGiveWellFormedOutput) {
    const std::string fffd = "\xEF\xBF\xBD";
    struct Case {
        const char* what;
        std::string name;
        std::string csv;  // the field as printed
        std::string json; // the name as a decoder reads it back
    } cases[] = {
        {"plain", "1P/Halley", "1P/Halley", "1P/Halley"},
        {"UTF-8 kept", "\xCA\xBBOumuamua \xF0\x9F\x8C\xA0", "\xCA\xBBOumuamua \xF0\x9F\x8C\xA0",
         "\xCA\xBBOumuamua \xF0\x9F\x8C\xA0"},
        {"Latin-1, not UTF-8", "lat\xE9", "lat" + fffd, "lat" + fffd},
        {"an escape sequence", "\x1B[31mred", fffd + "[31mred", "\x1B[31mred"},
        {"line ends and a tab", "a\r\nb\tc", "a" + fffd + fffd + "b" + fffd + "c", "a\r\nb\tc"},
        {"DEL", "x\x7Fy", "x" + fffd + "y", "x\x7Fy"},
        {"a C1 control (CSI)",
         "x\xC2\x9B"
         "2J",
         "x" + fffd + "2J",
         "x\xC2\x9B"
         "2J"},
        {"an overlong slash",
         "a\xC0\xAF"
         "b",
         "a" + fffd + fffd + "b", "a" + fffd + fffd + "b"},
        {"a surrogate half", "\xED\xA0\x80", fffd + fffd + fffd, fffd + fffd + fffd},
        {"past U+10FFFF", "\xF4\x90\x80\x80", fffd + fffd + fffd + fffd, fffd + fffd + fffd + fffd},
        {"cut short at the end", "euro \xE2\x82", "euro " + fffd + fffd, "euro " + fffd + fffd},
        {"a stray continuation", "\x80x", fffd + "x", fffd + "x"},
        {"comma and quotes", "say \"hi\", twice", "\"say \"\"hi\"\", twice\"", "say \"hi\", twice"},
        {"a backslash", "a\\b", "a\\b", "a\\b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string csv = printed(c.name, StateWriter::Format::Csv);
        const std::size_t row = csv.find('\n') + 1;
        EXPECT_EQ(csv.compare(row, 10, "0,2451545,"), 0) << csv;
        const std::size_t name_at = csv.find(',', csv.find(',', row) + 1) + 1;
        EXPECT_EQ(csv.compare(name_at, c.csv.size() + 1, c.csv + ","), 0) << csv;
        for (std::size_t k = 0; k + 1 < csv.size(); ++k)
            if (csv[k] != '\n') {
                const unsigned char byte = static_cast<unsigned char>(csv[k]);
                EXPECT_FALSE(byte < 0x20 || byte == 0x7F) << "a control byte at " << k;
            }
        EXPECT_EQ(csv.find("\xC2\x9B"), std::string::npos) << "a C1 control";

        const std::string json = printed(c.name, StateWriter::Format::Json);
        nlohmann::json parsed;
        ASSERT_NO_THROW(parsed = nlohmann::json::parse(json)) << json;
        EXPECT_EQ(parsed["states"][0]["bodies"][0]["name"].get<std::string>(), c.json);
        EXPECT_EQ(parsed["states"][0]["bodies"][0]["position_m"][2].get<double>(), 3.0);
        EXPECT_EQ(json.find('\x1B'), std::string::npos);
    }
}

} // namespace
