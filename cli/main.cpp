// The command line's Qt side: --export and --import, which need QtCore and
// libical but never a window. The datumswecker command starts it.
#include "cli/CommandLine.h"
#include "platform/Clock.h"

int main(int argc, char** argv)
{
    dw::UseTestClockFromEnvironment();
    return dw::cli::RunCommandLine(argc, argv);
}
