#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

// The freedesktop autostart entry ($XDG_CONFIG_HOME/autostart/datumswecker.desktop)
// that starts one program file at login. It is the only record of the setting:
// nothing about it is kept in termine.dat.
class AutostartEntry
{
    Q_DECLARE_TR_FUNCTIONS(AutostartEntry)

public:
    AutostartEntry(QString programPath, QString autostartFolder);
    // The entry for the running program in the user's autostart folder.
    static AutostartEntry ForThisProgram();

    QString filePath() const;
    // The entry exists, is not hidden and starts this program file.
    bool isOn() const;
    // Both return false with the reason in *error.
    bool write(QString* error) const;
    bool remove(QString* error) const;

    QByteArray contents() const;
    // The program an Exec value starts, its quoting and escapes undone.
    static QString ExecProgram(const QString& execValue);
    // An Exec value that starts exactly this program file.
    static QString ExecValue(const QString& programPath);

private:
    QString m_programPath;
    QString m_folder;
};
