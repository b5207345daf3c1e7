// The main window on the offscreen platform: settings, timers, tray messages.
#include "TestSupport.h"
#include "app/MainForm.h"
#include "app/TrayIcon.h"
#include "app/TrayMenu.h"
#include "browser/CalendarPage.h"
#include "controls/ImageBtn.h"
#include "controls/SpinEdit.h"
#include "platform/Ansi.h"
#include "platform/ProgramFolder.h"
#include "platform/Shell.h"
#include "platform/Tray.h"
#include "store/DataFile.h"
#include "sync/SyncController.h"
#include "ui_CalendarPage.h"
#include "ui_MainForm.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSet>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QTranslator>

#include <gtest/gtest.h>

#include <functional>

using namespace dwtest;

namespace {

class MainFormTest : public ::testing::Test
{
protected:
    MainFormTest() : clock(At(2024, 1, 5, 10, 0))
    {
        dw::SetModuleFileNameForTesting(dir.filePath(QStringLiteral("datumswecker")));
        dw::TrayAvailability::setForTesting(true); // a notification area, as on most desktops
    }
    ~MainFormTest() override
    {
        dw::SetModuleFileNameForTesting(QString());
        dw::TrayAvailability::setForTesting(std::nullopt);
    }

    TMainForm& form()
    {
        if (!m_form)
            m_form = std::make_unique<TMainForm>();
        return *m_form;
    }
    Ui::TMainForm& ui() { return *form().form(); }
    void destroyForm() { m_form.reset(); }

    QTemporaryDir dir;
    ScopedFakeClock clock;
    GermanFormats formats;
    ScriptedMessageBoxes boxes;

private:
    std::unique_ptr<TMainForm> m_form;
};

void TypeInto(SpinEdit* field, const QString& text)
{
    auto* edit = field->findChild<QLineEdit*>();
    edit->selectAll();
    edit->del();
    QTest::keyClicks(edit, text);
}

} // namespace

