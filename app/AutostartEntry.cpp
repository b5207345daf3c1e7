#include "app/AutostartEntry.h"

#include "platform/ProgramFolder.h"
#include "platform/ProgramNames.h"

#include <QDir>

#include <algorithm>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// Characters after which a launcher would split or expand an Exec argument unless it is quoted.
const QString Reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");

// Undoes the escapes of a string value (\s \n \t \r \\).
QString UnescapeValue(const QString& value)
{
    QString out;
    for (int i = 0; i < value.size(); ++i) {
        if (value[i] != QLatin1Char('\\') || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const QChar next = value[++i];
        switch (next.unicode()) {
        case 's': out += QLatin1Char(' '); break;
        case 'n': out += QLatin1Char('\n'); break;
        case 't': out += QLatin1Char('\t'); break;
        case 'r': out += QLatin1Char('\r'); break;
        default: out += next; break;
        }
    }
    return out;
}

} // namespace

AutostartEntry::AutostartEntry(QString programPath, QString autostartFolder)
    : m_programPath(std::move(programPath)), m_folder(std::move(autostartFolder))
{}

AutostartEntry AutostartEntry::ForThisProgram()
{
    return {dw::ModuleFileName(),
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/autostart")};
}

QString AutostartEntry::filePath() const
{
    return m_folder + QLatin1Char('/') + QLatin1String(dw::ProgramId) + QStringLiteral(".desktop");
}

bool AutostartEntry::isOn() const
{
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    bool inEntry = false;
    bool startsUs = false;
    bool hidden = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QStringLiteral("[Desktop Entry]");
            continue;
        }
        // Blanks around the equals sign do not count.
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inEntry || equals < 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (key == QStringLiteral("Exec"))
            startsUs = ExecProgram(UnescapeValue(value)) == m_programPath;
        else if (key == QStringLiteral("Hidden"))
            hidden = value == QStringLiteral("true");
    }
    return startsUs && !hidden;
}

QString AutostartEntry::ExecValue(const QString& programPath)
{
    QString argument = programPath;
    if (std::any_of(programPath.begin(), programPath.end(), [](QChar c) { return Reserved.contains(c); })) {
        argument.clear();
        for (QChar c : programPath) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
                argument += QLatin1Char('\\');
            argument += c;
        }
        argument = QLatin1Char('"') + argument + QLatin1Char('"');
    }
    argument.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return argument;
}

QString AutostartEntry::ExecProgram(const QString& execValue)
{
    const QString value = execValue.trimmed();
    QString program;
    if (value.startsWith(QLatin1Char('"'))) {
        for (int i = 1; i < value.size() && value[i] != QLatin1Char('"'); ++i) {
            if (value[i] == QLatin1Char('\\') && i + 1 < value.size())
                ++i;
            program += value[i];
        }
    } else {
        program = value.section(QLatin1Char(' '), 0, 0);
    }
    return program.replace(QStringLiteral("%%"), QStringLiteral("%"));
}

QByteArray AutostartEntry::contents() const
{
    // The value itself is a string, so its backslashes are escaped once more.
    QString exec = ExecValue(m_programPath);
    exec.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Datumswecker\n"
                          "Comment=Appointment planner with reminders\n"
                          "Comment[de]=Terminplaner mit Erinnerungen\n"
                          "Exec=%1\n"
                          "Icon=%2\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(exec, QLatin1String(dw::ProgramId))
        .toUtf8();
}

bool AutostartEntry::write(QString* error) const
{
    if (!QDir().mkpath(m_folder) || !QFileInfo(m_folder).isDir()) {
        *error = tr("Der Ordner %1 ließ sich nicht anlegen.").arg(QDir::toNativeSeparators(m_folder));
        return false;
    }
    QSaveFile file(filePath());
    const QByteArray bytes = contents();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error = tr("Die Datei %1 ließ sich nicht schreiben (%2).")
                     .arg(QDir::toNativeSeparators(filePath()), file.errorString());
        return false;
    }
    return true;
}

bool AutostartEntry::remove(QString* error) const
{
    QFile file(filePath());
    if (file.exists() && !file.remove()) {
        *error = tr("Die Datei %1 ließ sich nicht löschen (%2).")
                     .arg(QDir::toNativeSeparators(filePath()), file.errorString());
        return false;
    }
    return true;
}
