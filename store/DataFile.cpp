#include "store/DataFile.h"
#include "store/TerminRecord.h"

#include "store/AtomicFile.h"
#include "store/ByteStream.h"
#include "store/DataFileBackup.h"
#include "store/TerminFormat.h"

#include "platform/Exceptions.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <new>

QString DataFilePath(const QString& dataFolder)
{
    return dataFolder + QLatin1String(TerminFileName);
}

namespace {

// Large enough that a usual file goes to the disk in one write.
constexpr std::size_t SaveChunk = 1024 * 1024;
constexpr std::size_t LoadChunk = 256 * 1024;

} // namespace

TerminsFileRead ReadTerminsFile(const QString& path, CalendarGrid& grid)
{
    using Outcome = TerminsFileRead::Outcome;
    TerminsFileRead result;
    if (!QFileInfo::exists(path))
        return result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        result.outcome = Outcome::CannotOpen;
        result.openError = ReadError(path);
        if (result.openError == 0)
            result.openError = EACCES;
        return result;
    }
    try {
        ByteStream in(&file, LoadChunk);
        const TerminsRead read = ReadTermins(in, grid);
        result.outcome = read.complete ? Outcome::Complete : Outcome::OutOfMemory;
        result.settingsRead = read.settingsRead;
        result.settings = read.settings;
    } catch (const std::exception& error) {
        // The reader has left every day with a valid container.
        result.outcome = Outcome::Damaged;
        result.readError = QString::fromUtf8(error.what());
    }
    return result;
}

namespace {

// Takes the bytes of a save and compares them with a file as they come, so
// that nothing but the file itself has to be kept to know what was saved.
class ComparingDevice : public QIODevice
{
public:
    explicit ComparingDevice(const QString& path) : m_file(path)
    {
        m_same = m_file.open(QIODevice::ReadOnly);
        open(QIODevice::WriteOnly);
    }
    // Whether the bytes written so far are the whole file.
    bool sameAsFile() { return m_same && m_file.read(1).isEmpty() && m_file.error() == QFileDevice::NoError; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        if (m_same) {
            m_buffer.resize(size);
            m_same = m_file.read(m_buffer.data(), size) == size &&
                     std::memcmp(m_buffer.constData(), data, size) == 0;
        }
        return size;
    }

private:
    QFile m_file;
    QByteArray m_buffer;
    bool m_same = false;
};

} // namespace

DataFile::DataFile(QString path, IDataFileReport* report) : m_path(std::move(path)), m_report(report) {}

void DataFile::RemoveLeftovers() const
{
    AtomicFile::RemoveLeftovers(QFileInfo(m_path).absoluteFilePath());
}

bool DataFile::SaveTermins(const CalendarGrid& grid, const StoredSettings& settings)
{
    try {
        if (!m_unreadable.MayReplace(m_path, m_report))
            return false;
        if (AlreadyOnDisk(grid, settings))
            return true;
        return WriteFile(grid, settings);
    } catch (const std::exception& error) {
        SaveFailed(IDataFileReport::SaveProblem::WriteError, QString::fromUtf8(error.what()));
    }
    return false;
}

bool DataFile::AlreadyOnDisk(const CalendarGrid& grid, const StoredSettings& settings) const
{
    if (!m_lastSave.valid || FileStamp::Of(m_path) != m_lastSave)
        return false;
    ComparingDevice disk(m_path);
    ByteStream out(&disk, SaveChunk);
    WriteTermins(out, grid, settings);
    return disk.sameAsFile();
}

bool DataFile::WriteFile(const CalendarGrid& grid, const StoredSettings& settings)
{
    AtomicFile file(m_path);
    if (!file.open()) {
        SaveFailed(IDataFileReport::SaveProblem::CannotCreate);
        return false;
    }
    try {
        std::unique_ptr<QIODevice> filter = m_writeFilter ? m_writeFilter(file.device()) : nullptr;
        ByteStream out(filter ? filter.get() : file.device(), SaveChunk);
        WriteTermins(out, grid, settings);
        if (!file.commit()) {
            SaveFailed(IDataFileReport::SaveProblem::CannotCreate);
            return false;
        }
        m_lastSave = file.stamp();
    } catch (const dw::EInOutError& error) {
        file.cancel();
        SaveFailed(IDataFileReport::SaveProblem::WriteError, QString::fromUtf8(error.what()));
        return false;
    }
    return true;
}

void DataFile::SaveFailed(IDataFileReport::SaveProblem problem, const QString& errorText, int systemError)
{
    if (m_report)
        m_report->SaveFailed({problem, m_path, errorText, systemError});
}

DataFile::LoadResult DataFile::OpenTermins(CalendarGrid& grid)
{
    LoadResult result;
    const TerminsFileRead read = ReadTerminsFile(m_path, grid);
    if (read.outcome == TerminsFileRead::Outcome::Missing)
        return result;
    result.fileExisted = true;
    result.complete = read.outcome == TerminsFileRead::Outcome::Complete;
    result.settingsRead = read.settingsRead;
    result.settings = read.settings;
    if (result.complete)
        return result;
    IDataFileReport::LoadFailure failure;
    failure.path = m_path;
    failure.openError = read.openError;
    failure.readError = read.readError;
    // The copy comes first, so that it exists whatever happens while the failure is told.
    m_unreadable.KeepUnreadable(failure);
    result.backupPath = failure.backupPath;
    if (m_report)
        m_report->LoadFailed(failure);
    return result;
}