TEST_F(MainFormTest, StartsWithTheInitialSettingsAndQuietTimers)
{
    EXPECT_EQ(form().windowTitle(), QStringLiteral("Norvex Datumswecker 1.0"));
    EXPECT_EQ(form().core().dataFolder(), dir.path() + QLatin1Char('/'));
    EXPECT_EQ(form().DataFileName(), dir.filePath(QStringLiteral("termine.dat")));
    EXPECT_EQ(ui().gmin->value(), 0);
    EXPECT_EQ(ui().gsek->value(), 30);
    EXPECT_FALSE(ui().MinimiertCheck->isChecked());
    EXPECT_FALSE(form().core().Timer1()->enabled()); // start-up does not start the save timer
    EXPECT_EQ(form().core().Timer1()->interval(), 1000);
    EXPECT_TRUE(form().core().Timer2()->enabled());
    EXPECT_EQ(form().core().Timer2()->interval(), 30000);
    EXPECT_FALSE(form().Timer3()->enabled());
    EXPECT_EQ(form().Timer3()->interval(), 500);
    EXPECT_EQ(ui().PageControl2->currentWidget(), ui().TabSheet1);
    EXPECT_EQ(ui().PageControl2->tabText(0), QStringLiteral("&Termine verwalten"));
    EXPECT_EQ(ui().PageControl2->tabText(1), QStringLiteral("&Einstellungen"));
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(MainFormTest, CheckIntervalFollowsTheSettingsFields)
{
    struct Case
    {
        const char* minutes;
        const char* seconds;
        int interval;
        bool ticking;
    };
    const Case cases[] = {
        {"1", "30", 90000, true}, {"0", "0", 0, false},    {"2", "0", 120000, true},
        {"", "", 0, false},       {"", "45", 45000, true}, {"-", "5", 5000, true},
    };
    for (const Case& c : cases) {
        TypeInto(ui().gmin, QString::fromLatin1(c.minutes));
        TypeInto(ui().gsek, QString::fromLatin1(c.seconds));
        EXPECT_EQ(form().core().Timer2()->interval(), c.interval)
            << c.minutes << " min " << c.seconds << " s";
        EXPECT_EQ(form().core().Timer2()->isTicking(), c.ticking)
            << c.minutes << " min " << c.seconds << " s";
        EXPECT_TRUE(form().core().Timer1()->enabled()); // every settings change restarts the save timer
    }
}

TEST_F(MainFormTest, MinutesNeverTurnTheIntervalNegative)
{
    form().show();
    QApplication::setActiveWindow(&form());
    ui().PageControl2->setCurrentIndex(1);
    ui().gmin->setFocus();
    TypeInto(ui().gmin, QStringLiteral("-3"));
    EXPECT_EQ(form().core().Timer2()->interval(), 0);
    ui().MinimiertCheck->setFocus(); // leaving the field pulls it to 0
    EXPECT_EQ(ui().gmin->value(), 0);
    TypeInto(ui().gmin, QStringLiteral("99999999"));
    EXPECT_GT(form().core().Timer2()->interval(), 0); // held at the longest interval a timer can count
}

TEST_F(MainFormTest, StartMinimisedTakesEffectAtTheNextStartOnly)
{
    form().core().Timer1()->setEnabled(false);
    ui().MinimiertCheck->setChecked(true);
    EXPECT_TRUE(form().core().Timer1()->enabled());
    EXPECT_FALSE(form().Timer3()->enabled());
}

TEST_F(MainFormTest, FirstShowingStartsTheMinimiseDelayOnlyOnce)
{
    ui().MinimiertCheck->setChecked(true);
    form().show();
    EXPECT_TRUE(form().FirstShowDone());
    EXPECT_TRUE(form().Timer3()->enabled());
    form().Timer3Timer();
    EXPECT_FALSE(form().Timer3()->enabled());
    EXPECT_FALSE(form().isVisible());
    form().Anzeigen1Click();
    EXPECT_TRUE(form().isVisible());
    EXPECT_FALSE(form().Timer3()->enabled()); // showing again neither checks nor hides
}

TEST_F(MainFormTest, TrayMessages)
{
    form().show();
    // A single click starts the save timer; a running one goes on.
    form().WMUser(0, dw::WM_LBUTTONDOWN);
    EXPECT_TRUE(form().core().Timer1()->enabled());
    form().WMUser(0, dw::WM_LBUTTONDOWN);
    EXPECT_TRUE(form().core().Timer1()->enabled());
    // A double click stops it, also when an edit had started it, and toggles the window.
    form().core().Timer1()->restart();
    form().WMUser(0, dw::WM_LBUTTONDBLCLK);
    EXPECT_FALSE(form().core().Timer1()->enabled());
    EXPECT_FALSE(form().isVisible());
    form().WMUser(0, dw::WM_LBUTTONDBLCLK);
    EXPECT_TRUE(form().isVisible());
    // Other mouse messages change nothing.
    for (int other : {512, 514, 516, 518, 519}) {
        form().WMUser(0, other);
        EXPECT_TRUE(form().isVisible()) << other;
        EXPECT_FALSE(form().core().Timer1()->enabled()) << other;
    }
}

TEST_F(MainFormTest, TrayMessagesArriveAfterTheHostsEvent)
{
    form().show();
    emit form().Tray()->mouseMessage(0, dw::WM_LBUTTONDBLCLK);
    EXPECT_TRUE(form().isVisible());
    QCoreApplication::processEvents();
    EXPECT_FALSE(form().isVisible());
}

TEST_F(MainFormTest, MenuFirstItemSaysWhatItWillDo)
{
    TTrayMenu* menu = form().PopupMenu2();
    form().show();
    form().WMUser(0, dw::WM_RBUTTONUP);
    EXPECT_EQ(menu->Anzeigen1->text(), QStringLiteral("Verbergen"));
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
    form().hide();
    form().WMUser(0, dw::WM_RBUTTONUP);
    EXPECT_EQ(menu->Anzeigen1->text(), QStringLiteral("Anzeigen"));
    menu->hide();

    QStringList items;
    for (QAction* a : menu->actions())
        items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(items,
              (QStringList{QStringLiteral("Anzeigen"), QStringLiteral("-"), QStringLiteral("Keine Aktion"),
                           QStringLiteral("-"), QStringLiteral("Zur Norvex Homepage..."),
                           QStringLiteral("Über das Programm..."), QStringLiteral("-"),
                           QStringLiteral("Beenden")}));
}

TEST_F(MainFormTest, KeineAktionDoesNothing)
{
    form().show();
    form().core().Timer1()->setEnabled(false);
    form().PopupMenu2()->KeineAktion1->trigger();
    EXPECT_TRUE(form().isVisible());
    EXPECT_FALSE(form().core().Timer1()->enabled());
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(MainFormTest, MinimierenHidesWhileChecksGoOn)
{
    form().show();
    QTest::mouseClick(ui().MinimizeBtn, Qt::LeftButton);
    EXPECT_FALSE(form().isVisible());
    EXPECT_TRUE(form().core().Timer2()->isTicking());
}

TEST_F(MainFormTest, HomePageFromButtonAndMenu)
{
    QStringList opened;
    dw::SetShellOpenHandler([&](const QString& address) { opened << address; });
    form().show();
    QTest::mouseClick(ui().wwwBtn, Qt::LeftButton);
    form().PopupMenu2()->ZurNorvexHomepage1->trigger();
    dw::SetShellOpenHandler({});
    EXPECT_EQ(opened, (QStringList{QStringLiteral("https://www.norvex.example/"),
                                   QStringLiteral("https://www.norvex.example/")}));
    EXPECT_EQ(ui().wwwBtn->text(), QStringLiteral("&www.norvex.example"));
}

TEST_F(MainFormTest, AboutDialogIsMadeAnewForEachRequest)
{
    form().show();
    QStringList seen;
    for (int i = 0; i < 2; ++i) {
        QTimer::singleShot(50, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                seen << modal->windowTitle();
                modal->close();
            }
        });
        if (i == 0)
            form().ueberbtnClick();
        else
            form().PopupMenu2()->berdasProgramm1->trigger();
    }
    EXPECT_EQ(seen, (QStringList{QStringLiteral("Info"), QStringLiteral("Info")}));
    EXPECT_EQ(form().findChildren<QDialog*>().size(), 0); // freed when closed
}

