#include "tools/PixelFont.h"

#include <array>
#include <stdexcept>

namespace pictures {
namespace {

struct Glyph
{
    char c;
    int width;
    std::array<const char*, 9> rows; // 7 above the line, 2 below
};

// Only the letters the pictures use.
const Glyph Letters[] = {
    {'I', 3, {"###", ".#.", ".#.", ".#.", ".#.", ".#.", "###", "...", "..."}},
    {'E', 4, {"####", "#...", "#...", "###.", "#...", "#...", "####", "....", "...."}},
    {'n', 4, {"....", "....", "###.", "#..#", "#..#", "#..#", "#..#", "....", "...."}},
    {'f', 3, {".##", "#..", "###", "#..", "#..", "#..", "#..", "...", "..."}},
    {'o', 4, {"....", "....", ".##.", "#..#", "#..#", "#..#", ".##.", "....", "...."}},
    {'d', 4, {"...#", "...#", ".###", "#..#", "#..#", "#..#", ".###", "....", "...."}},
    {'e', 4, {"....", "....", ".##.", "#..#", "####", "#...", ".##.", "....", "...."}},
    {' ', 2, {"..", "..", "..", "..", "..", "..", "..", "..", ".."}},
};

const std::array<std::array<const char*, 5>, 10> Digits = {{
    {"###", "#.#", "#.#", "#.#", "###"},
    {".#.", "##.", ".#.", ".#.", "###"},
    {"##.", "..#", ".#.", "#..", "###"},
    {"##.", "..#", ".#.", "..#", "##."},
    {"#.#", "#.#", "###", "..#", "..#"},
    {"###", "#..", "##.", "..#", "##."},
    {".##", "#..", "###", "#.#", "###"},
    {"###", "..#", ".#.", ".#.", ".#."},
    {"###", "#.#", "###", "#.#", "###"},
    {"###", "#.#", "###", "..#", "##."},
}};

const Glyph& Find(QChar c)
{
    for (const Glyph& glyph : Letters)
        if (glyph.c == c.toLatin1())
            return glyph;
    throw std::invalid_argument("the pixel font has no letter " + QString(c).toStdString());
}

} // namespace

int TextWidth(const QString& text)
{
    int width = 0;
    for (QChar c : text)
        width += Find(c).width + 1;
    return text.isEmpty() ? 0 : width - 1;
}

void DrawText(QPainter& painter, int x, int y, const QString& text, const QColor& colour, int scale)
{
    for (QChar c : text) {
        const Glyph& glyph = Find(c);
        for (int row = 0; row < 9; ++row)
            for (int col = 0; col < glyph.width; ++col)
                if (glyph.rows[size_t(row)][col] == '#')
                    painter.fillRect(x + col * scale, y + row * scale, scale, scale, colour);
        x += (glyph.width + 1) * scale;
    }
}

int DigitsWidth(const QString& digits)
{
    return digits.isEmpty() ? 0 : int(digits.size()) * 4 - 1;
}

void DrawDigits(QPainter& painter, int x, int y, const QString& digits, const QColor& colour, int scale)
{
    for (QChar c : digits) {
        if (!c.isDigit())
            throw std::invalid_argument("not a digit");
        const auto& rows = Digits[size_t(c.digitValue())];
        for (int row = 0; row < 5; ++row)
            for (int col = 0; col < 3; ++col)
                if (rows[size_t(row)][col] == '#')
                    painter.fillRect(x + col * scale, y + row * scale, scale, scale, colour);
        x += 4 * scale;
    }
}

} // namespace pictures
