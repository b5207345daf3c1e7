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
    return DataFileMessages::tr("„%1“").arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
}

QString CopyText(const QString& backupPath)
{
    return DataFileMessages::tr("Eine Kopie der nicht lesbaren Datei wurde als %1 gesichert.")
        .arg(QFileInfo(backupPath).fileName());
}

QString HeldBackText(const QString& path, int cause)
{
    return DataFileMessages::tr("Die Datei %1 lässt sich nicht sichern (%2). Sie wird darum nicht "
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
        return tr("keine Berechtigung");
    case ENOENT:
        return tr("nicht vorhanden");
    case EISDIR:
        return tr("ist ein Ordner");
    case ENOSPC:
        return tr("kein Platz mehr auf dem Datenträger");
    case EROFS:
        return tr("Datenträger ist schreibgeschützt");
    case EIO:
        return tr("Ein-/Ausgabefehler");
    case 0:
        return tr("Ursache unbekannt");
    default:
        return tr("Systemfehler %1").arg(systemError);
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
        QString text = tr("Fehler: Konnte Datei nicht öffnen!\n\n%1 kann nicht gelesen werden (%2).")
                           .arg(Shown(failure.path), CauseText(failure.openError));
        if (!failure.backupPath.isEmpty()) {
            text += QStringLiteral(" ") + CopyText(failure.backupPath);
        } else {
            text += tr(" Sie wird nicht überschrieben, und Änderungen werden nicht gespeichert, "
                       "solange sie nicht gelesen werden kann.");
            m_heldBackTold = failure.copyError;
        }
        Show(text);
        return;
    }
    // The box shows the reader's own message; standard error speaks the command line's language.
    if (!failure.readError.isEmpty())
        Show(m_unattended
                 ? tr("%1 ist beschädigt: %2.").arg(Shown(failure.path), StoreErrorText(failure.readError))
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
        ShowSaveMessage(tr("Fehler: Konnte Datei nicht erzeugen!"));
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
