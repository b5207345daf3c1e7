#include "plain/DataFolderRule.h"

#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#ifndef DW_INSTALL_BINDIR
#define DW_INSTALL_BINDIR "/usr/local/bin"
#endif
#ifndef DW_PACKAGE_BINDIR
#define DW_PACKAGE_BINDIR "/usr/bin"
#endif

namespace dw {

namespace {

std::string WithSeparator(std::string folder)
{
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

std::string Canonical(const std::string& folder)
{
    char resolved[PATH_MAX];
    if (::realpath(folder.c_str(), resolved))
        return resolved;
    // As a lexical clean-up would leave it: without a trailing separator.
    std::string clean = folder;
    while (clean.size() > 1 && clean.back() == '/')
        clean.pop_back();
    return clean;
}

void MakePath(const std::string& folder)
{
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1))
        ::mkdir(folder.substr(0, slash).c_str(), 0777);
    ::mkdir(folder.c_str(), 0777);
}

} // namespace

std::string FolderOfPath(const std::string& programPath)
{
    const std::size_t slash = programPath.rfind('/');
    return WithSeparator(slash == std::string::npos ? std::string() : programPath.substr(0, slash + 1));
}

std::string InstalledBinFolder()
{
    return WithSeparator(DW_INSTALL_BINDIR);
}

std::string PackageBinFolder()
{
    return WithSeparator(DW_PACKAGE_BINDIR);
}

bool RunsInstalledFrom(const std::string& programFolder)
{
    // The prefix's and the package's program folders count as installed even
    // where they are writable (root), so that data never lands beside system files.
    const std::string folder = Canonical(programFolder);
    if (folder == Canonical(InstalledBinFolder()) || folder == Canonical(PackageBinFolder()))
        return true;
    return ::access(programFolder.c_str(), W_OK) != 0;
}

std::string UserDataFolderPath()
{
    // Not AppDataLocation: the data belongs in ~/.local/share/<program>/, without an organisation level.
    const char* xdg = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home ? home : "") + "/.local/share";
    }
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    return base + "/datumswecker/";
}

std::string DataFolderFor(const std::string& programPath)
{
    const std::string programFolder = FolderOfPath(programPath);
    if (!RunsInstalledFrom(programFolder))
        return programFolder;
    const std::string folder = UserDataFolderPath();
    // A failure here shows later, as the failure to save into it.
    MakePath(folder);
    return folder;
}

} // namespace dw
