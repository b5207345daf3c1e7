#include "tools/AppIcon.h"
#include "tools/PictureWriters.h"
#include "tools/Pictures.h"
#include "tools/PixelFont.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace pictures {
namespace {

constexpr double Pi = std::numbers::pi;

QPointF Polar(QPointF centre, double radius, double degrees)
{
    const double a = degrees * Pi / 180.0;
    return {centre.x() + radius * std::sin(a), centre.y() - radius * std::cos(a)};
}

// A calm picture for the settings column: soft greens with light circles and
// two gentle hills; its top is covered by the options panel.
QImage SettingsColumn(int scale)
{
    QImage image(195 * scale, 284 * scale, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    QLinearGradient sky(0, 0, 0, 284);
    sky.setColorAt(0, QColor(236, 246, 236));
    sky.setColorAt(0.6, QColor(200, 228, 204));
    sky.setColorAt(1, QColor(150, 196, 160));
    p.fillRect(QRectF(0, 0, 195, 284), sky);
    p.setPen(Qt::NoPen);
    const struct
    {
        double x, y, r;
        int alpha;
    } bubbles[] = {{40, 120, 34, 60}, {150, 100, 22, 70}, {120, 170, 46, 45},
                   {30, 200, 16, 80}, {170, 210, 12, 90}, {80, 90, 10, 90}};
    for (const auto& b : bubbles) {
        QRadialGradient glow(QPointF(b.x, b.y), b.r);
        glow.setColorAt(0, QColor(255, 255, 255, b.alpha));
        glow.setColorAt(1, QColor(255, 255, 255, 0));
        p.setBrush(glow);
        p.drawEllipse(QPointF(b.x, b.y), b.r, b.r);
    }
    QPainterPath far;
    far.moveTo(0, 236);
    far.cubicTo(60, 206, 120, 250, 195, 222);
    far.lineTo(195, 284);
    far.lineTo(0, 284);
    far.closeSubpath();
    p.setBrush(QColor(120, 176, 132));
    p.drawPath(far);
    QPainterPath near;
    near.moveTo(0, 262);
    near.cubicTo(70, 240, 130, 276, 195, 254);
    near.lineTo(195, 284);
    near.lineTo(0, 284);
    near.closeSubpath();
    p.setBrush(QColor(84, 146, 100));
    p.drawPath(near);
    // A faint clock face, the program's theme, in the middle of the column.
    const QPointF c(98, 150);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 110), 3));
    p.drawEllipse(c, 44, 44);
    for (int hour = 0; hour < 12; ++hour)
        p.drawLine(Polar(c, 34, hour * 30.0), Polar(c, 40, hour * 30.0));
    p.setPen(QPen(QColor(255, 255, 255, 130), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, Polar(c, 22, 300));
    p.drawLine(c, Polar(c, 32, 60));
    return image;
}

enum class ButtonLook
{
    Normal,
    Pressed
};

// The face of one of the two picture buttons of the bottom bar: rounded, in the
// button's colour, with a small sign. The button writes its word on it at the
// screen's scale.
QImage BarButton(const QColor& top, const QColor& bottom, bool infoSign, ButtonLook look, int scale)
{
    QImage image(101 * scale, 30 * scale, QImage::Format_RGB32);
    image.fill(QColor(240, 240, 240));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    const bool pressed = look == ButtonLook::Pressed;
    const QRectF face(0.5, 0.5, 100, 29);
    QLinearGradient fill(0, 0, 0, 30);
    fill.setColorAt(0, pressed ? bottom.darker(115) : top);
    fill.setColorAt(1, pressed ? top.darker(115) : bottom);
    p.setPen(QPen(bottom.darker(170), 1));
    p.setBrush(fill);
    p.drawRoundedRect(face, 5, 5);
    p.setBrush(Qt::NoBrush);
    if (pressed) {
        // Inset: shadow along the top and left inner edge.
        p.setPen(QPen(QColor(0, 0, 0, 90), 2));
        p.drawRoundedRect(face.adjusted(1.5, 1.5, -0.5, -0.5), 4, 4);
    } else {
        p.setPen(QPen(QColor(255, 255, 255, 110), 1));
        p.drawRoundedRect(face.adjusted(1, 1, -1, -1), 4, 4);
    }
    const int shift = pressed ? 1 : 0;
    const QPointF sign(20.5 + shift, 15 + shift);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255));
    if (infoSign) {
        p.drawEllipse(sign, 8, 8);
        p.setBrush(bottom);
        p.drawRect(QRectF(sign.x() - 1.5, sign.y() - 5.5, 3, 3));
        p.drawRect(QRectF(sign.x() - 1.5, sign.y() - 1.5, 3, 7));
    } else {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(255, 255, 255), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(sign.x() - 7, sign.y() - 6, 14, 14), 125 * 16, 290 * 16);
        p.drawLine(sign + QPointF(0, -8), sign + QPointF(0, 0));
    }
    return image;
}

