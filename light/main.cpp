// The datumswecker command. The reading options are served here, on the
// standard library alone, because status bars and cron jobs call them often and
// loading Qt would cost more than the query; everything else replaces this
// process with one of the Qt programs, so signals and the exit status reach it.
#include "light/Reading.h"
#include "plain/DataFolderRule.h"
#include "plain/LocalTime.h"
#include "plain/Translate.h"

#include <cerrno>
#include <climits>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#ifndef DW_INSTALL_LIBEXECDIR
#define DW_INSTALL_LIBEXECDIR "/usr/local/libexec/datumswecker"
#endif
#ifndef DW_PACKAGE_LIBEXECDIR
#define DW_PACKAGE_LIBEXECDIR "/usr/libexec/datumswecker"
#endif

namespace {

std::string SelfPath()
{
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return n > 0 ? std::string(path, static_cast<std::size_t>(n)) : std::string();
}

// The status, or HandOver when the Qt command line must answer.
int Serve(int argc, char** argv, const std::string& self)
{
    // Only the time category follows the user: the regional date and time formats.
    std::setlocale(LC_TIME, "");
    const dw::TDateTime offset = dw::TestClockOffset().value_or(0.0);
    dw::reading::Output output;
    const int status = dw::reading::Run(std::vector<std::string>(argv + 1, argv + argc),
                                        dw::DataFolderFor(self), dw::LocalNow() + offset, output);
    if (status == dw::reading::HandOver)
        return status;
    std::fwrite(output.out.data(), 1, output.out.size(), stdout);
    std::fflush(stdout);
    std::fwrite(output.err.data(), 1, output.err.size(), stderr);
    return status;
}

// Beside this program in a build folder or portable copy, else where the package put it.
std::string InternalProgram(const std::string& self, const char* name)
{
    for (const std::string& folder : {dw::FolderOfPath(self), std::string(DW_INSTALL_LIBEXECDIR "/"),
                                      std::string(DW_PACKAGE_LIBEXECDIR "/")}) {
        const std::string path = folder + name;
        if (::access(path.c_str(), X_OK) == 0)
            return path;
    }
    return dw::FolderOfPath(self) + name;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string self = SelfPath();
    const bool commandLine = dw::reading::IsCommandLine(argc, argv);
    // A series in a zone or with a rule only libical knows is answered by the Qt command line.
    if (commandLine && dw::reading::Serves(argv[1]))
        if (const int status = Serve(argc, argv, self); status != dw::reading::HandOver)
            return status;
    const std::string program =
        InternalProgram(self, commandLine ? "datumswecker-cli" : "datumswecker-window");
    // The data folder and the autostart entry follow the command the user started.
    ::setenv("DATUMSWECKER_PROGRAM", self.c_str(), 1);
    ::execv(program.c_str(), argv);
    const std::string why = std::strerror(errno);
    const std::string text =
        dw::Arg(dw::Tr("plain::Launcher", "Datumswecker: %1 lässt sich nicht starten (%2)."), {program, why});
    std::fprintf(stderr, "%s\n", text.c_str());
    return 2;
}
