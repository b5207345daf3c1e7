#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace dw {

// Appointment texts are kept and stored as Windows-1252 bytes, as the Windows
// program keeps them; the widgets edit Unicode. Characters that code page cannot
// hold become '?'. Bytes the code page leaves undefined map to the C1 controls of
// the same number, so every byte survives a round trip.
QByteArray ToAnsi(const QString& text);
QString FromAnsi(const QByteArray& bytes);
QString FromAnsi(const char* zeroTerminated);

} // namespace dw