QByteArray BarButtonGif(const QImage& image)
{
    return WriteGif(image, ReducePalette(image, 256));
}

void DrawCalendar(QPainter& p, int scale)
{
    const QRectF sheet(26, 30, 210, 190);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 45));
    p.drawRoundedRect(sheet.translated(6, 7), 8, 8);
    p.setBrush(QColor(255, 255, 255));
    p.setPen(QPen(QColor(150, 150, 160), 1.5));
    p.drawRoundedRect(sheet, 8, 8);
    QPainterPath header;
    header.addRoundedRect(QRectF(sheet.left(), sheet.top(), sheet.width(), 44), 8, 8);
    header.addRect(QRectF(sheet.left(), sheet.top() + 30, sheet.width(), 14));
    QLinearGradient red(0, sheet.top(), 0, sheet.top() + 44);
    red.setColorAt(0, QColor(235, 70, 60));
    red.setColorAt(1, QColor(180, 30, 30));
    p.setPen(Qt::NoPen);
    p.setBrush(red);
    p.drawPath(header.simplified());
    // Binder rings.
    for (int i = 0; i < 5; ++i) {
        const double x = sheet.left() + 30 + i * 37.5;
        p.setBrush(QColor(90, 20, 20));
        p.drawEllipse(QPointF(x, sheet.top() + 12), 4, 4);
        p.setPen(QPen(QColor(190, 190, 200), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(x, sheet.top() - 8), QPointF(x, sheet.top() + 12));
        p.setPen(Qt::NoPen);
    }
    // Days: five weeks of seven, numbered, one ringed; crisp at scale 1, smooth when larger.
    p.setRenderHint(QPainter::Antialiasing, scale > 1);
    const double cellW = 27;
    const double cellH = 26;
    const double left = sheet.left() + 11;
    const double top = sheet.top() + 54;
    int day = 1;
    for (int week = 0; week < 5; ++week) {
        for (int weekday = 0; weekday < 7; ++weekday) {
            const int slot = week * 7 + weekday;
            if (slot < 2 || day > 31)
                continue;
            const QString text = QString::number(day);
            const int x = int(left + weekday * cellW + (cellW - DigitsWidth(text) * 2) / 2);
            const int y = int(top + week * cellH + 8);
            const QColor ink = weekday == 6 ? QColor(200, 40, 40) : QColor(60, 60, 70);
            if (scale == 1)
                DrawDigits(p, x, y, text, ink, 2);
            else
                DrawSmoothDigits(p, x, y, text, ink, 2);
            ++day;
        }
    }
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(220, 40, 40, 200), 2.5));
    p.drawEllipse(QRectF(left + 1 * cellW + 1, top + 1 * cellH + 2, cellW - 2, cellH - 4));
    p.setPen(QPen(QColor(215, 215, 225), 1));
    for (int week = 1; week < 5; ++week)
        p.drawLine(QPointF(left, top + week * cellH), QPointF(left + 7 * cellW, top + week * cellH));
}