TEST_F(MainFormTest, HintsAndNamesForEveryBottomBarControl)
{
    EXPECT_EQ(ui().wwwBtn->toolTip(), QStringLiteral("Auf zur Norvex Homepage..."));
    EXPECT_EQ(ui().MinimizeBtn->toolTip(),
              QStringLiteral("Das Fenster schließen, aber die Überwachung im Hintergrund aktiv halten"));
    EXPECT_EQ(ui().ueberbtn->toolTip(), QStringLiteral("Informationen über das Programm"));
    EXPECT_EQ(ui().endebtn->toolTip(), QStringLiteral("Hiermit verlassen Sie das Programm"));
    EXPECT_FALSE(ui().ueberbtn->accessibleName().isEmpty());
    EXPECT_FALSE(ui().endebtn->accessibleName().isEmpty());
    EXPECT_EQ(ui().gmin->accessibleName().isEmpty(), false);
    EXPECT_EQ(ui().gsek->accessibleName().isEmpty(), false);
}

TEST_F(MainFormTest, EveryControlHasANameForScreenReaders)
{
    form().show();
    QStringList unnamed;
    const auto controls = form().findChildren<QWidget*>();
    for (QWidget* w : controls) {
        const bool interactive = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                                 qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QAbstractItemView*>(w) ||
                                 qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QTextEdit*>(w);
        // Inner parts of composite controls (a spin box's line edit, a view's viewport) speak for their
        // owner.
        if (!interactive || qobject_cast<QAbstractSpinBox*>(w->parentWidget()) ||
            qobject_cast<QAbstractItemView*>(w->parentWidget()) ||
            w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << (w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                                  : w->objectName());
    }
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(QStringLiteral(", ")).toStdString();
}

namespace {

// The Alt key of a caption; empty without one.
QString Mnemonic(const QString& caption)
{
    return QKeySequence::mnemonic(caption).toString();
}

// What is wrong with the mnemonics of the controls the window shows now: a
// button or labelled control without one, or a key that two of them share.
QStringList MnemonicFaults(QWidget& window)
{
    QStringList faults;
    QMap<QString, QString> keys; // key, whose
    auto take = [&](const QString& caption, const QString& whose) {
        const QString key = Mnemonic(caption);
        if (key.isEmpty())
            faults << whose + QStringLiteral(" has none");
        else if (keys.contains(key))
            faults << whose + QStringLiteral(" shares ") + key + QStringLiteral(" with ") + keys[key];
        else
            keys[key] = whose;
    };
    QSet<QWidget*> labelled;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisible())
            continue;
        if (auto* button = qobject_cast<QAbstractButton*>(w); button && !button->text().isEmpty())
            take(button->text(), button->text());
        else if (auto* picture = qobject_cast<TImageBtn*>(w))
            take(picture->caption(), picture->objectName());
        else if (auto* tabs = qobject_cast<QTabBar*>(w))
            for (int i = 0; i < tabs->count(); ++i)
                take(tabs->tabText(i), tabs->tabText(i));
        else if (auto* label = qobject_cast<QLabel*>(w);
                 label && label->buddy() && !Mnemonic(label->text()).isEmpty())
            take(label->text(), label->text()), labelled << label->buddy();
    }
    for (QLabel* label : window.findChildren<QLabel*>())
        if (label->isVisible() && label->buddy() && !labelled.contains(label->buddy()))
            faults << label->buddy()->objectName() + QStringLiteral(" has no label with one");
    return faults;
}

} // namespace

