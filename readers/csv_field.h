// A field of a CSV file as RFC 4180 wants it, for every table the program
// writes.
#pragma once

#include <string>

// Quoted, with doubled quotes, when it holds a comma, a quote or a line
// break; otherwise as it is.
std::string csv_field(const std::string& text);
