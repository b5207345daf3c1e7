#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QFontMetrics;
class QPainter;

// Which cell of a glyph, and which cached image, a button asks for.
enum class ButtonImageState : quint8
{
    Normal,
    Disabled,
    Pressed,
    Latched
};

// Where the glyph stands relative to the caption.
enum TButtonLayout : quint8
{
    blGlyphLeft,
    blGlyphRight,
    blGlyphTop,
    blGlyphBottom
};

// Number of cells side by side in a glyph bitmap: 1 to 4.
using TNumGlyphs = int;

// Text-drawing flags in the numbering the layout rules use.
constexpr unsigned DT_CENTER = 0x1;
constexpr unsigned DT_RIGHT = 0x2;
constexpr unsigned DT_VCENTER = 0x4;
constexpr unsigned DT_CALCRECT = 0x400;
constexpr unsigned DT_RTLREADING = 0x20000;

// The system colours of a button face. They come from the application palette
// (active group) and not from one widget, because the state images built with
// them are shared by every button: face = Button, highlight = Light, shadow = Dark.
struct ButtonColors
{
    QColor face;
    QColor highlight;
    QColor shadow;
    static ButtonColors System();
};

// Colour treated as transparent in a picture: the fixed one if given, white
// for a monochrome picture, else the colour of its lower-left pixel.
QRgb TransparentColorOf(const QImage& picture, std::optional<QRgb> fixedColor = {});

struct GlyphLayout
{
    QPoint glyphPos;
    QRect textRect;
};

// Places glyph and caption inside client. Integer arithmetic on 32-bit values
// with division truncating toward zero, as the buttons have always laid out.
GlyphLayout ComputeLayout(const QRect& client, QSize glyphSize, QSize textSize, TButtonLayout layout,
                          int32_t margin, int32_t spacing, unsigned textFlags);
// Size of the caption as drawn, lines as they stand and '&' marking a mnemonic.
QSize MeasureCaption(const QFontMetrics& metrics, int width, const QString& caption, unsigned textFlags);

// An image list of one cell size whose freed slots are reused, never removed.
class TGlyphList
{
public:
    TGlyphList(int width, int height);

    int width() const { return m_width; }
    int height() const { return m_height; }
    // Pixels equal to maskColor become transparent; without one the image keeps
    // its own transparency. Returns the slot taken.
    int Add(const QImage& image, std::optional<QRgb> maskColor);
    void Release(int slot);
    const QImage& Image(int slot) const { return m_images.at(static_cast<size_t>(slot)); }
    int Count() const { return static_cast<int>(m_images.size()); }

    const std::vector<bool>& UsedSlots() const { return m_usedSlots; }
    int UsedCount() const { return m_usedCount; }

private:
    int AllocateSlot();

    int m_width;
    int m_height;
    std::vector<QImage> m_images;
    std::vector<bool> m_usedSlots;
    int m_usedCount = 0;
};

// The image lists of all button glyphs, one per cell size.
class TGlyphCache
{
public:
    // The cache if it exists, else null.
    static TGlyphCache* Instance();
    static TGlyphCache& Ensure();
    // Frees the cache when it holds no list.
    static void FreeIfEmpty();

    TGlyphList* GetList(int width, int height);
    // Frees the list when none of its slots is in use.
    void ReturnList(TGlyphList* list);
    bool Empty() const { return m_lists.empty(); }
    int ListCount() const { return static_cast<int>(m_lists.size()); }

private:
    std::vector<std::unique_ptr<TGlyphList>> m_lists;
};

// The picture of one button: its cells, its transparent colour and its state
// images, built on first need and kept in the shared list for its cell size.
class TButtonGlyph
{
public:
    TButtonGlyph();
    ~TButtonGlyph();
    TButtonGlyph(const TButtonGlyph&) = delete;
    TButtonGlyph& operator=(const TButtonGlyph&) = delete;

    const QImage& Source() const { return m_source; }
    // Takes the number of cells from the shape when the width is a whole
    // multiple of the height (1 above 4 cells).
    void setPicture(const QImage& picture, std::optional<QRgb> fixedTransparentColor = {});
    TNumGlyphs NumGlyphs() const { return m_numGlyphs; }
    // Values below 1 and the current value leave the cached images alone.
    void setNumGlyphs(TNumGlyphs value);
    QRgb MaskColor() const { return m_maskColor; }

    // Index in SharedList(), or -1 for an empty glyph.
    int StateImage(ButtonImageState state);
    TGlyphList* SharedList() const { return m_sharedList; }
    QSize CellSize() const;

    // Draws glyph and caption inside client; returns the rectangle of the caption.
    QRect PaintContent(QPainter& painter, const QRect& client, const QString& caption, TButtonLayout layout,
                       int margin, int spacing, ButtonImageState state, unsigned textFlags);
    GlyphLayout Layout(const QFontMetrics& metrics, const QRect& client, const QString& caption,
                       TButtonLayout layout, int margin, int spacing, unsigned textFlags) const;
    void PaintGlyph(QPainter& painter, QPoint pos, ButtonImageState state);
    // The painter's font and pen are the caption's font and colour.
    static void PaintCaption(QPainter& painter, const QRect& textRect, const QString& caption,
                             ButtonImageState state, unsigned textFlags);

    std::function<void()> OnChange;

private:
    void DropImages();
    QImage BuildImage(ButtonImageState state, int cellWidth, int cellHeight) const;
    // A picture for screens at scale 2 is drawn smoothly on a transparent ground:
    // its state images keep that ground and its scale.
    bool Smooth() const { return m_source.devicePixelRatio() > 1.0; }
    QImage BuildSmoothImage(ButtonImageState state, int cellWidth, int cellHeight) const;

    QImage m_source;
    std::optional<QRgb> m_fixedTransparentColor;
    TGlyphList* m_sharedList = nullptr;
    std::array<int, 4> m_stateIndexes{-1, -1, -1, -1};
    QRgb m_maskColor = qRgb(128, 128, 0);
    TNumGlyphs m_numGlyphs = 1;
};
