#include "controls/ButtonGlyph.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

ButtonColors ButtonColors::System()
{
    const QPalette palette = QGuiApplication::palette();
    return {palette.color(QPalette::Active, QPalette::Button),
            palette.color(QPalette::Active, QPalette::Light),
            palette.color(QPalette::Active, QPalette::Dark)};
}

QRgb TransparentColorOf(const QImage& picture, std::optional<QRgb> fixedColor)
{
    if (fixedColor)
        return *fixedColor | 0xFF000000u;
    if (picture.depth() == 1)
        return qRgb(255, 255, 255);
    if (picture.isNull())
        return qRgb(0, 0, 0);
    return picture.pixel(0, picture.height() - 1) | 0xFF000000u;
}

GlyphLayout ComputeLayout(const QRect& client, QSize glyphSize, QSize textSize, TButtonLayout layout,
                          int32_t margin, int32_t spacing, unsigned textFlags)
{
    if (textFlags & DT_RIGHT) {
        if (layout == blGlyphLeft)
            layout = blGlyphRight;
        else if (layout == blGlyphRight)
            layout = blGlyphLeft;
    }
    const int32_t clientW = client.width();
    const int32_t clientH = client.height();
    const bool alongX = layout == blGlyphLeft || layout == blGlyphRight;

    QPoint glyphPos;
    QPoint textPos;
    if (alongX) {
        glyphPos.setY((clientH - glyphSize.height() + 1) / 2);
        textPos.setY((clientH - textSize.height() + 1) / 2);
    } else {
        glyphPos.setX((clientW - glyphSize.width() + 1) / 2);
        textPos.setX((clientW - textSize.width() + 1) / 2);
    }

    if (textSize.width() == 0 || glyphSize.width() == 0)
        spacing = 0;

    const int32_t cs = alongX ? clientW : clientH;
    const int32_t gs = alongX ? glyphSize.width() : glyphSize.height();
    const int32_t ts = alongX ? textSize.width() : textSize.height();
    if (margin == -1) {
        if (spacing == -1) {
            margin = (cs - (gs + ts)) / 3;
            spacing = margin;
        } else {
            margin = (cs - (gs + spacing + ts) + 1) / 2;
        }
    } else if (spacing == -1) {
        spacing = ((cs - (margin + gs)) - ts) / 2;
    }

    int32_t glyphAlong = 0;
    int32_t textAlong = 0;
    if (layout == blGlyphLeft || layout == blGlyphTop) {
        glyphAlong = margin;
        textAlong = glyphAlong + gs + spacing;
    } else {
        glyphAlong = cs - margin - gs;
        textAlong = glyphAlong - spacing - ts;
    }
    if (alongX) {
        glyphPos.setX(glyphAlong);
        textPos.setX(textAlong);
    } else {
        glyphPos.setY(glyphAlong);
        textPos.setY(textAlong);
    }
    return {glyphPos + client.topLeft(), QRect(client.topLeft() + textPos, textSize)};
}

QSize MeasureCaption(const QFontMetrics& metrics, int width, const QString& caption, unsigned textFlags)
{
    if (caption.isEmpty())
        return {0, 0};
    const int align = (textFlags & DT_RIGHT) ? Qt::AlignRight : Qt::AlignLeft;
    return metrics.boundingRect(QRect(0, 0, width, 0), align | Qt::AlignTop | Qt::TextShowMnemonic, caption)
        .size();
}

TButtonGlyph::TButtonGlyph()
{
    TGlyphCache::Ensure();
}

TButtonGlyph::~TButtonGlyph()
{
    DropImages();
    TGlyphCache::FreeIfEmpty();
}

void TButtonGlyph::setPicture(const QImage& picture, std::optional<QRgb> fixedTransparentColor)
{
    DropImages();
    m_source = picture;
    m_fixedTransparentColor = fixedTransparentColor;
    if (!picture.isNull() && picture.height() >= 1) {
        m_maskColor = TransparentColorOf(picture, fixedTransparentColor);
        if (picture.width() % picture.height() == 0) {
            const int cells = picture.width() / picture.height();
            m_numGlyphs = cells > 4 ? 1 : cells;
        }
    }
    if (OnChange)
        OnChange();
}

