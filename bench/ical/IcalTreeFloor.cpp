// The floor for the import: libical alone reads the whole file, parses it into
// its tree and walks the events (start and summary of each), as the import
// did before it read one event at a time.
//
//   ical_tree_floor FILE.ics     prints the number of events

#include <libical/ical.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    std::FILE* file = std::fopen(argv[1], "rb");
    if (!file)
        return 2;
    std::string bytes;
    char chunk[1 << 16];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
        bytes.append(chunk, n);
    std::fclose(file);
    icalcomponent* calendar = icalparser_parse_string(bytes.c_str());
    if (!calendar)
        return 2;
    long events = 0;
    long seconds = 0;
    for (icalcomponent* e = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); e;
         e = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
        const icaltimetype start = icalcomponent_get_dtstart(e);
        const char* summary = icalcomponent_get_summary(e);
        seconds += start.second + (summary ? summary[0] : 0);
        ++events;
    }
    icalcomponent_free(calendar);
    std::printf("%ld %ld\n", events, seconds);
    return 0;
}
