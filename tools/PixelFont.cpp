#include "tools/PixelFont.h"

#include <QPointF>
#include <QPolygonF>

#include <array>
#include <stdexcept>
#include <vector>

namespace pictures {
namespace {

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

// The same digits as strokes through the centres of their pixels: runs of
// "column row" pairs, each run one stroke.
const std::array<std::vector<std::vector<QPointF>>, 10> Strokes = {{
    {{{0, 0}, {2, 0}, {2, 4}, {0, 4}, {0, 0}}},
    {{{0, 1}, {1, 0}, {1, 4}}, {{0, 4}, {2, 4}}},
    {{{0, 0}, {1, 0}, {2, 1}, {1, 2}, {0, 3}, {0, 4}, {2, 4}}},
    {{{0, 0}, {1, 0}, {2, 1}, {1, 2}, {2, 3}, {1, 4}, {0, 4}}},
    {{{0, 0}, {0, 2}, {2, 2}}, {{2, 0}, {2, 4}}},
    {{{2, 0}, {0, 0}, {0, 2}, {1, 2}, {2, 3}, {1, 4}, {0, 4}}},
    {{{2, 0}, {1, 0}, {0, 1}, {0, 4}, {2, 4}, {2, 2}, {0, 2}}},
    {{{0, 0}, {2, 0}, {2, 1}, {1, 2}, {1, 4}}},
    {{{0, 0}, {2, 0}, {2, 4}, {0, 4}, {0, 0}}, {{0, 2}, {2, 2}}},
    {{{2, 2}, {0, 2}, {0, 0}, {2, 0}, {2, 3}, {1, 4}, {0, 4}}},
}};

int DigitValue(QChar c)
{
    if (!c.isDigit())
        throw std::invalid_argument("not a digit");
    return c.digitValue();
}

} // namespace

int DigitsWidth(const QString& digits)
{
    return digits.isEmpty() ? 0 : int(digits.size()) * 4 - 1;
}

void DrawDigits(QPainter& painter, int x, int y, const QString& digits, const QColor& colour, int scale)
{
    for (QChar c : digits) {
        const auto& rows = Digits[size_t(DigitValue(c))];
        for (int row = 0; row < 5; ++row)
            for (int col = 0; col < 3; ++col)
                if (rows[size_t(row)][col] == '#')
                    painter.fillRect(x + col * scale, y + row * scale, scale, scale, colour);
        x += 4 * scale;
    }
}

void DrawSmoothDigits(QPainter& painter, int x, int y, const QString& digits, const QColor& colour, int scale)
{
    painter.save();
    painter.setPen(QPen(colour, scale, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    for (QChar c : digits) {
        for (const auto& stroke : Strokes[size_t(DigitValue(c))]) {
            QPolygonF line;
            for (const QPointF& at : stroke)
                line << QPointF(x + (at.x() + 0.5) * scale, y + (at.y() + 0.5) * scale);
            painter.drawPolyline(line);
        }
        x += 4 * scale;
    }
    painter.restore();
}

} // namespace pictures
