#include "messages/DataFileMessages.h"

#include "messages/StoreErrorText.h"

#include "platform/MessageBox.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>

namespace {

QString Shown(const QString& path)
{
    return QStringLiteral("„%1“").arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
}

QString CopyText(const QString& backupPath)
{
    return QStringLiteral("Eine Kopie der nicht lesbaren Datei wurde als %1 gesichert.")
        .arg(QFileInfo(backupPath).fileName());
}

QString HeldBackText(const QString& path, int cause)
{
    return QStringLiteral("Die Datei %1 lässt sich nicht sichern (%2). Sie wird darum nicht "
                          "überschrieben, und Änderungen werden nicht gespeichert, bis sie gesichert "
                          "werden kann.")
        .arg(Shown(path), DataFileMessages::CauseText(cause));
}

} // namespace

QString DataFileMessages::CauseText(int systemError)
{
    switch (systemError) {
    case EACCES:
    case EPERM:
        return QStringLiteral("keine Berechtigung");
    case ENOENT:
        return QStringLiteral("nicht vorhanden");
    case EISDIR:
        return QStringLiteral("ist ein Ordner");
    case ENOSPC:
        return QStringLiteral("kein Platz mehr auf dem Datenträger");
    case EROFS:
        return QStringLiteral("Datenträger ist schreibgeschützt");
    case EIO:
        return QStringLiteral("Ein-/Ausgabefehler");
    case 0:
        return QStringLiteral("Ursache unbekannt");
    default:
        return QStringLiteral("Systemfehler %1").arg(systemError);
    }
}

void DataFileMessages::Show(const QString& text, bool applicationCaption)
{
    if (m_unattended) {
        std::fprintf(stderr, "Datumswecker: %s\n", qUtf8Printable(text));
        return;
    }
    try {
        dw::MessageBoxA(text, applicationCaption ? QString::fromLatin1(dw::ApplicationTitle) : QString(),
                        dw::MB_OK | dw::MB_ICONERROR);
    } catch (...) {
        // A message box that throws must not take the data file's caller down.
    }
}

void DataFileMessages::ShowSaveMessage(const QString& text, bool applicationCaption)
{
    m_saveMessageOpen = true;
    Show(text, applicationCaption);
    m_saveMessageOpen = false;
}

void DataFileMessages::LoadFailed(const LoadFailure& failure)
{
    if (failure.openError != 0) {
        // The described message first; then what happened, to which file, and what follows.
        QString text =
            QStringLiteral("Fehler: Konnte Datei nicht öffnen!\n\n%1 kann nicht gelesen werden (%2).")
                .arg(Shown(failure.path), CauseText(failure.openError));
        if (!failure.backupPath.isEmpty()) {
            text += QStringLiteral(" ") + CopyText(failure.backupPath);
        } else {
            text += QStringLiteral(" Sie wird nicht überschrieben, und Änderungen werden nicht gespeichert, "
                                   "solange sie nicht gelesen werden kann.");
            m_heldBackTold = failure.copyError;
        }
        Show(text);
        return;
    }
    // The box shows the reader's own message; standard error speaks German like the command line.
    if (!failure.readError.isEmpty())
        Show(m_unattended ? QStringLiteral("%1 ist beschädigt: %2.")
                                .arg(Shown(failure.path), StoreErrorText(failure.readError))
                          : dw::ErrorBoxText(failure.readError),
             true);
    if (!failure.backupPath.isEmpty()) {
        Show(CopyText(failure.backupPath));
        return;
    }
    m_heldBackTold = failure.copyError;
    Show(HeldBackText(failure.path, failure.copyError));
}

void DataFileMessages::SaveFailed(const SaveFailure& failure)
{
    switch (failure.problem) {
    case SaveProblem::CannotCreate:
        ShowSaveMessage(QStringLiteral("Fehler: Konnte Datei nicht erzeugen!"));
        break;
    case SaveProblem::WriteError:
        ShowSaveMessage(dw::ErrorBoxText(failure.errorText), true);
        break;
    case SaveProblem::HeldBack:
        // Told once while the cause lasts; the save timer would repeat it every second.
        if (failure.systemError == m_heldBackTold && !m_unattended)
            break;
        m_heldBackTold = failure.systemError;
        ShowSaveMessage(HeldBackText(failure.path, failure.systemError));
        break;
    }
}

void DataFileMessages::CopyKept(const QString& backupPath)
{
    m_heldBackTold = -1;
    ShowSaveMessage(CopyText(backupPath));
}
