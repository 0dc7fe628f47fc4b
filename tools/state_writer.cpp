#include "tools/state_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "nbody/system.h"
#include "readers/csv_field.h"
#include "readers/utf8_text.h"

namespace {

// C0 and C1 control characters and DEL: what a terminal would act on.
bool is_control(char32_t code) {
    return code < 0x20 || (code >= 0x7F && code <= 0x9F);
}

const char* const REPLACEMENT = "\xEF\xBF\xBD"; // U+FFFD

// A name as a CSV field: control characters and bytes that are not UTF-8
// become U+FFFD, so that the output is text and the terminal shows it as
// such; then quoted where it must be.
std::string name_field(const std::string& text) {
    std::string field;
    each_character(
        text,
        [&field](char32_t code, const std::string& bytes) {
            field += is_control(code) ? REPLACEMENT : bytes;
        },
        [&field] { field += REPLACEMENT; });
    return csv_field(field);
}

// A name as a JSON string: control characters escaped, bytes that are not
// UTF-8 (which JSON cannot hold) as U+FFFD.
std::string json_string(const std::string& text) {
    std::string out = "\"";
    each_character(
        text,
        [&out](char32_t code, const std::string& bytes) {
            if (code == '"' || code == '\\') {
                out += '\\';
                out += static_cast<char>(code);
            } else if (is_control(code)) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(code));
                out += escape;
            } else {
                out += bytes;
            }
        },
        [&out] { out += REPLACEMENT; });
    return out + "\"";
}

// JSON has no NaN or infinity.
std::string json_number(double value) {
    return std::isfinite(value) ? format_number(value) : "null";
}

} // namespace

std::string format_number(double value) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17);
    return std::string(buffer, result.ptr);
}

void StateWriter::begin() {
    if (format_ == Format::Csv)
        put("step,jd,name,x_m,y_m,z_m,vx_mps,vy_mps,vz_mps\n");
    else
        put("{\"states\": [");
}

void StateWriter::write(long step, const nbSystem& system) {
    const std::string jd = format_number(system.time());
    if (format_ == Format::Csv) {
        for (const auto& entry : system) {
            const nbBody& b = *entry.second;
            put(std::to_string(step) + "," + jd + "," + name_field(entry.first));
            for (double v : {b.position().x, b.position().y, b.position().z, b.velocity().x,
                             b.velocity().y, b.velocity().z})
                put("," + format_number(v));
            put("\n");
        }
        return;
    }
    put(first_state_ ? "\n" : ",\n");
    first_state_ = false;
    put("  {\"step\": " + std::to_string(step) + ", \"jd\": " + json_number(system.time()) +
        ", \"bodies\": [");
    bool first_body = true;
    for (const auto& entry : system) {
        const nbBody& b = *entry.second;
        put(first_body ? "\n" : ",\n");
        first_body = false;
        put("    {\"name\": " + json_string(entry.first) + ", \"position_m\": [" +
            json_number(b.position().x) + ", " + json_number(b.position().y) + ", " +
            json_number(b.position().z) + "], \"velocity_mps\": [" + json_number(b.velocity().x) +
            ", " + json_number(b.velocity().y) + ", " + json_number(b.velocity().z) + "]}");
    }
    put("]}");
}

void StateWriter::end() {
    if (format_ == Format::Json)
        put("\n]}\n");
}
