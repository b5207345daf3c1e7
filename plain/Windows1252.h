#pragma once

#include <string>
#include <string_view>

namespace dw {

// Appends the Windows-1252 bytes as UTF-8. Bytes the code page leaves
// undefined become the C1 controls of the same number, so every byte survives.
void AppendUtf8FromAnsi(std::string& out, std::string_view ansi);
// Appends UTF-8 text as Windows-1252, as the window stores what is typed:
// characters the code page has no place for, and bytes that are no UTF-8,
// become '?'; the C1 controls become the undefined bytes they stand for.
void AppendAnsiFromUtf8(std::string& out, std::string_view utf8);

} // namespace dw
