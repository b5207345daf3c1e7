#include "controls/ButtonGlyph.h"

#include "platform/Exceptions.h"

#include <algorithm>

namespace {
std::unique_ptr<TGlyphCache> g_cache;
}

TGlyphList::TGlyphList(int width, int height) : m_width(width), m_height(height) {}

int TGlyphList::AllocateSlot()
{
    const auto free = std::find(m_usedSlots.begin(), m_usedSlots.end(), false);
    const auto slot = static_cast<size_t>(free - m_usedSlots.begin());
    if (free == m_usedSlots.end()) {
        m_images.emplace_back();
        m_usedSlots.push_back(false);
    }
    m_usedSlots[slot] = true;
    return static_cast<int>(slot);
}

int TGlyphList::Add(const QImage& image, std::optional<QRgb> maskColor)
{
    if (image.width() != m_width || image.height() != m_height)
        throw dw::Exception("Invalid image size");
    QImage masked = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = maskColor.value_or(0) & RGB_MASK;
    for (int y = 0; maskColor && y < masked.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(masked.scanLine(y));
        for (int x = 0; x < masked.width(); ++x)
            if ((line[x] & RGB_MASK) == key)
                line[x] = 0;
    }
    const int slot = AllocateSlot();
    m_images[static_cast<size_t>(slot)] = masked;
    ++m_usedCount;
    return slot;
}

void TGlyphList::Release(int slot)
{
    if (slot < 0 || static_cast<size_t>(slot) >= m_usedSlots.size() ||
        !m_usedSlots[static_cast<size_t>(slot)])
        return;
    --m_usedCount;
    m_usedSlots[static_cast<size_t>(slot)] = false;
}

TGlyphCache* TGlyphCache::Instance()
{
    return g_cache.get();
}

TGlyphCache& TGlyphCache::Ensure()
{
    if (!g_cache)
        g_cache = std::make_unique<TGlyphCache>();
    return *g_cache;
}

void TGlyphCache::FreeIfEmpty()
{
    if (g_cache && g_cache->Empty())
        g_cache.reset();
}

TGlyphList* TGlyphCache::GetList(int width, int height)
{
    for (auto it = m_lists.rbegin(); it != m_lists.rend(); ++it)
        if ((*it)->width() == width && (*it)->height() == height)
            return it->get();
    m_lists.push_back(std::make_unique<TGlyphList>(width, height));
    return m_lists.back().get();
}

void TGlyphCache::ReturnList(TGlyphList* list)
{
    if (list == nullptr || list->UsedCount() != 0)
        return;
    const auto it = std::find_if(m_lists.begin(), m_lists.end(),
                                 [list](const auto& owned) { return owned.get() == list; });
    if (it != m_lists.end())
        m_lists.erase(it);
}
