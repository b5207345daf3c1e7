#include "plain/Windows1252.h"

namespace dw {

namespace {
// 0x80 to 0x9F; the rest of the code page is Latin-1.
constexpr char16_t High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                               0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                               0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                               0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The code point at text[at] and its length in bytes; 0xFFFD for a byte that starts no valid sequence.
char32_t DecodeUtf8(std::string_view text, std::size_t at, std::size_t& length)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    length = 1;
    if (lead < 0x80)
        return lead;
    const int extra = lead >= 0xF0 && lead < 0xF5   ? 3
                      : lead >= 0xE0                ? 2
                      : lead >= 0xC2 && lead < 0xE0 ? 1
                                                    : -1;
    if (extra < 0 || at + static_cast<std::size_t>(extra) >= text.size())
        return 0xFFFD;
    char32_t cp = lead & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
        const auto next = static_cast<unsigned char>(text[at + static_cast<std::size_t>(i)]);
        if ((next & 0xC0) != 0x80)
            return 0xFFFD;
        cp = cp << 6 | (next & 0x3F);
    }
    // Overlong forms, surrogates and what lies beyond Unicode are no characters.
    static constexpr char32_t Least[4] = {0, 0x80, 0x800, 0x10000};
    if (cp < Least[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0xFFFD;
    length = static_cast<std::size_t>(extra) + 1;
    return cp;
}

} // namespace

void AppendAnsiFromUtf8(std::string& out, std::string_view utf8)
{
    // Most texts are ASCII, the same in both.
    std::size_t ascii = 0;
    while (ascii < utf8.size() && static_cast<unsigned char>(utf8[ascii]) < 0x80)
        ++ascii;
    out.append(utf8.substr(0, ascii));
    for (std::size_t at = ascii; at < utf8.size();) {
        std::size_t length = 1;
        const char32_t cp = DecodeUtf8(utf8, at, length);
        at += length;
        if (cp <= 0xFF) {
            out += static_cast<char>(cp);
            continue;
        }
        char byte = '?';
        for (int i = 0; i < 32; ++i)
            if (High[i] == cp)
                byte = static_cast<char>(0x80 + i);
        out += byte;
    }
}

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
