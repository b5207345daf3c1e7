#include "app/AutostartBox.h"
#include "app/AutostartEntry.h"
#include "TestSupport.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString Program = QStringLiteral("/opt/Datumswecker/datumswecker");

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// desktop-file-validate's verdict, empty when the entry is valid.
QString ValidatorComplaints(const QString& path)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (tool.isEmpty())
        return QStringLiteral("desktop-file-validate is missing (package desktop-file-utils)");
    QProcess validate;
    validate.start(tool, {path});
    validate.waitForFinished();
    const QString output = QString::fromUtf8(validate.readAll());
    return validate.exitCode() == 0 && !output.contains(QStringLiteral("error")) ? QString() : output;
}

struct StartCase
{
    const char* name;
    const char* entry; // nullptr: no entry
    bool ticked;
};

class AutostartAtStart : public ::testing::TestWithParam<StartCase>
{};

TEST_P(AutostartAtStart, BoxShowsWhetherTheEntryStartsThisProgram)
{
    QTemporaryDir temp;
    const AutostartEntry entry(Program, temp.path());
    if (GetParam().entry)
        WriteFile(entry.filePath(), GetParam().entry);
    QCheckBox box;
    AutostartBox logic(&box, entry);
    EXPECT_EQ(box.isChecked(), GetParam().ticked);
}

const StartCase startCases[] = {
    {"NoEntry", nullptr, false},
    {"OurEntry", "[Desktop Entry]\nType=Application\nName=D\nExec=/opt/Datumswecker/datumswecker\n", true},
    {"OurEntryQuoted", "[Desktop Entry]\nExec = \"/opt/Datumswecker/datumswecker\" --x\n", true},
    {"AnotherCopy", "[Desktop Entry]\nExec=/home/u/dw/datumswecker\n", false},
    {"Hidden", "[Desktop Entry]\nExec=/opt/Datumswecker/datumswecker\nHidden=true\n", false},
    {"ExecInAnotherGroup", "[Desktop Entry]\nName=D\n[Desktop Action x]\nExec=/opt/Datumswecker/datumswecker\n", false},
};
INSTANTIATE_TEST_SUITE_P(, AutostartAtStart, ::testing::ValuesIn(startCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Odd program paths survive the round trip through the entry, and the entry stays valid.
TEST(AutostartEntry, ExecQuotesEveryPath)
{
    const QString paths[] = {
        QStringLiteral("/usr/bin/datumswecker"),
        QStringLiteral("/home/anna/Meine Programme/datumswecker"),
        QStringLiteral("/tmp/a\"b`c$d\\e/datumswecker"),
        QStringLiteral("/tmp/100%/Ärger/datumswecker"),
    };
    for (const QString& path : paths) {
        QTemporaryDir temp;
        const AutostartEntry entry(path, temp.path());
        QString error;
        ASSERT_TRUE(entry.write(&error)) << error.toStdString();
        EXPECT_TRUE(entry.isOn()) << path.toStdString();
        EXPECT_EQ(ValidatorComplaints(entry.filePath()), QString()) << path.toStdString();
        EXPECT_FALSE(AutostartEntry(path + QStringLiteral("2"), temp.path()).isOn());
    }
}

TEST(AutostartBox, TickWritesUntickRemoves)
{
    QTemporaryDir temp;
    const AutostartEntry entry(Program, temp.filePath(QStringLiteral("config/autostart")));
    dwtest::ScriptedMessageBoxes boxes;
    QCheckBox box;
    AutostartBox logic(&box, entry);
    box.setChecked(true);
    EXPECT_TRUE(QFile::exists(entry.filePath())) << "the autostart folder is made when missing";
    EXPECT_EQ(ValidatorComplaints(entry.filePath()), QString());
    EXPECT_TRUE(box.isChecked());
    box.setChecked(false);
    EXPECT_FALSE(QFile::exists(entry.filePath()));
    EXPECT_FALSE(box.isChecked());
    EXPECT_TRUE(boxes.shown().empty());
}

TEST(AutostartBox, UnwritableFolderIsToldAndTheBoxShowsTheTruth)
{
    QTemporaryDir temp;
    // A file where the folder should be stops root as well as anyone.
    WriteFile(temp.filePath(QStringLiteral("autostart")), "not a folder");
    const AutostartEntry entry(Program, temp.filePath(QStringLiteral("autostart")));
    dwtest::ScriptedMessageBoxes boxes;
    QCheckBox box;
    AutostartBox logic(&box, entry);
    box.setChecked(true);
    EXPECT_FALSE(box.isChecked());
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(boxes.shown()[0].text.startsWith(QStringLiteral("Der Start beim Anmelden konnte nicht eingerichtet werden.")));
    EXPECT_TRUE(boxes.shown()[0].text.contains(temp.filePath(QStringLiteral("autostart"))));
    EXPECT_EQ(boxes.shown()[0].flags & 0xF0, unsigned(dw::MB_ICONERROR));
}

TEST(AutostartBox, ShowingTheBoxReadsTheEntryAgain)
{
    QTemporaryDir temp;
    const AutostartEntry entry(Program, temp.path());
    QCheckBox box;
    AutostartBox logic(&box, entry);
    EXPECT_FALSE(box.isChecked());
    QString error;
    ASSERT_TRUE(entry.write(&error));
    box.show();
    EXPECT_TRUE(box.isChecked());
}

} // namespace