void DrawAlarmClock(QPainter& p)
{
    const QPointF c(180, 214);
    const double r = 78;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawEllipse(QPointF(c.x() + 6, 306), 88, 11);
    // Legs.
    p.setPen(QPen(QColor(60, 60, 70), 9, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(Polar(c, r - 10, 215), Polar(c, r + 20, 215));
    p.drawLine(Polar(c, r - 10, 145), Polar(c, r + 20, 145));
    // Bells and hammer.
    p.setPen(QPen(QColor(60, 60, 70), 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(Polar(c, r + 8, -40), Polar(c, r + 8, 40));
    p.drawLine(Polar(c, r - 5, 0), Polar(c, r + 14, 0));
    for (double angle : {-38.0, 38.0}) {
        const QPointF bell = Polar(c, r + 6, angle);
        QRadialGradient gold(bell - QPointF(8, 8), 36);
        gold.setColorAt(0, QColor(255, 240, 150));
        gold.setColorAt(1, QColor(200, 150, 20));
        p.setPen(QPen(QColor(130, 90, 10), 2));
        p.setBrush(gold);
        p.drawPie(QRectF(bell.x() - 30, bell.y() - 30, 60, 60), int((90 - angle - 90) * 16), 180 * 16);
    }
    // Case and face.
    QRadialGradient body(c - QPointF(30, 30), r * 1.6);
    body.setColorAt(0, QColor(255, 110, 90));
    body.setColorAt(1, QColor(160, 20, 15));
    p.setPen(QPen(QColor(110, 10, 5), 2));
    p.setBrush(body);
    p.drawEllipse(c, r, r);
    QRadialGradient dial(c - QPointF(15, 20), r);
    dial.setColorAt(0, QColor(255, 255, 255));
    dial.setColorAt(1, QColor(230, 232, 240));
    p.setPen(QPen(QColor(120, 120, 130), 1.5));
    p.setBrush(dial);
    p.drawEllipse(c, r - 12, r - 12);
    for (int minute = 0; minute < 60; ++minute) {
        const bool hour = minute % 5 == 0;
        p.setPen(QPen(QColor(50, 50, 60), hour ? 3.5 : 1.2, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(Polar(c, r - 17, minute * 6.0), Polar(c, r - (hour ? 28 : 22), minute * 6.0));
    }
    // Ten past ten, with the alarm hand at seven.
    p.setPen(QPen(QColor(230, 160, 20), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, Polar(c, 40, 210));
    p.setPen(QPen(QColor(30, 30, 40), 7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, Polar(c, 36, 305));
    p.setPen(QPen(QColor(30, 30, 40), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, Polar(c, 52, 60));
    p.setPen(QPen(QColor(210, 30, 30), 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(Polar(c, 12, 180 + 150), Polar(c, 58, 150));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 30, 40));
    p.drawEllipse(c, 6, 6);
    p.setBrush(QColor(210, 30, 30));
    p.drawEllipse(c, 3, 3);
    // Gloss.
    QLinearGradient shine(c.x(), c.y() - r, c.x(), c.y());
    shine.setColorAt(0, QColor(255, 255, 255, 90));
    shine.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(shine);
    p.drawEllipse(QRectF(c.x() - r + 20, c.y() - r + 14, 2 * r - 40, r - 10));
}

QImage AboutPicture(int scale)
{
    QImage image(306 * scale, 322 * scale, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    QLinearGradient sky(0, 0, 0, 322);
    sky.setColorAt(0, QColor(120, 170, 230));
    sky.setColorAt(0.7, QColor(215, 232, 250));
    sky.setColorAt(1, QColor(250, 236, 215));
    p.fillRect(QRectF(0, 0, 306, 322), sky);
    p.setPen(Qt::NoPen);
    for (const auto& [x, y, r] : {std::tuple{250.0, 40.0, 26.0}, {276.0, 54.0, 18.0}, {228.0, 56.0, 16.0}}) {
        p.setBrush(QColor(255, 255, 255, 200));
        p.drawEllipse(QPointF(x, y), r, r * 0.75);
    }
    DrawCalendar(p, scale);
    DrawAlarmClock(p);
    return image;
}

} // namespace

std::vector<PictureFile> LargePictures()
{
    const QColor blueTop(90, 150, 225), blueBottom(25, 75, 165);
    const QColor redTop(230, 95, 70), redBottom(160, 30, 20);
    std::vector<PictureFile> files{{"appicon.bmp", WriteBmp4(AppIcon(), VgaPalette())},
                                   {TwiceName("appicon.bmp"), WriteBmp32(SmoothAppIcon(2))}};
    // Each at its size and, for screens at scale 2, at twice its size.
    for (int scale : {1, 2}) {
        auto name = [scale](const char* file) {
            return scale == 1 ? QString::fromLatin1(file) : TwiceName(QString::fromLatin1(file));
        };
        const QImage column = SettingsColumn(scale);
        files.push_back({name("settings_column.bmp"), WriteBmp8(column, ReducePalette(column, 256))});
        for (const auto& [file, top, bottom, info, look] :
             {std::tuple{"ueber.gif", blueTop, blueBottom, true, ButtonLook::Normal},
              {"ueber_down.gif", blueTop, blueBottom, true, ButtonLook::Pressed},
              {"ende.gif", redTop, redBottom, false, ButtonLook::Normal},
              {"ende_down.gif", redTop, redBottom, false, ButtonLook::Pressed}})
            files.push_back({name(file), BarButtonGif(BarButton(top, bottom, info, look, scale))});
        files.push_back({name("about.jpg"), WriteProgressiveJpeg(AboutPicture(scale), 88)});
    }
    return files;
}

std::vector<PictureFile> AllPictures()
{
    std::vector<PictureFile> all = ListPictures();
    for (auto* group : {&ButtonGlyphs, &LargePictures})
        for (PictureFile& file : group())
            all.push_back(std::move(file));
    return all;
}

QString TwiceName(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return name.left(dot) + QStringLiteral("@2x") + name.mid(dot);
}

} // namespace pictures
