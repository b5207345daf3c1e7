#pragma once

#include "ical/Budget.h"

#include <QString>
#include <QStringList>

namespace dw::cli {

// Where a run of the command line reads and writes: the data folder and the two output streams.
struct Context
{
    QString dataFolder; // ends in the separator
    QString out;
    QString err;
    // How long an import waits for the running copy's answer.
    int answerTimeoutMs = 120000;
    // What an import here may cost.
    dw::ical::Bounds importBounds;
};

// Runs the options (without the program name) and returns the exit status:
// 0 done (for --due: something is due), 1 nothing due, 2 error or unknown option.
int Run(const QStringList& arguments, Context& context);

QString HelpText();

// Whether the arguments ask for the command line. Qt's own single-dash options
// (-platform, -display, -session when the session manager restarts the
// program) still start the window.
bool IsCommandLine(int argc, const char* const* argv);

// The program started with options: a core application only, no window, no
// display; prints to standard output and standard error and returns the exit status.
int RunCommandLine(int argc, char** argv);

} // namespace dw::cli
