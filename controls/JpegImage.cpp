#include "controls/JpegImage.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace dw {
namespace {

// Pictures beyond this many pixels are refused before anything is allocated.
constexpr qint64 MaxPixels = 32LL * 1024 * 1024;
// Progressive pictures keep all coefficients in memory; damaged headers must
// not make libjpeg ask for gigabytes.
constexpr long MaxDecoderMemory = 512L * 1024 * 1024;

struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf escape;
};

[[noreturn]] void FailDecoding(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->escape, 1);
}

// libjpeg reports a truncated or corrupt stream as a warning and goes on with
// made-up data; we count that as damage.
void OnMessage(j_common_ptr cinfo, int level)
{
    if (level < 0)
        FailDecoding(cinfo);
}

void Quiet(j_common_ptr) {}

} // namespace

QImage DecodeJpeg(const QByteArray& data)
{
    if (data.isEmpty())
        return {};
    jpeg_decompress_struct cinfo{};
    ErrorManager errors{};
    cinfo.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = FailDecoding;
    errors.base.emit_message = OnMessage;
    errors.base.output_message = Quiet;
    // Everything that must survive a longjmp lives outside this frame's
    // registers: the image is only assigned after the jump point.
    QImage* volatile result = nullptr;
    if (setjmp(errors.escape)) {
        jpeg_destroy_decompress(&cinfo);
        delete result;
        return {};
    }
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = MaxDecoderMemory;
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK)
        FailDecoding(reinterpret_cast<j_common_ptr>(&cinfo));
    if (qint64(cinfo.image_width) * qint64(cinfo.image_height) > MaxPixels)
        FailDecoding(reinterpret_cast<j_common_ptr>(&cinfo));
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_components != 3)
        FailDecoding(reinterpret_cast<j_common_ptr>(&cinfo));
    result = new QImage(int(cinfo.output_width), int(cinfo.output_height), QImage::Format_RGB888);
    if (result->isNull())
        FailDecoding(reinterpret_cast<j_common_ptr>(&cinfo));
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = result->scanLine(int(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    QImage image = std::move(*result);
    delete result;
    return image;
}

QImage LoadJpeg(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return DecodeJpeg(file.readAll());
}

} // namespace dw
