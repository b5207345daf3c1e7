#pragma once

#include "plain/DateValue.h"

#include <string>
#include <string_view>
#include <vector>

// The reading options --agenda, --due and --help on the standard library
// alone: the light datumswecker program serves them, and the Qt command line
// hands them here, so there is one implementation of their output.
namespace dw::reading {

struct Output
{
    std::string out; // UTF-8
    std::string err;
};

// Whether the option is one of those served here.
bool Serves(std::string_view option);

// Runs a served option with its arguments (args[0] is the option) on the
// termine.dat and the series file in dataFolder (ending in '/') at moment now,
// and returns the exit status: 0 done (for --due: something is due), 1 nothing
// due, 2 error; or HandOver when a series needs libical (a zone or a rule only
// it knows) and none is installed: a program that has it must answer.
inline constexpr int HandOver = -1;
int Run(const std::vector<std::string>& args, const std::string& dataFolder, TDateTime now, Output& output);

std::string HelpText();
// A usage error: the text, a blank line and the help on standard error; status 2.
int Usage(Output& output, const std::string& text);

} // namespace dw::reading

namespace dw::reading {

// Whether the arguments ask for the command line. Qt's own single-dash options
// (-platform, -display, -session when the session manager restarts the
// program) still start the window.
bool IsCommandLine(int argc, const char* const* argv);

} // namespace dw::reading
