#pragma once

#include <string>
#include <string_view>

namespace dw {

// Appends UTF-8 text as a JSON string, quotes included, escaped as Qt's
// compact JSON writer escapes it.
void AppendJsonString(std::string& out, std::string_view utf8);
// Appends a finite number in its shortest form that reads back exactly.
void AppendJsonNumber(std::string& out, double value);

} // namespace dw
