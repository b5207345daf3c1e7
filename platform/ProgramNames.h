#pragma once

// The names the program is known by outside itself: the executable, the desktop
// entry and its icon, the user's data folder and the autostart entry.
namespace dw {

// Lower-case program name: executable, desktop file, icon, data folder.
inline constexpr const char* ProgramId = "datumswecker";
inline constexpr const char* OrganizationName = "Norvex";
inline constexpr const char* OrganizationDomain = "norvex.example";

} // namespace dw
