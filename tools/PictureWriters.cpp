#include "tools/PictureWriters.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <stdexcept>
#include <vector>

#include <jpeglib.h>

namespace pictures {
namespace {

void PutU16(QByteArray& out, quint32 value)
{
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

void PutU32(QByteArray& out, quint32 value)
{
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

int Distance(QRgb a, QRgb b)
{
    const int dr = qRed(a) - qRed(b);
    const int dg = qGreen(a) - qGreen(b);
    const int db = qBlue(a) - qBlue(b);
    return dr * dr * 3 + dg * dg * 4 + db * db * 2;
}

// Maps every pixel to its palette index, remembering earlier answers.
std::vector<quint8> IndexPixels(const QImage& image, const QList<QRgb>& palette)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    std::map<QRgb, quint8> known;
    std::vector<quint8> indexes;
    indexes.reserve(size_t(rgb.width()) * size_t(rgb.height()));
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb colour = line[x] | 0xFF000000u;
            auto found = known.find(colour);
            if (found == known.end())
                found = known.emplace(colour, quint8(NearestIndex(palette, colour))).first;
            indexes.push_back(found->second);
        }
    }
    return indexes;
}

void PutBmpHeaders(QByteArray& out, int width, int height, int bits, quint32 headerSize, quint32 compression,
                   int colours, quint32 imageSize)
{
    const quint32 offset = 14 + headerSize + quint32(colours) * 4;
    out.append("BM");
    PutU32(out, offset + imageSize);
    PutU32(out, 0);
    PutU32(out, offset);
    PutU32(out, headerSize);
    PutU32(out, quint32(width));
    PutU32(out, quint32(height)); // positive: rows bottom-up
    PutU16(out, 1);
    PutU16(out, quint32(bits));
    PutU32(out, compression);
    PutU32(out, imageSize);
    PutU32(out, 2835); // 72 dpi
    PutU32(out, 2835);
    PutU32(out, quint32(colours));
    PutU32(out, 0);
}

QByteArray WriteIndexedBmp(const QImage& image, const QList<QRgb>& palette, int bits)
{
    const int maxColours = 1 << bits;
    if (palette.isEmpty() || palette.size() > maxColours)
        throw std::invalid_argument("palette does not fit the bit depth");
    const int width = image.width();
    const int height = image.height();
    const int stride = ((width * bits + 31) / 32) * 4;
    const std::vector<quint8> indexes = IndexPixels(image, palette);

    QByteArray out;
    PutBmpHeaders(out, width, height, bits, 40, 0, int(palette.size()), quint32(stride * height));
    for (QRgb colour : palette) {
        out.append(char(qBlue(colour)));
        out.append(char(qGreen(colour)));
        out.append(char(qRed(colour)));
        out.append(char(0));
    }
    for (int y = height - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        for (int x = 0; x < width; ++x) {
            const quint8 index = indexes[size_t(y) * size_t(width) + size_t(x)];
            if (bits == 8)
                row[x] = char(index);
            else
                row[x / 2] = char(quint8(row[x / 2]) | (x % 2 == 0 ? index << 4 : index));
        }
        out.append(row);
    }
    return out;
}

// Accumulates codes of growing width, least significant bit first, into GIF
// data sub-blocks.
class GifBitSink
{
public:
    explicit GifBitSink(QByteArray& out) : m_out(out) {}
    void put(int code, int width)
    {
        m_bits |= quint32(code) << m_count;
        m_count += width;
        while (m_count >= 8) {
            byte(quint8(m_bits & 0xFF));
            m_bits >>= 8;
            m_count -= 8;
        }
    }
    void finish()
    {
        if (m_count > 0)
            byte(quint8(m_bits & 0xFF));
        m_bits = 0;
        m_count = 0;
        flushBlock();
        m_out.append(char(0));
    }

private:
    void byte(quint8 value)
    {
        m_block.append(char(value));
        if (m_block.size() == 255)
            flushBlock();
    }
    void flushBlock()
    {
        if (m_block.isEmpty())
            return;
        m_out.append(char(m_block.size()));
        m_out.append(m_block);
        m_block.clear();
    }

