#pragma once

#include "platform/DateTime.h"

#include <QString>

namespace dw {

// The user's regional short date and long time formats, as strftime patterns
// (a German system gives "%d.%m.%Y" and "%H:%M:%S").
struct RegionalFormats
{
    QString shortDate;
    QString longTime;
};

// Read from the C library's LC_TIME once, on first use.
const RegionalFormats& CurrentFormats();
// Tests pin the formats so that nothing depends on the machine's locale.
void SetFormats(const RegionalFormats& formats);
void ResetFormats();

QString FormatShortDate(TDateTime value); // 05.01.2024
QString FormatLongTime(TDateTime value);  // 12:00:00

} // namespace dw
