#include "store/TerminScan.h"

#include "store/TerminRecord.h"

#include <algorithm>
#include <cstring>

namespace {

std::string_view UpToZero(std::string_view text)
{
    const void* zero = text.empty() ? nullptr : std::memchr(text.data(), 0, text.size());
    return zero ? text.substr(0, static_cast<std::size_t>(static_cast<const char*>(zero) - text.data()))
                : text;
}

} // namespace

bool ScanTermins(std::string_view file, VisitStored visit, void* context)
{
    const char* p = file.data();
    const char* const end = p + file.size();
    StoredAppointment a;
    TerminRecord record;
    for (int index = 0; index < TerminDays; ++index) {
        // Most days hold nothing: their counts are passed over in steps.
        index = SkipEmptyDays(p, end, index, TerminDays);
        if (index == TerminDays)
            break;
        if (end - p < 4)
            return false;
        const auto count = LoadLE<std::int32_t>(p);
        p += 4;
        a.day = FirstTerminDate + index;
        for (std::int32_t i = 0; i < count; ++i) {
            if (!DecodeRecord(p, end, record))
                return false;
            a.timeOfDay = record.timeOfDay;
            a.lastReminded = record.lastReminded;
            a.firstLead = record.firstLead;
            a.repeatInterval = record.repeatInterval;
            a.done = record.done;
            a.name = UpToZero(record.name);
            a.description = UpToZero(record.description);
            visit(context, a);
        }
    }
    return static_cast<std::size_t>(end - p) >= TerminSettingsBytes;
}