    QByteArray& m_out;
    QByteArray m_block;
    quint32 m_bits = 0;
    int m_count = 0;
};

void CompressLzw(const std::vector<quint8>& pixels, QByteArray& out)
{
    constexpr int MinCodeSize = 8;
    constexpr int ClearCode = 1 << MinCodeSize;
    constexpr int EndCode = ClearCode + 1;
    constexpr int MaxCodes = 4096;

    out.append(char(MinCodeSize));
    GifBitSink sink(out);
    // table[prefix * 256 + byte] = code of that string, or 0 when absent.
    std::vector<quint16> table(size_t(MaxCodes) * 256, 0);
    int next = EndCode + 1;
    int width = MinCodeSize + 1;
    sink.put(ClearCode, width);
    if (pixels.empty()) {
        sink.put(EndCode, width);
        sink.finish();
        return;
    }
    int prefix = pixels[0];
    for (size_t i = 1; i < pixels.size(); ++i) {
        const int c = pixels[i];
        const size_t key = size_t(prefix) * 256 + size_t(c);
        if (table[key] != 0) {
            prefix = table[key];
            continue;
        }
        sink.put(prefix, width);
        if (next < MaxCodes) {
            table[key] = quint16(next++);
            if (next > (1 << width) && width < 12)
                ++width;
        } else {
            // Table full: start a fresh one so the codes keep compressing.
            sink.put(ClearCode, width);
            std::fill(table.begin(), table.end(), quint16(0));
            next = EndCode + 1;
            width = MinCodeSize + 1;
        }
        prefix = c;
    }
    sink.put(prefix, width);
    // The decoder adds one more entry after that last code, which may widen the end code.
    if (next < MaxCodes && next + 1 > (1 << width) && width < 12)
        ++width;
    sink.put(EndCode, width);
    sink.finish();
}

struct Box
{
    std::vector<std::pair<QRgb, int>> colours; // colour, pixel count
};

int Channel(QRgb colour, int channel)
{
    return channel == 0 ? qRed(colour) : channel == 1 ? qGreen(colour) : qBlue(colour);
}

// The channel with the widest range in the box and that range.
std::pair<int, int> WidestChannel(const Box& box)
{
    int best = 0;
    int bestRange = -1;
    for (int channel = 0; channel < 3; ++channel) {
        int lo = 255;
        int hi = 0;
        for (const auto& [colour, count] : box.colours) {
            lo = std::min(lo, Channel(colour, channel));
            hi = std::max(hi, Channel(colour, channel));
        }
        if (hi - lo > bestRange) {
            bestRange = hi - lo;
            best = channel;
        }
    }
    return {best, bestRange};
}

QRgb Average(const Box& box)
{
    qint64 r = 0, g = 0, b = 0, n = 0;
    for (const auto& [colour, count] : box.colours) {
        r += qint64(qRed(colour)) * count;
        g += qint64(qGreen(colour)) * count;
        b += qint64(qBlue(colour)) * count;
        n += count;
    }
    return qRgb(int((r + n / 2) / n), int((g + n / 2) / n), int((b + n / 2) / n));
}

} // namespace

const QList<QRgb>& VgaPalette()
{
    static const QList<QRgb> palette = {
        qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(128, 128, 128),
        qRgb(192, 192, 192), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255),
    };
    return palette;
}