TEST_F(MainFormTest, EachPageGivesEveryButtonAndLabelledControlAKeyOfItsOwn)
{
    // A translation picks its own keys, so each language is checked.
    for (const char* language : {"", "datumswecker_en"}) {
        QTranslator translation;
        if (*language) {
            ASSERT_TRUE(translation.load(QString::fromLatin1(language), QStringLiteral(":/i18n")));
            QCoreApplication::installTranslator(&translation);
        }
        form().show();
        Ui::TCalendarPage& calendar = *form().CalendarPage()->form();
        calendar.AddTerminBtn->click(); // today's first appointment: the edit pages show
        const struct
        {
            const char* page;
            std::function<void()> open;
        } pages[] = {
            {"Termine verwalten, Allgemein", [] {}},
            {"Termine verwalten, Erinnerung", [&] { calendar.PageControl1->setCurrentIndex(1); }},
            {"Termine verwalten, Wiederkehr", [&] { calendar.PageControl1->setCurrentIndex(2); }},
            {"Einstellungen, with the sync", [&] { ui().PageControl2->setCurrentIndex(1); }},
        };
        for (const auto& page : pages) {
            page.open();
            EXPECT_EQ(MnemonicFaults(form()).join(QStringLiteral("; ")).toStdString(), "")
                << page.page << " " << language;
        }
        destroyForm();
        QCoreApplication::removeTranslator(&translation);
    }
}

TEST_F(MainFormTest, NotificationBoxIsOnAndOnlyTheUsersChangeIsWritten)
{
    const QString settingsFile = dir.filePath(QStringLiteral("datumswecker.ini"));
    EXPECT_TRUE(ui().MitteilungCheck->isChecked());
    EXPECT_EQ(ui().AutostartCheck->nextInFocusChain(), ui().MitteilungCheck);
    destroyForm();
    EXPECT_FALSE(QFile::exists(settingsFile));
    ui().MitteilungCheck->click();
    EXPECT_FALSE(form().core().NotificationsOn());
    destroyForm();
    EXPECT_FALSE(ui().MitteilungCheck->isChecked());
}

namespace {

void WriteStore(const QString& path, const StoredSettings& settings, int appointmentsOn2024_01_05 = 0)
{
    CalendarGrid grid;
    grid.Build();
    for (int i = 0; i < appointmentsOn2024_01_05; ++i)
        grid.NewAppointment(2024, 1, 5);
    ScriptedMessageBoxes quiet;
    ASSERT_TRUE(DataFile(path).SaveTermins(grid, settings));
}

} // namespace

