// Renders every window in both drawing modes (with and without visual styles)
// into build/screenshots/, so they can be looked at; each must render without
// trouble and at its size.
#include "TestSupport.h"
#include "app/MainForm.h"
#include "browser/CalendarPage.h"
#include "controls/AboutBox.h"
#include "controls/ImageBtn.h"
#include "platform/ProgramFolder.h"
#include "platform/Theme.h"
#include "reminder/TerminForm.h"
#include "ui_MainForm.h"

#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace dwtest;

namespace {

QString ShotPath(const QString& name)
{
    QDir().mkpath(BinaryDir() + QStringLiteral("/screenshots"));
    return BinaryDir() + QStringLiteral("/screenshots/") + name;
}

class Screens : public ::testing::TestWithParam<bool>
{
protected:
    Screens() : clock(At(2024, 1, 5, 10, 0))
    {
        dw::ForgetThemeLibrary();
        dw::SetThemeEnvironment({true, GetParam(), GetParam()});
        dw::SetModuleFileNameForTesting(dir.filePath(QStringLiteral("datumswecker")));
    }
    ~Screens() override
    {
        dw::SetModuleFileNameForTesting(QString());
        dw::ForgetThemeLibrary();
        dw::SetThemeEnvironment({});
    }
    QString mode() const { return GetParam() ? QStringLiteral("themed") : QStringLiteral("classic"); }

    QTemporaryDir dir;
    ScopedFakeClock clock;
    GermanFormats formats;
    ScriptedMessageBoxes boxes;
};

} // namespace

TEST_P(Screens, MainWindowBothPages)
{
    TMainForm form;
    form.skipFirstShowCheck();
    form.show();
    TCalendarPage* page = form.CalendarPage();
    page->AddTerminBtnClick();
    form.findChild<QLineEdit*>(QStringLiteral("NameEd"))->setText(QStringLiteral("Zahnarzt Dr. Müller"));
    page->AddTerminBtnClick();
    form.findChild<QLineEdit*>(QStringLiteral("NameEd"))->setText(QStringLiteral("Geburtstag Oma"));
    QTest::qWait(50);
    const QImage first = form.grab().toImage();
    EXPECT_EQ(first.size(), QSize(630, 485));
    EXPECT_TRUE(first.save(ShotPath(QStringLiteral("main_termine_%1.png").arg(mode()))));
    form.findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
    QTest::qWait(50);
    EXPECT_TRUE(form.grab().save(ShotPath(QStringLiteral("main_erinnerung_%1.png").arg(mode()))));
    form.form()->PageControl2->setCurrentIndex(1);
    QTest::qWait(50);
    EXPECT_TRUE(form.grab().save(ShotPath(QStringLiteral("main_einstellungen_%1.png").arg(mode()))));

    // The bottom bar with the about button held down.
    form.form()->PageControl2->setCurrentIndex(0);
    TImageBtn* about = form.form()->ueberbtn;
    QTest::mousePress(about, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(form.form()->Panel1->grab().save(ShotPath(QStringLiteral("bottom_bar_pressed.png"))));
    QTest::mouseRelease(about, Qt::RightButton, {}, QPoint(-5, -5));
    form.core().Timer1()->setEnabled(false);
}

TEST_P(Screens, ReminderDialog)
{
    TTerminForm dialog;
    QTimer::singleShot(100, &dialog, [&] {
        EXPECT_TRUE(dialog.grab().save(ShotPath(QStringLiteral("reminder_%1.png").arg(mode()))));
        dialog.CancelReminder();
    });
    dialog.ShowReminder(QStringLiteral("Am 24.12.2030 um 18:30:00 Uhr"),
                        QStringLiteral("Bescherung bei Familie Schneider-Großkopf in der Lindenstraße"),
                        QStringLiteral("Geschenke nicht vergessen: Buch für Anna, Schal für Peter, "
                                       "Plätzchen für alle.\r\nUm 18 Uhr an der Tür sein."));
}

TEST_P(Screens, AboutDialog)
{
    TAboutBox box;
    QTimer::singleShot(100, &box, [&] {
        EXPECT_TRUE(box.grab().save(ShotPath(QStringLiteral("about_%1.png").arg(mode()))));
        box.done(1);
    });
    box.exec();
}

INSTANTIATE_TEST_SUITE_P(Modes, Screens, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("Themed") : std::string("Classic");
                         });
