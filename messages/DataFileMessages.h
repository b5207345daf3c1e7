#pragma once

#include "store/DataFileReport.h"

#include <QCoreApplication>

// What the user is told about termine.dat: the data file reports, this class
// words it for the person and shows it. Two rules live here: a failed save's message
// is not stacked up by the save timer's ticks while it is open, and a file that
// is held back because it cannot be read is told about once while the cause lasts.
//
// Unattended (the program ends on a signal or runs from the command line: no one
// may be there to answer a box), messages go to standard error instead.
class DataFileMessages : public IDataFileReport
{
    Q_DECLARE_TR_FUNCTIONS(DataFileMessages)

public:
    void LoadFailed(const LoadFailure& failure) override;
    void SaveFailed(const SaveFailure& failure) override;
    void CopyKept(const QString& backupPath) override;

    // While the message of a failed save is open, further saves are held back.
    bool SaveMessageOpen() const { return m_saveMessageOpen; }

    void setUnattended(bool unattended) { m_unattended = unattended; }
    bool unattended() const { return m_unattended; }

    // The system's error number in words, e.g. "keine Berechtigung".
    static QString CauseText(int systemError);

private:
    void Show(const QString& text, bool applicationCaption = false);
    void ShowSaveMessage(const QString& text, bool applicationCaption = false);

    bool m_saveMessageOpen = false;
    bool m_unattended = false;
    // The cause already told of a file that is held back; -1 when none is.
    int m_heldBackTold = -1;
};
