#include "store/DataFile.h"

#include "store/AtomicFile.h"
#include "store/ByteStream.h"
#include "store/DataFileBackup.h"
#include "store/TerminFormat.h"

#include "platform/Exceptions.h"
#include "platform/MessageBox.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace {

// Large enough that a usual file goes to the disk in one write.
constexpr std::size_t SaveChunk = 1024 * 1024;
constexpr std::size_t LoadChunk = 256 * 1024;

// Whether a message of a failed save is on screen. Its modal loop goes on
// dispatching the save timer, and those ticks must not stack up more boxes.
bool g_saveMessageOpen = false;

// Files already rid of a killed save's leftovers in this run.
QSet<QString>& CleanedPaths()
{
    static QSet<QString> paths;
    return paths;
}

// Files that could not be read nor copied aside: a save must not replace them.
QSet<QString>& GuardedPaths()
{
    static QSet<QString> paths;
    return paths;
}

QString AbsolutePath(const QString& path)
{
    return QFileInfo(path).absoluteFilePath();
}

void ShowError(const QString& text)
{
    dw::MessageBoxA(text, QString(), dw::MB_OK | dw::MB_ICONERROR);
}

void TellBackup(const QString& backupPath)
{
    ShowError(QStringLiteral("Eine Kopie der nicht lesbaren Datei wurde als %1 gesichert.")
                  .arg(QFileInfo(backupPath).fileName()));
}

// Shows a message of the save while holding further saves back.
template <typename Show> void ShowSaveMessage(Show&& show)
{
    g_saveMessageOpen = true;
    try {
        show();
    } catch (...) {
        g_saveMessageOpen = false;
        throw;
    }
    g_saveMessageOpen = false;
}

} // namespace

DataFile::DataFile(QString path) : m_path(std::move(path))
{
    const QString absolute = AbsolutePath(m_path);
    if (CleanedPaths().contains(absolute))
        return;
    CleanedPaths().insert(absolute);
    AtomicFile::RemoveLeftovers(absolute);
}

bool DataFile::SaveTermins(const CalendarGrid& grid, const StoredSettings& settings)
{
    if (g_saveMessageOpen)
        return false;
    try {
        try {
            if (!MayReplace()) {
                ShowSaveMessage([] { ShowError(QString::fromUtf8(CannotCreateText)); });
                return false;
            }
            return WriteFile(grid, settings);
        } catch (const std::exception& error) {
            ShowSaveMessage([&error] { dw::ShowException(error); });
        }
    } catch (...) {
        // A message box that throws must not take the caller down.
    }
    return false;
}

bool DataFile::WriteFile(const CalendarGrid& grid, const StoredSettings& settings)
{
    AtomicFile file(m_path);
    if (!file.open()) {
        ShowSaveMessage([] { ShowError(QString::fromUtf8(CannotCreateText)); });
        return false;
    }
    try {
        std::unique_ptr<QIODevice> filter = m_writeFilter ? m_writeFilter(file.device()) : nullptr;
        ByteStream out(filter ? filter.get() : file.device(), SaveChunk);
        WriteTermins(out, grid, settings);
        if (!file.commit()) {
            ShowSaveMessage([] { ShowError(QString::fromUtf8(CannotCreateText)); });
            return false;
        }
    } catch (const dw::EInOutError& error) {
        file.cancel();
        ShowSaveMessage([&error] { dw::ShowException(error); });
        return false;
    }
    return true;
}

bool DataFile::MayReplace()
{
    const QString absolute = AbsolutePath(m_path);
    if (!GuardedPaths().contains(absolute))
        return true;
    const QFileInfo info(absolute);
    if (!info.exists() && !info.isSymLink()) {
        GuardedPaths().remove(absolute);
        return true;
    }
    // It may have become readable since the start.
    const QString backup = CopyToFreeBackupName(absolute);
    if (backup.isEmpty())
        return false;
    GuardedPaths().remove(absolute);
    ShowSaveMessage([&backup] { TellBackup(backup); });
    return true;
}

DataFile::LoadResult DataFile::OpenTermins(CalendarGrid& grid)
{
    LoadResult result;
    try {
        if (!QFileInfo::exists(m_path))
            return result;
        result.fileExisted = true;
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
            ShowError(QString::fromUtf8(CannotOpenText));
            KeepUnreadable(result);
            return result;
        }
        try {
            ByteStream in(&file, LoadChunk);
            const TerminsRead read = ReadTermins(in, grid);
            result.complete = read.complete;
            result.settingsRead = read.settingsRead;
            result.settings = read.settings;
        } catch (const std::exception& error) {
            // The reader has left every day with a valid container.
            dw::ShowException(error);
        }
        if (!result.complete)
            KeepUnreadable(result);
    } catch (...) {
        // A message box that throws must not take the caller down.
    }
    return result;
}

void DataFile::KeepUnreadable(LoadResult& result)
{
    result.backupPath = CopyToFreeBackupName(m_path);
    if (!result.backupPath.isEmpty()) {
        TellBackup(result.backupPath);
        return;
    }
    GuardedPaths().insert(AbsolutePath(m_path));
    ShowError(QStringLiteral(
        "Die nicht lesbare Datei konnte nicht gesichert werden und wird nicht überschrieben."));
}
