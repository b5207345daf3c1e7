#include "controls/BitBtnXP.h"

#include "controls/Pictures.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMetaProperty>
#include <QPainter>

#include <algorithm>
#include <array>
#include <optional>

namespace {

// Item state bits of a paint request.
constexpr unsigned ODS_SELECTED = 0x1;
constexpr unsigned ODS_DISABLED = 0x4;
constexpr unsigned ODS_FOCUS = 0x10;

struct KindInfo
{
    const char* caption;
    int modalResult;
    const char* resource;
};

// Indexed by TBitBtnXPKind; bkCustom changes nothing.
constexpr std::array<KindInfo, 11> Kinds{{
    {"", 0, nullptr},
    {"OK", 1, "BBOKX"},
    {"Cancel", 2, "BBCANCELX"},
    {"&Help", 0, "BBHELPX"},
    {"&Yes", 6, "BBYESX"},
    {"&No", 7, "BBNOX"},
    {"&Close", 0, "BBCLOSEX"},
    {"Abort", 3, "BBABORTX"},
    {"&Retry", 4, "BBRETRYX"},
    {"&Ignore", 5, "BBIGNOREX"},
    {"&All", 8, "BBALLX"},
}};

bool KindIsDefault(TBitBtnXP::TBitBtnXPKind kind)
{
    return kind == TBitBtnXP::bkOK || kind == TBitBtnXP::bkYes;
}

bool KindIsCancel(TBitBtnXP::TBitBtnXPKind kind)
{
    return kind == TBitBtnXP::bkCancel || kind == TBitBtnXP::bkNo;
}

// A one-pixel outline covering exactly the outer ring of r.
void FrameRect(QPainter& painter, const QRect& r, const QColor& color)
{
    if (r.isEmpty())
        return;
    painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), color);
    painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), color);
    painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), color);
    painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), color);
}

} // namespace

TBitBtnXP::TBitBtnXP(QWidget* parent) : QPushButton(parent)
{
    m_buttonGlyph.OnChange = [this] { update(); };
    // Enter presses the focused button in every window, as it always has.
    setAutoDefault(true);
    connect(this, &QPushButton::clicked, this, &TBitBtnXP::Click);
    m_focusConnection = connect(qApp, &QApplication::focusChanged, this, &TBitBtnXP::FocusChanged);
    if (dw::LoadThemeLibrary() && dw::ThemesAvailable())
        m_themeHandle = dw::OpenThemeData(nullptr, QStringLiteral("BUTTON"));
}

TBitBtnXP::~TBitBtnXP()
{
    // QWidget's destructor still moves the focus away from this button; by then
    // this class is gone and must hear nothing more.
    disconnect(m_focusConnection);
    if (m_watchedDialog)
        m_watchedDialog->removeEventFilter(this);
    // Closed whatever the visual style says now, so a style switched off while
    // the program runs does not leave the handle behind.
    dw::CloseThemeData(m_themeHandle);
}

QString TBitBtnXP::KindCaption(TBitBtnXPKind kind)
{
    return QString::fromLatin1(Kinds.at(kind).caption);
}

int TBitBtnXP::KindModalResult(TBitBtnXPKind kind)
{
    return Kinds.at(kind).modalResult;
}

const QImage& TBitBtnXP::KindGlyph(TBitBtnXPKind kind)
{
    static std::array<std::optional<QImage>, Kinds.size()> table;
    std::optional<QImage>& slot = table.at(kind);
    if (!slot) {
        const char* resource = Kinds.at(kind).resource;
        slot = resource ? PictureImage(QLatin1String(resource) + QStringLiteral(".bmp")) : QImage();
    }
    return *slot;
}

TBitBtnXP::TBitBtnXPKind TBitBtnXP::kind() const
{
    if (m_kind != bkCustom && (m_default != KindIsDefault(m_kind) || m_cancel != KindIsCancel(m_kind) ||
                               m_modalResult != KindModalResult(m_kind) || m_customGlyph))
        m_kind = bkCustom;
    return m_kind;
}

void TBitBtnXP::setKind(TBitBtnXPKind kind)
{
    if (kind == m_kind)
        return;
    if (kind != bkCustom) {
        setDefault(KindIsDefault(kind));
        setCancel(KindIsCancel(kind));
        const bool loading = !testAttribute(Qt::WA_WState_Polished);
        if (!loading || text().isEmpty())
            setText(KindCaption(kind));
        m_modalResult = KindModalResult(kind);
        m_buttonGlyph.setPicture(KindGlyph(kind));
        m_buttonGlyph.setNumGlyphs(2);
        m_customGlyph = false;
    }
    m_kind = kind;
    update();
}

