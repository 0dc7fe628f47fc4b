// Printing the system's state as CSV or JSON, with 17 significant digits and
// a point as the decimal separator whatever the locale. Names are printed as
// text whatever bytes they hold: JSON stays valid and no control character
// reaches a terminal (the bodies keep their names; only the output differs).
#pragma once

#include <cstdio>
#include <string>

class nbSystem;

class StateWriter {
public:
    enum class Format { Csv, Json };
    StateWriter(std::FILE* out, Format format) : out_(out), format_(format) {}

    void begin();
    void write(long step, const nbSystem& system);
    void end();

private:
    void put(const std::string& text) { std::fputs(text.c_str(), out_); }

    std::FILE* out_;
    Format format_;
    bool first_state_ = true;
};

// Shortest text of 17 significant digits ("nan", "inf" for non-finite).
std::string format_number(double value);
