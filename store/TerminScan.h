#pragma once

// Reads termine.dat in place without building the calendar in memory, on the
// standard library alone, so that a reader without Qt walks the file exactly as
// the program's own reading options do.

#include <cstdint>
#include <memory>
#include <string_view>
#include <type_traits>

// One appointment as termine.dat holds it, read in place.
struct StoredAppointment
{
    std::int32_t day = 0; // date value of its day
    double timeOfDay = 0;
    double lastReminded = 0;
    double firstLead = 0;
    double repeatInterval = 0;
    std::uint8_t done = 0;
    std::string_view name;        // Windows-1252, up to its first zero byte, as the loader keeps it
    std::string_view description; // the same
};

using VisitStored = void (*)(void* context, const StoredAppointment& appointment);

// Hands every appointment of a whole file's bytes to visit, in grid order and
// within a day in the file's order. It has the loader's tolerance (a count of
// 0 or below is an empty day, a text ends at its first zero byte, bytes after
// the settings are ignored) and its strictness (a file that ends early or a
// text length that is negative or does not fit is damaged). False when the
// file is damaged; the appointments before the damage have been visited.
bool ScanTermins(std::string_view file, VisitStored visit, void* context);

template <typename Visit> bool ScanTermins(std::string_view file, Visit&& visit)
{
    using Target = std::remove_reference_t<Visit>;
    return ScanTermins(
        file, [](void* target, const StoredAppointment& a) { (*static_cast<Target*>(target))(a); },
        const_cast<void*>(static_cast<const void*>(std::addressof(visit))));
}
