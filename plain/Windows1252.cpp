#include "plain/Windows1252.h"

namespace dw {

namespace {
// 0x80 to 0x9F; the rest of the code page is Latin-1.
constexpr char16_t High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                               0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                               0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                               0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
} // namespace

void AppendUtf8FromAnsi(std::string& out, std::string_view ansi)
{
    for (const char c : ansi) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out += c;
            continue;
        }
        const unsigned cp = b < 0xA0 ? High[b - 0x80] : b;
        if (cp < 0x800) {
            out += static_cast<char>(0xC0 | cp >> 6);
        } else {
            out += static_cast<char>(0xE0 | cp >> 12);
            out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        }
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace dw
