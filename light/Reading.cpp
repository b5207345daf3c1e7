#include "light/Reading.h"

#include "messages/FileFaultTexts.h"

#include "core/DueRule.h"
#include "plain/JsonText.h"
#include "plain/TimeFormats.h"
#include "plain/Translate.h"
#include "plain/Windows1252.h"
#include "series/Instances.h"
#include "series/SeriesReader.h"
#include "store/TerminRecord.h"
#include "store/TerminScan.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dw::reading {

namespace {

constexpr int DefaultDays = 7;
constexpr int ExitError = 2;

// termine.dat mapped read-only; a missing or empty file is an empty store.
class MappedFile
{
public:
    MappedFile() = default;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile()
    {
        if (m_mapped)
            ::munmap(m_mapped, m_size);
    }
    bool open(const std::string& path)
    {
        struct stat info
        {
        };
        if (::stat(path.c_str(), &info) != 0)
            return true;
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return false;
        bool ok = ::fstat(fd, &info) == 0;
        m_size = ok ? static_cast<std::size_t>(info.st_size) : 0;
        if (ok && m_size > 0) {
            void* p = ::mmap(nullptr, m_size, PROT_READ, MAP_PRIVATE, fd, 0);
            if (p != MAP_FAILED) {
                m_mapped = p;
                m_bytes = {static_cast<const char*>(p), m_size};
            } else {
                ok = ReadAll(fd);
            }
        }
        ::close(fd);
        return ok;
    }
    std::string_view bytes() const { return m_bytes; }

private:
    bool ReadAll(int fd)
    {
        m_copy.resize(m_size);
        std::size_t done = 0;
        while (done < m_size) {
            const ssize_t n = ::read(fd, m_copy.data() + done, m_size - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            done += static_cast<std::size_t>(n);
        }
        m_bytes = m_copy;
        return true;
    }

    void* m_mapped = nullptr;
    std::size_t m_size = 0;
    std::string m_copy;
    std::string_view m_bytes;
};

std::string Date(std::int64_t day)
{
    return FormatMoment(CurrentTimeFormats().shortDate, static_cast<double>(day));
}

std::string Utf8(std::string_view ansi)
{
    std::string text;
    AppendUtf8FromAnsi(text, ansi);
    return text;
}

// A description with its line breaks as the window shows them.
std::string Text(std::string_view ansi)
{
    std::string text = Utf8(ansi);
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
        text.erase(at, 1);
    return text;
}

// Minutes with at most three decimals, so 3 days print as 4320.
double Minutes(double days)
{
    return std::isfinite(days) ? std::round(days * 1440.0 * 1000.0) / 1000.0 : 0.0;
}

void AppendText(std::string& out, const std::vector<StoredAppointment>& entries)
{
    const TimeFormats& formats = CurrentTimeFormats();
    for (const StoredAppointment& a : entries) {
        out += Date(a.day);
        out += ' ';
        out += FormatMoment(formats.longTime, a.timeOfDay);
        out += ' ';
        AppendUtf8FromAnsi(out, a.name);
        out += '\n';
        const std::string description = Text(a.description);
        if (description.empty())
            continue;
        for (std::size_t from = 0;;) {
            const std::size_t end = description.find('\n', from);
            out += "    ";
            out.append(description, from, end == std::string::npos ? std::string::npos : end - from);
            out += '\n';
            if (end == std::string::npos)
                break;
            from = end + 1;
        }
    }
}

// One object a line, its keys in the order Qt's JSON writer puts them.
void AppendJson(std::string& out, const std::vector<StoredAppointment>& entries)
{
    for (const StoredAppointment& a : entries) {
        const CivilDate d = CivilFromDays(a.day);
        int h = 0, m = 0, s = 0, ms = 0;
        DecodeTime(a.timeOfDay, h, m, s, ms);
        char date[16], time[16];
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", d.year, d.month, d.day);
        std::snprintf(time, sizeof time, "%02d:%02d:%02d", h, m, s);
        out += "{\"date\":";
        AppendJsonString(out, date);
        out += ",\"description\":";
        AppendJsonString(out, Text(a.description));
        out += ",\"done\":";
        out += a.done != 0 ? "true" : "false";
        out += ",\"lastReminded\":";
        if (a.lastReminded == 0.0)
            out += "null";
        else
            AppendJsonString(out, IsoMoment(a.lastReminded));
        out += ",\"leadMinutes\":";
        AppendJsonNumber(out, Minutes(a.firstLead));
        out += ",\"name\":";
        AppendJsonString(out, Utf8(a.name));
        out += ",\"repeatMinutes\":";
        AppendJsonNumber(out, Minutes(a.repeatInterval));
        out += ",\"time\":";
        AppendJsonString(out, time);
        out += "}\n";
    }
}

int Fail(Output& output, const std::string& text)
{
    output.err += text + '\n';
    return ExitError;
}

// Walks termine.dat; false with the German message in output when it cannot.
// The appointments point into file, which the caller keeps while it uses them.
template <typename Visit>
bool Scan(MappedFile& file, const std::string& dataFolder, Output& output, Visit&& visit)
{
    const std::string path = dataFolder + TerminFileName;
    if (!file.open(path)) {
        Fail(output, dw::Arg(dw::Tr("plain::Reading", "%1 kann nicht gelesen werden."), {path}));
        return false;
    }
    if (file.bytes().empty() || ScanTermins(file.bytes(), visit))
        return true;
    Fail(output,
         dw::Arg(dw::Tr("plain::Reading", "%1 ist beschädigt (die Datei endet zu früh). Starten Sie das "
                                          "Programm: es sichert die Datei."),
                 {path}));
    return false;
}

// An occurrence as the output shows an appointment. Its texts are kept in
// texts, as the series it came from may be gone (a streamed one).
StoredAppointment AsStored(const series::Series& s, const series::Occurrence& o,
                           std::deque<std::string>& texts)
{
    StoredAppointment a;
    a.day = static_cast<std::int32_t>(o.day());
    a.timeOfDay = o.timeOfDay();
    const series::ReminderState* state = series::FindState(s, o.recurrenceId);
    a.lastReminded = state ? state->lastReminded : 0.0;
    a.done = state && state->done ? 1 : 0;
    a.firstLead = o.fields->firstLead;
    a.repeatInterval = o.fields->repeatInterval;
    a.name = texts.emplace_back(o.fields->name);
    a.description = texts.emplace_back(o.fields->description);
    return a;
}

// What an option takes of one series (it may be streamed and gone right after).
using Pick =
    std::function<void(const series::Series& s, std::size_t index, std::vector<series::Occurrence>& out)>;

// The occurrences pick takes of the series file beside termine.dat, appended
// to found: read series by series where the file allows, so that a thousand
// series cost little memory, otherwise whole. The status: 0, ExitError with
// the German message in output when the file cannot be read wholly (it is
// never copied aside here: nothing is written), HandOver when a series needs libical.
int SeriesEntries(const std::string& dataFolder, Output& output, const Pick& pick,
                  std::vector<StoredAppointment>& found, std::deque<std::string>& texts)
{
    const std::string path = dataFolder + series::SeriesFileName;
    MappedFile file;
    if (!file.open(path))
        return Fail(output, dw::Arg(dw::Tr("plain::Reading", "%1 kann nicht gelesen werden."), {path}));
    if (file.bytes().empty())
        return 0;
    const std::size_t before = found.size();
    std::vector<series::Occurrence> picked;
    std::size_t index = 0;
    const auto take = [&](const series::Series& s) {
        picked.clear();
        pick(s, index++, picked);
        for (const series::Occurrence& o : picked)
            found.push_back(AsStored(s, o, texts));
        return true;
    };
    if (series::StreamSeries(file.bytes(), take))
        return 0;
    found.resize(before);
    index = 0;
    const series::ReadOutcome read = series::ReadSeries(file.bytes());
    if (!read.complete)
        return Fail(output,
                    dw::Arg(dw::Tr("plain::Reading", "%1 ist beschädigt (Zeile %2: %3). Starten Sie das "
                                                     "Programm: es sichert die Datei."),
                            {path, std::to_string(read.line), read.problem}));
    if (read.set.NeedsHelper() && !series::InstalledHelper())
        return HandOver;
    for (const series::Series& s : read.set.list())
        take(s);
    return 0;
}

int Agenda(const std::vector<std::string>& args, const std::string& dataFolder, TDateTime now, Output& output)
{
    std::int64_t first = static_cast<std::int64_t>(std::trunc(now));
    int days = DefaultDays;
    bool json = false;
    bool dateGiven = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--json") {
            json = true;
        } else if (a == "--days") {
            char* end = nullptr;
            const long n = i + 1 < args.size() ? std::strtol(args[i + 1].c_str(), &end, 10) : 0;
            if (!end || *end != '\0' || end == args[i + 1].c_str() || n < 1 || n > TerminDays)
                return Usage(output,
                             dw::Arg(dw::Tr("plain::Reading", "--days braucht eine Zahl von 1 bis %1."),
                                     {std::to_string(TerminDays)}));
            days = static_cast<int>(n);
            ++i;
        } else if (!dateGiven && a.rfind("--", 0) != 0) {
            const std::optional<std::int64_t> date = ParseUserDate(a);
            if (!date)
                return Usage(output, dw::Arg(dw::Tr("plain::Reading",
                                                    "Unbekanntes Datum: %1 (erwartet %2 oder JJJJ-MM-TT)."),
                                             {a, Date(DaysFromCivil(2024, 12, 24))}));
            first = *date;
            dateGiven = true;
        } else {
            return Usage(output, dw::Arg(dw::Tr("plain::Reading", "Unbekannte Option: %1"), {a}));
        }
    }
    const std::int64_t last = first + days - 1;
    MappedFile file;
    std::vector<StoredAppointment> found;
    if (!Scan(file, dataFolder, output, [&](const StoredAppointment& a) {
            if (a.day >= first && a.day <= last)
                found.push_back(a);
        }))
        return ExitError;
    std::deque<std::string> texts;
    const auto within = [&](const series::Series& s, std::size_t index,
                            std::vector<series::Occurrence>& out) {
        series::SeriesSet::OccurrencesIn(s, index, first, last, out);
    };
    if (const int status = SeriesEntries(dataFolder, output, within, found, texts); status != 0)
        return status;
    // Days come in order from the file; within a day the time decides.
    std::stable_sort(found.begin(), found.end(), [](const StoredAppointment& a, const StoredAppointment& b) {
        return a.day != b.day ? a.day < b.day : a.timeOfDay < b.timeOfDay;
    });
    if (json)
        AppendJson(output.out, found);
    else if (found.empty())
        output.out +=
            dw::Arg(dw::Tr("plain::Reading", "Keine Termine vom %1 bis %2."), {Date(first), Date(last)}) +
            '\n';
    else
        AppendText(output.out, found);
    return 0;
}