void TButtonGlyph::setNumGlyphs(TNumGlyphs value)
{
    if (value < 1 || value == m_numGlyphs)
        return;
    m_numGlyphs = value;
    DropImages();
    if (OnChange)
        OnChange();
}

QSize TButtonGlyph::CellSize() const
{
    if (m_source.isNull())
        return {0, 0};
    const QSize size = m_source.deviceIndependentSize().toSize();
    return {size.width() / m_numGlyphs, size.height()};
}

void TButtonGlyph::DropImages()
{
    for (int& index : m_stateIndexes) {
        if (index != -1 && m_sharedList)
            m_sharedList->Release(index);
        index = -1;
    }
    if (m_sharedList) {
        if (TGlyphCache* cache = TGlyphCache::Instance())
            cache->ReturnList(m_sharedList);
        m_sharedList = nullptr;
    }
}

int TButtonGlyph::StateImage(ButtonImageState state)
{
    if (state == ButtonImageState::Pressed && m_numGlyphs < 3)
        state = ButtonImageState::Normal;
    const auto ordinal = static_cast<size_t>(state);
    if (m_stateIndexes[ordinal] != -1)
        return m_stateIndexes[ordinal];
    // In the picture's own pixels, which a picture for screens at scale 2 has twice as many of.
    const QSize cell = CellSize() * m_source.devicePixelRatio();
    // A picture narrower than its number of cells has no cell to show.
    if (cell.width() <= 0 || cell.height() <= 0)
        return -1;
    if (!m_sharedList)
        m_sharedList = TGlyphCache::Ensure().GetList(cell.width(), cell.height());

    if (Smooth()) {
        m_stateIndexes[ordinal] = m_sharedList->Add(BuildSmoothImage(state, cell.width(), cell.height()), {});
        return m_stateIndexes[ordinal];
    }
    const QImage work = BuildImage(state, cell.width(), cell.height());
    const QRgb mask = (state != ButtonImageState::Disabled && m_fixedTransparentColor)
                          ? m_maskColor
                          : TransparentColorOf(work);
    m_stateIndexes[ordinal] = m_sharedList->Add(work, mask);
    return m_stateIndexes[ordinal];
}

QImage TButtonGlyph::BuildImage(ButtonImageState state, int cellWidth, int cellHeight) const
{
    const ButtonColors colors = ButtonColors::System();
    const int ordinal = static_cast<int>(state);
    const int cellIndex = ordinal < m_numGlyphs ? ordinal : 0;

    QImage work(cellWidth, cellHeight, QImage::Format_RGB32);
    work.fill(colors.face);
    {
        // Pixels with alpha land on the face, as they would on a button.
        QPainter painter(&work);
        painter.drawImage(QPoint(0, 0), m_source, QRect(cellIndex * cellWidth, 0, cellWidth, cellHeight));
    }
    if (state != ButtonImageState::Disabled)
        return work;

    if (m_numGlyphs >= 2) {
        // The picture's own disabled cell, its greys and transparent colour
        // turned into the face colours. Each pass looks at the cell as drawn.
        const QImage cell = work.copy();
        const std::array<std::pair<QRgb, QColor>, 3> passes{{
            {qRgb(255, 255, 255), colors.highlight},
            {qRgb(128, 128, 128), colors.shadow},
            {m_maskColor, colors.face},
        }};
        for (const auto& [from, to] : passes) {
            for (int y = 0; y < cellHeight; ++y)
                for (int x = 0; x < cellWidth; ++x)
                    if (cell.pixel(x, y) == from)
                        work.setPixel(x, y, to.rgb());
        }
        return work;
    }

    // One cell: the black parts engraved into the face, everything else gone.
    const QImage cell = work.copy();
    work.fill(colors.face);
    const QRgb black = qRgb(0, 0, 0);
    for (int y = 0; y < cellHeight; ++y)
        for (int x = 0; x < cellWidth; ++x)
            if (cell.pixel(x, y) == black && x + 1 < cellWidth && y + 1 < cellHeight)
                work.setPixel(x + 1, y + 1, colors.highlight.rgb());
    for (int y = 0; y < cellHeight; ++y)
        for (int x = 0; x < cellWidth; ++x)
            if (cell.pixel(x, y) == black)
                work.setPixel(x, y, colors.shadow.rgb());
    return work;
}

