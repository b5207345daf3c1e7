#pragma once

#include <QString>

#include <exception>

// Why termine.dat could not be read, in German, for the command line and the
// standard error stream. (A box in the window shows the reader's own message,
// as the program always has.)
QString StoreErrorText(const std::exception& failure);
// The same from the reader's message as the data file reports it.
QString StoreErrorText(const QString& readerMessage);
