#include "platform/Ansi.h"

#include "plain/Windows1252.h"

#include <cerrno>
#include <iconv.h>
#include <mutex>

namespace dw {

namespace {

// One converter per direction, opened on first use.
struct Converter
{
    Converter(const char* to, const char* from) : cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd);
    }
    iconv_t cd;
    std::mutex lock;
};

Converter& Encoder()
{
    static Converter c("WINDOWS-1252", "UTF-32LE");
    return c;
}

// Converts one unit; false when the code page has no place for it.
bool ConvertOne(Converter& conv, const char* in, size_t inSize, char* out, size_t& outSize)
{
    char* inPtr = const_cast<char*>(in);
    char* outPtr = out;
    size_t inLeft = inSize;
    size_t outLeft = outSize;
    iconv(conv.cd, nullptr, nullptr, nullptr, nullptr);
    const size_t r = iconv(conv.cd, &inPtr, &inLeft, &outPtr, &outLeft);
    if (r == static_cast<size_t>(-1) || inLeft != 0)
        return false;
    outSize = outSize - outLeft;
    return true;
}

} // namespace

QByteArray ToAnsi(const QString& text)
{
    Converter& conv = Encoder();
    std::lock_guard guard(conv.lock);
    QByteArray result;
    result.reserve(text.size());
    const QList<uint> codePoints = text.toUcs4();
    for (uint cp : codePoints) {
        // The code page agrees with Unicode below 0x80 and from 0xA0 to 0xFF.
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            result.append(static_cast<char>(cp));
            continue;
        }
        char in[4] = {static_cast<char>(cp & 0xFF), static_cast<char>((cp >> 8) & 0xFF),
                      static_cast<char>((cp >> 16) & 0xFF), static_cast<char>((cp >> 24) & 0xFF)};
        char out[8];
        size_t outSize = sizeof out;
        if (ConvertOne(conv, in, 4, out, outSize) && outSize == 1)
            result.append(out[0]);
        else if (cp >= 0x80 && cp <= 0x9F)
            result.append(static_cast<char>(cp)); // an undefined byte read back earlier
        else
            result.append('?');
    }
    return result;
}

QString FromAnsi(const QByteArray& bytes)
{
    std::string utf8;
    AppendUtf8FromAnsi(utf8, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return QString::fromStdString(utf8);
}

QString FromAnsi(const char* zeroTerminated)
{
    return FromAnsi(QByteArray(zeroTerminated ? zeroTerminated : ""));
}

} // namespace dw