QImage TButtonGlyph::BuildSmoothImage(ButtonImageState state, int cellWidth, int cellHeight) const
{
    const int ordinal = static_cast<int>(state);
    const int cellIndex = ordinal < m_numGlyphs ? ordinal : 0;
    QImage work =
        m_source.copy(cellIndex * cellWidth, 0, cellWidth, cellHeight).convertToFormat(QImage::Format_ARGB32);
    if (state == ButtonImageState::Disabled) {
        const ButtonColors colors = ButtonColors::System();
        const QImage cell = work.copy();
        if (m_numGlyphs < 2)
            work.fill(Qt::transparent);
        const int step = qRound(m_source.devicePixelRatio());
        for (int y = 0; y < cellHeight; ++y)
            for (int x = 0; x < cellWidth; ++x) {
                const QRgb pixel = cell.pixel(x, y);
                if (m_numGlyphs >= 2) {
                    // The picture's own engraved cell: its white turns into the highlight,
                    // its gray into the shadow, and the smoothed steps between into shades between.
                    const double light = qBound(0.0, (qGray(pixel) - 128) / 127.0, 1.0);
                    const QColor mixed = QColor::fromRgbF(
                        colors.shadow.redF() + (colors.highlight.redF() - colors.shadow.redF()) * light,
                        colors.shadow.greenF() + (colors.highlight.greenF() - colors.shadow.greenF()) * light,
                        colors.shadow.blueF() + (colors.highlight.blueF() - colors.shadow.blueF()) * light);
                    work.setPixel(x, y, qRgba(mixed.red(), mixed.green(), mixed.blue(), qAlpha(pixel)));
                } else if (qAlpha(pixel) != 0 && qGray(pixel) < 64) {
                    // One cell: the dark parts engraved, everything else gone.
                    const QColor& shadow = colors.shadow;
                    work.setPixel(x, y, qRgba(shadow.red(), shadow.green(), shadow.blue(), qAlpha(pixel)));
                    if (x + step < cellWidth && y + step < cellHeight &&
                        qAlpha(work.pixel(x + step, y + step)) == 0)
                        work.setPixel(x + step, y + step,
                                      qRgba(colors.highlight.red(), colors.highlight.green(),
                                            colors.highlight.blue(), qAlpha(pixel)));
                }
            }
    }
    work.setDevicePixelRatio(m_source.devicePixelRatio());
    return work;
}

GlyphLayout TButtonGlyph::Layout(const QFontMetrics& metrics, const QRect& client, const QString& caption,
                                 TButtonLayout layout, int margin, int spacing, unsigned textFlags) const
{
    return ComputeLayout(client, CellSize(), MeasureCaption(metrics, client.width(), caption, textFlags),
                         layout, margin, spacing, textFlags);
}

QRect TButtonGlyph::PaintContent(QPainter& painter, const QRect& client, const QString& caption,
                                 TButtonLayout layout, int margin, int spacing, ButtonImageState state,
                                 unsigned textFlags)
{
    const GlyphLayout placed =
        Layout(painter.fontMetrics(), client, caption, layout, margin, spacing, textFlags);
    PaintGlyph(painter, placed.glyphPos, state);
    PaintCaption(painter, placed.textRect, caption, state, textFlags);
    return placed.textRect;
}

void TButtonGlyph::PaintGlyph(QPainter& painter, QPoint pos, ButtonImageState state)
{
    if (m_source.width() == 0 || m_source.height() == 0)
        return;
    const int index = StateImage(state);
    if (index < 0)
        return;
    painter.drawImage(pos, m_sharedList->Image(index));
}

void TButtonGlyph::PaintCaption(QPainter& painter, const QRect& textRect, const QString& caption,
                                ButtonImageState state, unsigned textFlags)
{
    if (caption.isEmpty())
        return;
    painter.save();
    painter.setBrush(Qt::NoBrush);
    if (textFlags & DT_RTLREADING)
        painter.setLayoutDirection(Qt::RightToLeft);
    const int flags = Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextDontClip;
    if (state == ButtonImageState::Disabled) {
        const ButtonColors colors = ButtonColors::System();
        painter.setPen(colors.highlight);
        painter.drawText(textRect.translated(1, 1), flags, caption);
        painter.setPen(colors.shadow);
        painter.drawText(textRect, flags, caption);
    } else {
        painter.drawText(textRect, flags, caption);
    }
    painter.restore();
}
