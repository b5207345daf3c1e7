#include "platform/RegionalFormats.h"

#include "plain/TimeFormats.h"

namespace dw {

// The formats live on the plain side, which the light reading program shares.
const RegionalFormats& CurrentFormats()
{
    thread_local RegionalFormats formats;
    const TimeFormats& plain = CurrentTimeFormats();
    formats = {QString::fromLocal8Bit(plain.shortDate), QString::fromLocal8Bit(plain.longTime)};
    return formats;
}

void SetFormats(const RegionalFormats& formats)
{
    SetTimeFormats(
        {formats.shortDate.toLocal8Bit().toStdString(), formats.longTime.toLocal8Bit().toStdString()});
}

void ResetFormats()
{
    ResetTimeFormats();
}

QString FormatShortDate(TDateTime value)
{
    return QString::fromStdString(FormatMoment(CurrentTimeFormats().shortDate, value));
}

QString FormatLongTime(TDateTime value)
{
    return QString::fromStdString(FormatMoment(CurrentTimeFormats().longTime, value));
}

} // namespace dw
