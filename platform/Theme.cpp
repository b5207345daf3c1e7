#include "platform/Theme.h"

#include <QApplication>
#include <QPainter>
#include <QPolygon>
#include <QStyle>
#include <QStyleOptionButton>
#include <qdrawutil.h>

#include <mutex>

namespace dw {

struct ThemeData
{
    QString classList;
};

namespace {

enum class LibraryState
{
    NotTried,
    Loaded,
    Failed
};

struct ThemeLibrary
{
    std::mutex lock;
    LibraryState state = LibraryState::NotTried;
    int users = 0;
    ThemeEnvironment environment;
    ThemeDrawObserver observer;
};

ThemeLibrary& Library()
{
    static ThemeLibrary library;
    return library;
}

bool LibraryLoaded()
{
    ThemeLibrary& library = Library();
    std::lock_guard guard(library.lock);
    return library.state == LibraryState::Loaded;
}

} // namespace

bool LoadThemeLibrary()
{
    ThemeLibrary& library = Library();
    std::lock_guard guard(library.lock);
    if (library.state == LibraryState::NotTried)
        library.state = library.environment.libraryLoadable ? LibraryState::Loaded : LibraryState::Failed;
    if (library.state != LibraryState::Loaded)
        return false;
    ++library.users;
    return true;
}

int ThemeLibraryUseCount()
{
    ThemeLibrary& library = Library();
    std::lock_guard guard(library.lock);
    return library.users;
}

bool ThemesAvailable()
{
    return LibraryLoaded() && IsAppThemed() && IsThemeActive();
}

bool IsAppThemed()
{
    return Library().environment.appThemed;
}

bool IsThemeActive()
{
    return Library().environment.themeActive;
}

HTHEME OpenThemeData(QWidget* /*window*/, const QString& classList)
{
    if (!IsAppThemed() || classList.compare(QLatin1String("BUTTON"), Qt::CaseInsensitive) != 0)
        return nullptr;
    return new ThemeData{classList};
}

void CloseThemeData(HTHEME theme)
{
    delete theme;
}

void DrawThemeBackground(HTHEME theme, QPainter& painter, int partId, int stateId, const QRect& rect,
                         const QRect* clip)
{
    if (theme == nullptr || partId != BP_PUSHBUTTON)
        return;
    if (Library().observer)
        Library().observer(partId, stateId, rect);

    QStyleOptionButton option;
    option.rect = rect;
    option.palette = QApplication::palette("QPushButton");
    option.direction = QApplication::layoutDirection();
    option.state = QStyle::State_Enabled;
    switch (stateId) {
    case PBS_PRESSED:
        option.state |= QStyle::State_Sunken;
        break;
    case PBS_DISABLED:
        option.state = QStyle::State_None;
        break;
    case PBS_NORMAL:
    case PBS_DEFAULTED:
        option.features |= QStyleOptionButton::DefaultButton;
        break;
    default:
        option.state |= QStyle::State_Raised;
        break;
    }
    painter.save();
    if (clip != nullptr)
        painter.setClipRect(*clip, Qt::IntersectClip);
    QApplication::style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, nullptr);
    painter.restore();
}

void DrawFrameControl(QPainter& painter, QRect& rect, unsigned type, unsigned state, const QPalette& palette)
{
    if (type != DFC_BUTTON || (state & DFCS_BUTTONPUSH) == 0)
        return;
    const QBrush face = palette.brush(QPalette::Button);
    qDrawWinButton(&painter, rect, palette, (state & DFCS_PUSHED) != 0, &face);
    if (state & DFCS_ADJUSTRECT)
        rect.adjust(2, 2, -2, -2);
}

void DrawFocusRect(QPainter& painter, const QRect& rect)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    // Every other pixel of the outline, starting at the top-left corner.
    QPolygon points;
    auto add = [&](int x, int y) {
        if (((x - rect.left()) + (y - rect.top())) % 2 == 0)
            points << QPoint(x, y);
    };
    for (int x = rect.left(); x <= rect.right(); ++x) {
        add(x, rect.top());
        if (rect.bottom() != rect.top())
            add(x, rect.bottom());
    }
    for (int y = rect.top() + 1; y < rect.bottom(); ++y) {
        add(rect.left(), y);
        if (rect.right() != rect.left())
            add(rect.right(), y);
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.setPen(QPen(Qt::black, 0));
    painter.drawPoints(points);
    painter.restore();
}

void SetThemeEnvironment(const ThemeEnvironment& environment)
{
    ThemeLibrary& library = Library();
    std::lock_guard guard(library.lock);
    library.environment = environment;
}

ThemeEnvironment CurrentThemeEnvironment()
{
    return Library().environment;
}

void ForgetThemeLibrary()
{
    ThemeLibrary& library = Library();
    std::lock_guard guard(library.lock);
    library.state = LibraryState::NotTried;
    library.users = 0;
}

void SetThemeDrawObserver(ThemeDrawObserver observer)
{
    Library().observer = std::move(observer);
}

} // namespace dw