TEST_F(MainFormTest, LoadedSettingsReachTheTimersThroughTheControls)
{
    WriteStore(dir.filePath(QStringLiteral("termine.dat")), StoredSettings{2, 0, true}, 1);
    EXPECT_EQ(ui().gmin->value(), 2);
    EXPECT_EQ(ui().gsek->value(), 0);
    EXPECT_TRUE(ui().MinimiertCheck->isChecked());
    EXPECT_EQ(form().core().Timer2()->interval(), 120000);
    EXPECT_TRUE(form().core().Timer2()->isTicking());
    EXPECT_TRUE(form().core().Timer1()->enabled()); // a loaded value that differs starts the save timer
    EXPECT_EQ(form().core().grid().Day(2024, 1, 5).count(), 1u);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(MainFormTest, LoadedInitialSettingsLeaveTheSaveTimerAlone)
{
    WriteStore(dir.filePath(QStringLiteral("termine.dat")), StoredSettings{0, 30, false});
    EXPECT_FALSE(form().core().Timer1()->enabled());
    EXPECT_EQ(form().core().Timer2()->interval(), 30000);
}

TEST_F(MainFormTest, DamagedFileAtStartIsKeptAsideAndTheWindowStaysUsable)
{
    struct Case
    {
        const char* name;
        QByteArray content;
    };
    QByteArray cutInsideAText;
    {
        QTemporaryDir other;
        WriteStore(other.filePath(QStringLiteral("t.dat")), StoredSettings{}, 1);
        QFile f(other.filePath(QStringLiteral("t.dat")));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        // 5 January 2024 is day 8770 of the grid: its count, the fixed fields, the name length, 3 letters.
        cutInsideAText = f.readAll().left(8770 * 4 + 4 + 33 + 4 + 3);
    }
    const Case cases[] = {{"truncated", cutInsideAText}, {"garbage", QByteArray(5000, '\xFF')}};
    for (const Case& c : cases) {
        QTemporaryDir folder;
        dw::SetModuleFileNameForTesting(folder.filePath(QStringLiteral("datumswecker")));
        QFile file(folder.filePath(QStringLiteral("termine.dat")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.content);
        file.close();
        boxes.clear();
        {
            TMainForm damaged;
            EXPECT_TRUE(boxes.texts().contains(QStringLiteral("Read beyond end of file.")))
                << c.name << ": " << boxes.texts().join(QLatin1Char('|')).toStdString();
            EXPECT_TRUE(boxes.texts().contains(
                QStringLiteral("Eine Kopie der nicht lesbaren Datei wurde als termine.dat.bak gesichert.")))
                << c.name << ": " << boxes.texts().join(QLatin1Char('|')).toStdString();
            // The tree is there and today is selected: the program goes on normally.
            EXPECT_TRUE(damaged.CalendarPage()->SelectedKey().has_value()) << c.name;
            EXPECT_EQ(damaged.core().grid().Day(2024, 1, 5).count(), 0u) << c.name;
        }
        QFile backup(folder.filePath(QStringLiteral("termine.dat.bak")));
        ASSERT_TRUE(backup.open(QIODevice::ReadOnly)) << c.name;
        EXPECT_EQ(backup.readAll(), c.content) << c.name;
    }
}

TEST_F(MainFormTest, AMegabyteDescriptionIsSavedAndLoadedBackIntact)
{
    form().show();
    TCalendarPage* page = form().CalendarPage();
    page->AddTerminBtnClick();
    auto* description = form().findChild<QPlainTextEdit*>(QStringLiteral("DescEd"));
    ASSERT_NE(description, nullptr);
    QString text;
    for (int line = 0; text.size() < 1024 * 1024; ++line)
        text += QStringLiteral("Zeile %1 mit Umlauten äöü und €: ").arg(line) +
                QString(60, QChar(u'a' + line % 26)) + QLatin1Char('\n');
    description->setFocus();
    description->insertPlainText(text);
    ASSERT_TRUE(form().SaveTermins());

    CalendarGrid loaded;
    loaded.Build();
    DataFile(form().DataFileName()).OpenTermins(loaded);
    const DayList& day = loaded.Day(2024, 1, 5);
    ASSERT_EQ(day.count(), 1u);
    QString back = dw::FromAnsi(day.at(0)->Description);
    back.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    EXPECT_EQ(back.size(), text.size());
    EXPECT_TRUE(back == text);
}

// A failed sync shows on every page (the status bar) and in the tray's tip; the next good one clears both.
TEST_F(MainFormTest, AFailedSyncShowsInTheStatusAndTheTrayTip)
{
    auto* status = ui().StatusBar1->findChild<QLabel*>();
    ASSERT_NE(status, nullptr);
    dw::sync::SyncReport failed;
    failed.fault = dw::sync::SyncReport::Fault::Unreachable;
    failed.error =
        QStringLiteral("Verbindung unterbrochen: der Server x hat die Antwort nicht zu Ende gesendet.");
    emit form().sync().finished(failed);
    EXPECT_TRUE(
        status->text().startsWith(QStringLiteral("Abgleich fehlgeschlagen: Verbindung unterbrochen")));
    EXPECT_EQ(form().Tray()->tip(), QStringLiteral("Datumswecker: Abgleich fehlgeschlagen"));
    emit form().sync().finished(dw::sync::SyncReport{});
    EXPECT_TRUE(status->text().isEmpty());
    EXPECT_EQ(form().Tray()->tip(), QStringLiteral("Datumswecker"));
}