void TBitBtnXP::setDefault(bool value)
{
    m_default = value;
    QPushButton::setDefault(value);
    UpdateActive(window()->focusWidget());
}

void TBitBtnXP::setGlyph(const QPixmap& glyph)
{
    setGlyph(glyph.toImage());
}

void TBitBtnXP::setGlyph(const QImage& glyph)
{
    m_buttonGlyph.setPicture(glyph);
    m_customGlyph = true;
    update();
}

void TBitBtnXP::loadGlyphResource(const QString& fileName)
{
    setGlyph(PictureImage(fileName));
}

void TBitBtnXP::setNumGlyphs(int value)
{
    m_buttonGlyph.setNumGlyphs(qMin(value, 4));
}

void TBitBtnXP::setLayout(TButtonLayout layout)
{
    if (layout == m_layout)
        return;
    m_layout = layout;
    update();
}

void TBitBtnXP::setMargin(int margin)
{
    if (margin == m_margin || margin < -1)
        return;
    m_margin = margin;
    update();
}

void TBitBtnXP::setSpacing(int spacing)
{
    if (spacing == m_spacing)
        return;
    m_spacing = spacing;
    update();
}

void TBitBtnXP::setStyle(TButtonStyle style)
{
    if (style == m_style)
        return;
    m_style = style;
    update();
}

bool TBitBtnXP::isStored(const QByteArray& property) const
{
    const bool custom = kind() == bkCustom;
    if (property == "Kind")
        return !custom;
    if (property == "Glyph" || property == "NumGlyphs" || property == "default" || property == "Cancel" ||
        property == "ModalResult")
        return custom;
    if (property == "text")
        return text() != KindCaption(kind());
    if (property == "Layout")
        return m_layout != blGlyphLeft;
    if (property == "Margin")
        return m_margin != -1;
    if (property == "Spacing")
        return m_spacing != 4;
    if (property == "Style")
        return m_style != bsAutoDetect;
    return metaObject()->property(metaObject()->indexOfProperty(property.constData())).isStored();
}

QSize TBitBtnXP::sizeHint() const
{
    QSize hint = QPushButton::sizeHint();
    const QSize cell = m_buttonGlyph.CellSize();
    if (cell.isEmpty())
        return hint;
    const int gap = text().isEmpty() ? 0 : qMax(m_spacing, 0);
    if (m_layout == blGlyphLeft || m_layout == blGlyphRight) {
        hint.rwidth() += cell.width() + gap;
        hint.setHeight(qMax(hint.height(), cell.height() + 8));
    } else {
        hint.rheight() += cell.height() + gap;
        hint.setWidth(qMax(hint.width(), cell.width() + 8));
    }
    return hint;
}

bool TBitBtnXP::event(QEvent* event)
{
    const bool result = QPushButton::event(event);
    switch (event->type()) {
    case QEvent::Polish:
        // The image of the state the button starts in is ready before the first paint.
        m_buttonGlyph.StateImage(isEnabled() ? ButtonImageState::Normal : ButtonImageState::Disabled);
        WatchDialog(window());
        [[fallthrough]];
    case QEvent::StyleChange:
        // No hover look: the style must not repaint on mouse enter and leave.
        setAttribute(Qt::WA_Hover, false);
        break;
    case QEvent::ParentChange:
        WatchDialog(window());
        break;
    default:
        break;
    }
    return result;
}

void TBitBtnXP::WatchDialog(QWidget* window)
{
    QWidget* dialog = qobject_cast<QDialog*>(window);
    if (dialog == m_watchedDialog)
        return;
    if (m_watchedDialog)
        m_watchedDialog->removeEventFilter(this);
    m_watchedDialog = dialog;
    if (dialog)
        dialog->installEventFilter(this);
}

bool TBitBtnXP::DialogHasCancelButton(QWidget* dialog) const
{
    const auto buttons = dialog->findChildren<TBitBtnXP*>();
    return std::any_of(buttons.begin(), buttons.end(), [dialog](const TBitBtnXP* button) {
        return button->window() == dialog && button->isCancel() && button->isVisible() && button->isEnabled();
    });
}

