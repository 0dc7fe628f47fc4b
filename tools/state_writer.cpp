#include "tools/state_writer.h"

#include <charconv>
#include <cmath>

#include "nbody/system.h"

namespace {

std::string csv_field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string json_string(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += char(c);
        }
    }
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
            put(std::to_string(step) + "," + jd + "," + csv_field(entry.first));
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