int NearestIndex(const QList<QRgb>& palette, QRgb colour)
{
    int best = 0;
    int bestDistance = -1;
    for (int i = 0; i < palette.size(); ++i) {
        const int d = Distance(palette[i], colour);
        if (bestDistance < 0 || d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

QList<QRgb> ReducePalette(const QImage& image, int maxColours)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    std::map<QRgb, int> histogram;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            ++histogram[line[x] | 0xFF000000u];
    }
    QList<QRgb> palette;
    if (int(histogram.size()) <= maxColours) {
        for (const auto& entry : histogram)
            palette.append(entry.first);
        return palette;
    }
    std::vector<Box> boxes(1);
    boxes[0].colours.assign(histogram.begin(), histogram.end());
    while (int(boxes.size()) < maxColours) {
        // Split the box with the widest spread; ties go to the earliest box.
        int pick = -1;
        int pickRange = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].colours.size() < 2)
                continue;
            const int range = WidestChannel(boxes[i]).second;
            if (range > pickRange) {
                pick = int(i);
                pickRange = range;
            }
        }
        if (pick < 0)
            break;
        Box& box = boxes[size_t(pick)];
        const int channel = WidestChannel(box).first;
        std::stable_sort(box.colours.begin(), box.colours.end(), [channel](const auto& a, const auto& b) {
            return Channel(a.first, channel) < Channel(b.first, channel);
        });
        qint64 total = 0;
        for (const auto& entry : box.colours)
            total += entry.second;
        qint64 running = 0;
        size_t cut = 1;
        for (size_t i = 0; i + 1 < box.colours.size(); ++i) {
            running += box.colours[i].second;
            cut = i + 1;
            if (running * 2 >= total)
                break;
        }
        Box upper;
        upper.colours.assign(box.colours.begin() + qsizetype(cut), box.colours.end());
        box.colours.resize(cut);
        boxes.push_back(std::move(upper));
    }
    for (const Box& box : boxes)
        palette.append(Average(box));
    return palette;
}

QByteArray WriteBmp4(const QImage& image, const QList<QRgb>& palette)
{
    return WriteIndexedBmp(image, palette, 4);
}

QByteArray WriteBmp8(const QImage& image, const QList<QRgb>& palette)
{
    return WriteIndexedBmp(image, palette, 8);
}

QByteArray WriteBmp32(const QImage& image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const int width = argb.width();
    const int height = argb.height();
    const quint32 imageSize = quint32(width) * quint32(height) * 4;
    constexpr quint32 HeaderSize = 124;
    QByteArray out;
    PutBmpHeaders(out, width, height, 32, HeaderSize, 3 /* bit fields */, 0, imageSize);
    PutU32(out, 0x00FF0000); // red mask
    PutU32(out, 0x0000FF00);
    PutU32(out, 0x000000FF);
    PutU32(out, 0xFF000000);          // alpha mask
    PutU32(out, 0x73524742);          // 'sRGB'
    out.append(QByteArray(36, '\0')); // end points
    PutU32(out, 0);                   // gamma red, green, blue
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, 4); // rendering intent: pictures
    PutU32(out, 0); // no profile
    PutU32(out, 0);
    PutU32(out, 0);
    for (int y = height - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            // Fully transparent pixels are stored as one value, so a reader
            // that keys transparency on the lower-left pixel sees them all.
            PutU32(out, qAlpha(line[x]) == 0 ? 0u : line[x]);
        }
    }
    return out;
}

QByteArray WriteGif(const QImage& image, const QList<QRgb>& palette)
{
    if (palette.isEmpty() || palette.size() > 256)
        throw std::invalid_argument("a GIF table holds 1 to 256 colours");
    QByteArray out("GIF89a");
    PutU16(out, quint32(image.width()));
    PutU16(out, quint32(image.height()));
    out.append(char(0xF7)); // global table of 256 entries, 8 bits per primary
    out.append(char(0));    // background index
    out.append(char(0));    // square pixels
    for (int i = 0; i < 256; ++i) {
        const QRgb colour = i < palette.size() ? palette[i] : qRgb(0, 0, 0);
        out.append(char(qRed(colour)));
        out.append(char(qGreen(colour)));
        out.append(char(qBlue(colour)));
    }
    out.append(char(0x2C));
    PutU16(out, 0);
    PutU16(out, 0);
    PutU16(out, quint32(image.width()));
    PutU16(out, quint32(image.height()));
    out.append(char(0)); // no local table, not interlaced
    CompressLzw(IndexPixels(image, palette), out);
    out.append(char(0x3B));
    return out;
}

QByteArray WriteProgressiveJpeg(const QImage& image, int quality)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(rgb.width());
    cinfo.image_height = JDIMENSION(rgb.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    cinfo.dct_method = JDCT_ISLOW;
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray out(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return out;
}

} // namespace pictures