bool TBitBtnXP::eventFilter(QObject* watched, QEvent* event)
{
    // Esc presses the dialog's Cancel button; without one it does nothing
    // rather than closing the dialog behind the user's back.
    if (watched == m_watchedDialog && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            if (m_cancel && isVisible() && isEnabled()) {
                click();
                return true;
            }
            if (!DialogHasCancelButton(m_watchedDialog))
                return true;
        }
    }
    return QPushButton::eventFilter(watched, event);
}

void TBitBtnXP::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click is a press like any other.
    if (event->button() == Qt::LeftButton)
        mousePressEvent(event);
    else
        QPushButton::mouseDoubleClickEvent(event);
}

void TBitBtnXP::FocusChanged(QWidget* /*old*/, QWidget* now)
{
    if (now && now->window() == window())
        UpdateActive(now);
}

void TBitBtnXP::UpdateActive(QWidget* focus)
{
    const bool active = qobject_cast<QPushButton*>(focus) ? focus == this : m_default;
    if (active == m_isActive)
        return;
    m_isActive = active;
    update();
}

void TBitBtnXP::Click()
{
    if (kind() == bkClose && window() != this) {
        window()->close();
        return;
    }
    // bkHelp has no help file to open and clicks like any other button.
    if (m_modalResult == 0)
        return;
    if (auto* dialog = qobject_cast<QDialog*>(window()))
        dialog->done(m_modalResult);
}

unsigned TBitBtnXP::TextFlags() const
{
    return layoutDirection() == Qt::RightToLeft ? DT_RIGHT | DT_RTLREADING : 0u;
}

void TBitBtnXP::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    unsigned itemState = 0;
    if (isDown())
        itemState |= ODS_SELECTED;
    if (!isEnabled())
        itemState |= ODS_DISABLED;
    if (hasFocus())
        itemState |= ODS_FOCUS;
    PaintButton(painter, itemState);
}

// Colours: Color and clBtnFace are the palette's Button, clBtnShadow its Dark,
// clWindowFrame its Shadow.
void TBitBtnXP::PaintButton(QPainter& painter, unsigned itemState)
{
    const QRect client = rect();
    const QPalette& pal = palette();
    QRect r = client;
    const bool themed = dw::ThemesAvailable();
    if (themed)
        painter.fillRect(client, pal.color(QPalette::Button));

    const bool pressed = itemState & ODS_SELECTED;
    const bool focused = itemState & ODS_FOCUS;
    const ButtonImageState state = !isEnabled() ? ButtonImageState::Disabled
                                   : pressed    ? ButtonImageState::Pressed
                                                : ButtonImageState::Normal;
    unsigned frameFlags = dw::DFCS_BUTTONPUSH | dw::DFCS_ADJUSTRECT;
    if (pressed)
        frameFlags |= dw::DFCS_PUSHED;
    if (itemState & ODS_DISABLED)
        frameFlags |= dw::DFCS_INACTIVE;

    if ((m_isActive || focused) && !themed) {
        FrameRect(painter, r, pal.color(QPalette::Shadow));
        r.adjust(1, 1, -1, -1);
    }
    if (pressed) {
        if (themed) {
            dw::DrawThemeBackground(m_themeHandle, painter, dw::BP_PUSHBUTTON, dw::PBS_PRESSED, r, nullptr);
        } else {
            painter.fillRect(r, pal.color(QPalette::Button));
            FrameRect(painter, r, pal.color(QPalette::Dark));
        }
        r.adjust(1, 1, -1, -1);
    } else if (!themed) {
        dw::DrawFrameControl(painter, r, dw::DFC_BUTTON, frameFlags, pal);
    } else {
        // State 0, not PBS_NORMAL, for a button that is neither active nor focused.
        const int themeState = state == ButtonImageState::Disabled ? dw::PBS_DISABLED
                               : (m_isActive || focused)           ? dw::PBS_NORMAL
                                                                   : 0;
        dw::DrawThemeBackground(m_themeHandle, painter, dw::BP_PUSHBUTTON, themeState, r, nullptr);
    }
    if (m_isActive)
        r = client.adjusted(1, 1, -1, -1);

    painter.setFont(font());
    painter.setPen(pal.color(QPalette::ButtonText));
    if (pressed)
        r.translate(1, 1);
    m_buttonGlyph.PaintContent(painter, r, text(), m_layout, m_margin, m_spacing, state, TextFlags());

    if (m_isActive && focused)
        dw::DrawFocusRect(painter, client.adjusted(4, 4, -4, -4));
}
