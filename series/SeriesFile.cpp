#include "series/SeriesFile.h"

#include "series/SeriesReader.h"
#include "series/SeriesWriter.h"
#include "store/AtomicFile.h"
#include "store/ByteStream.h"
#include "store/DataFileBackup.h"

#include "platform/Exceptions.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <new>

QString SeriesFilePath(const QString& dataFolder)
{
    return dataFolder + QLatin1String(dw::series::SeriesFileName);
}

SeriesFile::SeriesFile(QString path, IDataFileReport* report) : m_path(std::move(path)), m_report(report) {}

void SeriesFile::RemoveLeftovers() const
{
    AtomicFile::RemoveLeftovers(QFileInfo(m_path).absoluteFilePath());
}

SeriesFile::LoadResult SeriesFile::Load(dw::series::SeriesSet& set)
{
    LoadResult result;
    set = {};
    m_changed = false;
    const QFileInfo info(m_path);
    if (!info.exists() && !info.isSymLink())
        return result;
    result.fileExisted = true;
    IDataFileReport::LoadFailure failure;
    failure.path = m_path;
    QFile file(m_path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly)) {
        bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            failure.openError = ReadError(m_path) != 0 ? ReadError(m_path) : EIO;
    } else {
        failure.openError = ReadError(m_path) != 0 ? ReadError(m_path) : EACCES;
    }
    if (failure.openError == 0) {
        dw::series::ReadOutcome read =
            dw::series::ReadSeries(std::string_view(bytes.constData(), bytes.size()));
        set = std::move(read.set);
        if (read.complete)
            return result;
        failure.readError = QCoreApplication::translate("SeriesFile", "%1, Zeile %2: %3")
                                .arg(info.fileName())
                                .arg(read.line)
                                .arg(QString::fromStdString(read.problem));
    }
    result.complete = false;
    // The copy comes first, so that it exists whatever happens while the failure is told.
    m_unreadable.KeepUnreadable(failure);
    result.backupPath = failure.backupPath;
    if (m_report)
        m_report->LoadFailed(failure);
    return result;
}

bool SeriesFile::Save(const dw::series::SeriesSet& set)
{
    if (!m_changed && m_lastSave.valid && FileStamp::Of(m_path) == m_lastSave)
        return true;
    // Nothing was ever there and nothing is: no empty file appears beside termine.dat.
    if (!m_changed && !m_lastSave.valid && set.size() == 0)
        return true;
    try {
        if (!m_unreadable.MayReplace(m_path, m_report))
            return false;
        const std::string bytes = dw::series::WriteSeriesFile(set);
        AtomicFile file(m_path);
        if (!file.open()) {
            SaveFailed(IDataFileReport::SaveProblem::CannotCreate);
            return false;
        }
        try {
            std::unique_ptr<QIODevice> filter = m_writeFilter ? m_writeFilter(file.device()) : nullptr;
            QIODevice* out = filter ? filter.get() : file.device();
            const auto size = static_cast<qint64>(bytes.size());
            // A short write on a full disk sets no error of its own.
            if (bytes.empty() || out->write(bytes.data(), size) != size)
                throw dw::EInOutError(ByteStream::DiskFull, ByteStream::MessageFor(ByteStream::DiskFull));
            if (!file.commit()) {
                SaveFailed(IDataFileReport::SaveProblem::CannotCreate);
                return false;
            }
        } catch (const dw::EInOutError& error) {
            file.cancel();
            SaveFailed(IDataFileReport::SaveProblem::WriteError, QString::fromUtf8(error.what()));
            return false;
        }
        m_lastSave = file.stamp();
        m_changed = false;
        return true;
    } catch (const std::exception& error) {
        SaveFailed(IDataFileReport::SaveProblem::WriteError, QString::fromUtf8(error.what()));
    }
    return false;
}

void SeriesFile::SaveFailed(IDataFileReport::SaveProblem problem, const QString& errorText, int systemError)
{
    if (m_report)
        m_report->SaveFailed({problem, m_path, errorText, systemError});
}