int Due(const std::vector<std::string>& args, const std::string& dataFolder, TDateTime now, Output& output)
{
    bool json = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] != "--json")
            return Usage(output, dw::Arg(dw::Tr("plain::Reading", "Unbekannte Option: %1"), {args[i]}));
        json = true;
    }
    MappedFile file;
    std::vector<StoredAppointment> due;
    if (!Scan(file, dataFolder, output, [&](const StoredAppointment& a) {
            // The same arithmetic as the check pass, so the same bounds hold to the last bit.
            const TDateTime moment = a.day + a.timeOfDay;
            if (IsDue(moment, moment - a.firstLead, a.lastReminded, a.repeatInterval, a.done != 0, now))
                due.push_back(a);
        }))
        return ExitError;
    // After the appointments of termine.dat, by their moments, as the check pass reminds them.
    const auto single = static_cast<std::ptrdiff_t>(due.size());
    std::deque<std::string> texts;
    const auto dueNow = [&](const series::Series& s, std::size_t index,
                            std::vector<series::Occurrence>& out) {
        series::SeriesSet::DueIn(s, index, now, out);
    };
    if (const int status = SeriesEntries(dataFolder, output, dueNow, due, texts); status != 0)
        return status;
    std::stable_sort(due.begin() + single, due.end(),
                     [](const StoredAppointment& a, const StoredAppointment& b) {
                         return a.day + a.timeOfDay < b.day + b.timeOfDay;
                     });
    if (json)
        AppendJson(output.out, due);
    else
        AppendText(output.out, due);
    return due.empty() ? 1 : 0;
}

} // namespace

bool IsCommandLine(int argc, const char* const* argv)
{
    if (argc < 2)
        return false;
    const std::string_view first(argv[1]);
    return first.starts_with("--") || first == "-h" || !first.starts_with('-');
}

bool Serves(std::string_view option)
{
    return option == "--agenda" || option == "--due" || option == "--help" || option == "-h";
}

int Usage(Output& output, const std::string& text)
{
    output.err += text + "\n\n" + HelpText();
    return ExitError;
}

int Run(const std::vector<std::string>& args, const std::string& dataFolder, TDateTime now, Output& output)
{
    const std::string& option = args.front();
    if (option == "--agenda")
        return Agenda(args, dataFolder, now, output);
    if (option == "--due")
        return Due(args, dataFolder, now, output);
    if (args.size() > 1)
        return Usage(output, dw::Arg(dw::Tr("plain::Reading", "Unbekannte Option: %1"), {args[1]}));
    output.out += HelpText();
    return 0;
}

} // namespace dw::reading
