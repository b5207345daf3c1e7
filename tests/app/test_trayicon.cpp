// The notification-area unit and the main window's answers to it, without a screen.
#include "TestSupport.h"
#include "app/MainForm.h"
#include "app/TrayIcon.h"
#include "app/TrayMenu.h"
#include "platform/ProgramFolder.h"
#include "platform/WindowSystem.h"
#include "ui_MainForm.h"

#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <optional>

#include <gtest/gtest.h>

using namespace dwtest;
using dw::TrayHost;

TEST(TrayHostMessages, EachReportBecomesTheMessagesTheWindowKnows)
{
    struct Case
    {
        TrayHost host;
        QSystemTrayIcon::ActivationReason reason;
        QList<int> messages;
    };
    const Case cases[] = {
        {TrayHost::XEmbed, QSystemTrayIcon::Trigger, {dw::WM_LBUTTONDOWN}},
        {TrayHost::XEmbed, QSystemTrayIcon::DoubleClick, {dw::WM_LBUTTONDBLCLK}},
        {TrayHost::XEmbed, QSystemTrayIcon::Context, {dw::WM_RBUTTONUP}},
        {TrayHost::XEmbed, QSystemTrayIcon::MiddleClick, {}},
        // No double click there: a click stands for the whole sequence.
        {TrayHost::StatusNotifier, QSystemTrayIcon::Trigger, {dw::WM_LBUTTONDOWN, dw::WM_LBUTTONDBLCLK}},
        {TrayHost::StatusNotifier, QSystemTrayIcon::Context, {dw::WM_RBUTTONUP}},
        {TrayHost::StatusNotifier, QSystemTrayIcon::MiddleClick, {}},
        {TrayHost::StatusNotifier, QSystemTrayIcon::Unknown, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dw::MouseMessagesFor(c.host, c.reason), c.messages)
            << (c.host == TrayHost::XEmbed ? "XEmbed " : "StatusNotifier ") << c.reason;
}

namespace {

// Button events as the X server sends them: a core event, or an XInput 2 one from
// a device (its own copy names itself as the source) or from the pointer it moves.
QByteArray CoreButton(bool press, quint8 button, quint32 time)
{
    QByteArray e(32, '\0');
    e[0] = static_cast<char>(press ? 4 : 5);
    e[1] = static_cast<char>(button);
    std::memcpy(e.data() + 4, &time, sizeof time);
    return e;
}

QByteArray XiButton(bool press, quint32 button, quint32 time, bool fromDevice)
{
    QByteArray e(80, '\0');
    const quint16 type = press ? 4 : 5;
    const quint16 device = fromDevice ? 4 : 2;
    const quint16 source = 4;
    e[0] = 35;
    std::memcpy(e.data() + 8, &type, sizeof type);
    std::memcpy(e.data() + 10, &device, sizeof device);
    std::memcpy(e.data() + 12, &time, sizeof time);
    std::memcpy(e.data() + 16, &button, sizeof button);
    std::memcpy(e.data() + 56, &source, sizeof source);
    return e;
}

// Both copies, the device's first, as a busy server may send them with other events between.
QList<QByteArray> XiClick(quint32 button, quint32 time)
{
    return {XiButton(true, button, time, true), XiButton(true, button, time, false),
            XiButton(false, button, time + 5, true), XiButton(false, button, time + 5, false)};
}

} // namespace

TEST(TrayHostMessages, ButtonEventsOnTheIconDuringADialogBecomeTheSameMessages)
{
    struct Case
    {
        const char* what;
        QList<QByteArray> events;
        QList<int> messages;
    };
    QByteArray motion(80, '\0');
    motion[0] = 35;
    motion[8] = 6;
    const Case cases[] = {
        {"right click, the menu once and on the release", XiClick(3, 1000), {dw::WM_RBUTTONUP}},
        {"right button still down", {XiButton(true, 3, 1000, true), XiButton(true, 3, 1000, false)}, {}},
        {"a release whose press came before the dialog", {XiButton(false, 3, 1000, false)}, {}},
        {"left click, no double click of its own two copies", XiClick(1, 1000), {dw::WM_LBUTTONDOWN}},
        {"left double click",
         XiClick(1, 1000) + XiClick(1, 1100),
         {dw::WM_LBUTTONDOWN, dw::WM_LBUTTONDOWN, dw::WM_LBUTTONDBLCLK}},
        {"two left clicks apart",
         XiClick(1, 1000) + QList{motion} + XiClick(1, 9000),
         {dw::WM_LBUTTONDOWN, dw::WM_LBUTTONDOWN}},
        {"middle click", XiClick(2, 1000), {}},
        {"core events",
         {CoreButton(true, 3, 1000), CoreButton(false, 3, 1005), CoreButton(true, 1, 2000)},
         {dw::WM_RBUTTONUP, dw::WM_LBUTTONDOWN}},
    };
    for (const Case& c : cases) {
        QList<int> messages;
        dw::ModalTrayClicks clicks([&messages](int message) { messages.append(message); });
        for (const QByteArray& e : c.events)
            if (const std::optional<dw::XButtonEvent> read = dw::ReadXButtonEvent(e.constData()))
                clicks.take(*read);
        EXPECT_EQ(messages, c.messages) << c.what;
    }
}

namespace {

// The main window with or without a notification area.
class TrayWindowTest : public ::testing::Test
{
protected:
    void make(bool trayAvailable)
    {
        dw::TrayAvailability::setForTesting(trayAvailable);
        form = std::make_unique<TMainForm>();
        form->skipFirstShowCheck();
    }
    void SetUp() override { dw::SetModuleFileNameForTesting(dir.filePath(QStringLiteral("datumswecker"))); }
    void TearDown() override
    {
        form.reset();
        dw::SetModuleFileNameForTesting(QString());
        dw::TrayAvailability::setForTesting(std::nullopt);
    }
    QString state() const
    {
        return !form->isVisible()    ? QStringLiteral("hidden")
               : form->isMinimized() ? QStringLiteral("minimised")
                                     : QStringLiteral("shown");
    }

    QTemporaryDir dir;
    ScopedFakeClock clock{At(2024, 1, 5, 10, 0)};
    ScriptedMessageBoxes boxes;
    std::unique_ptr<TMainForm> form;
};

} // namespace

TEST_F(TrayWindowTest, WithoutATrayNothingHidesTheWindowForGood)
{
    struct Case
    {
        const char* what;
        std::function<void(TMainForm&)> act;
    };
    const Case cases[] = {
        {"Minimieren", [](TMainForm& f) { QTest::mouseClick(f.form()->MinimizeBtn, Qt::LeftButton); }},
        {"Verbergen", [](TMainForm& f) { f.PopupMenu2()->Anzeigen1->trigger(); }},
        {"Minimiert starten", [](TMainForm& f) { f.Timer3Timer(); }},
        {"double click", [](TMainForm& f) { f.WMUser(0, dw::WM_LBUTTONDBLCLK); }},
    };
    for (const Case& c : cases) {
        make(false);
        form->show();
        c.act(*form);
        EXPECT_EQ(state(), QStringLiteral("minimised")) << c.what;
        c.act(*form); // from the task bar's holding, the same way back
        EXPECT_EQ(state(), QStringLiteral("shown")) << c.what;
    }
}

TEST_F(TrayWindowTest, TheTraysComingAndGoingDecidesWhereTheWindowGoes)
{
    make(false);
    form->show();
    form->Tray()->setAvailable(true); // a panel with a tray started
    form->MinimizeBtnClick();
    EXPECT_EQ(state(), QStringLiteral("hidden"));
    form->Tray()->setAvailable(false); // and went away: the window must not stay out of reach
    EXPECT_EQ(state(), QStringLiteral("minimised"));
    form->Tray()->setAvailable(true);
    form->ShowMainWindow();
    form->Tray()->setAvailable(false); // a shown window stays as it is
    EXPECT_EQ(state(), QStringLiteral("shown"));
}

TEST_F(TrayWindowTest, ShowMainWindowBringsItBackFromEverywhere)
{
    make(true);
    const std::function<void(TMainForm&)> away[] = {
        [](TMainForm& f) { f.hide(); },
        [](TMainForm& f) { f.showMinimized(); },
        [](TMainForm& f) {
            f.showMinimized();
            f.hide();
        },
    };
    for (const auto& goAway : away) {
        form->show();
        goAway(*form);
        form->ShowMainWindow();
        EXPECT_EQ(state(), QStringLiteral("shown"));
    }
}

TEST_F(TrayWindowTest, TheMenusFirstItemFollowsTheWindowForHostsThatShowItThemselves)
{
    make(true);
    QAction* first = form->PopupMenu2()->Anzeigen1;
    EXPECT_EQ(first->text(), QStringLiteral("Anzeigen"));
    form->show();
    EXPECT_EQ(first->text(), QStringLiteral("Verbergen"));
    form->Anzeigen1Click();
    EXPECT_EQ(first->text(), QStringLiteral("Anzeigen"));
}

TEST_F(TrayWindowTest, UnderWaylandWithoutATrayTheWindowIsHiddenAndALaterStartBringsItBack)
{
    dw::SetPlatformNameForTesting(QStringLiteral("wayland"));
    const struct
    {
        std::function<void(TMainForm&)> act;
        const char* state;
    } cases[] = {
        {[](TMainForm& f) { QTest::mouseClick(f.form()->MinimizeBtn, Qt::LeftButton); }, "hidden"},
        {[](TMainForm& f) { f.PopupMenu2()->Anzeigen1->trigger(); }, "hidden"},
        {[](TMainForm& f) { f.Timer3Timer(); }, "hidden"},
        {[](TMainForm& f) { f.showMinimized(); }, "minimised"}, // the title bar's button
    };
    for (const auto& c : cases) {
        make(false);
        form->show();
        c.act(*form);
        form->TrayAvailabilityChanged(false); // nothing to minimise to
        EXPECT_EQ(state(), QLatin1String(c.state));
        form->ShowMainWindow(QStringLiteral("token"));
        EXPECT_EQ(state(), QStringLiteral("shown")) << c.state;
    }
    dw::SetPlatformNameForTesting(QString());
}
