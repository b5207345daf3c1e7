#pragma once

// What both command lines say about a data file they cannot read: the light one
// on the standard library alone, the Qt one through translate() in the context
// of these texts.
#include "plain/Translate.h"

namespace dw::messages {

inline constexpr const char* CannotRead = TrNoop("StoreAccess", "%1 kann nicht gelesen werden.");
inline constexpr const char* Damaged =
    TrNoop("StoreAccess", "%1 ist beschädigt (%2). Starten Sie das Programm: es sichert die Datei.");
inline constexpr const char* DamagedAtLine = TrNoop(
    "StoreAccess", "%1 ist beschädigt (Zeile %2: %3). Starten Sie das Programm: es sichert die Datei.");

} // namespace dw::messages
