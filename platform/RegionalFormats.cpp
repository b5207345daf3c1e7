#include "platform/RegionalFormats.h"

#include <clocale>
#include <ctime>
#include <langinfo.h>
#include <optional>

namespace dw {

namespace {
std::optional<RegionalFormats> g_formats;

RegionalFormats ReadFromLocale()
{
    // Only the time category: numbers and messages stay in the C locale.
    const char* previous = std::setlocale(LC_TIME, nullptr);
    const std::string saved = previous ? previous : "C";
    std::setlocale(LC_TIME, "");
    RegionalFormats f{QString::fromLocal8Bit(nl_langinfo(D_FMT)), QString::fromLocal8Bit(nl_langinfo(T_FMT))};
    std::setlocale(LC_TIME, saved.c_str());
    if (f.shortDate.isEmpty())
        f.shortDate = QStringLiteral("%d.%m.%Y");
    if (f.longTime.isEmpty())
        f.longTime = QStringLiteral("%H:%M:%S");
    return f;
}

QString Format(const QString& pattern, TDateTime value)
{
    int y, mo, d, h, mi, s, ms;
    DecodeDate(value, y, mo, d);
    DecodeTime(value, h, mi, s, ms);
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = s;
    tm.tm_wday = ToQDate(value).dayOfWeek() % 7;
    tm.tm_yday = ToQDate(value).dayOfYear() - 1;
    char buffer[128];
    const size_t n = std::strftime(buffer, sizeof buffer, pattern.toLocal8Bit().constData(), &tm);
    return QString::fromLocal8Bit(buffer, static_cast<qsizetype>(n));
}
} // namespace

const RegionalFormats& CurrentFormats()
{
    if (!g_formats)
        g_formats = ReadFromLocale();
    return *g_formats;
}

void SetFormats(const RegionalFormats& formats)
{
    g_formats = formats;
}

void ResetFormats()
{
    g_formats.reset();
}

QString FormatShortDate(TDateTime value)
{
    return Format(CurrentFormats().shortDate, value);
}

QString FormatLongTime(TDateTime value)
{
    return Format(CurrentFormats().longTime, value);
}

} // namespace dw
