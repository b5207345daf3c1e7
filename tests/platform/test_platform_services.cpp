#include "plain/DataFolderRule.h"
#include "platform/Clock.h"
#include "platform/Exceptions.h"
#include "platform/Memory.h"
#include "platform/MessageBox.h"
#include "platform/ProgramFolder.h"
#include "platform/WindowSystem.h"
#include "platform/WindowTimer.h"
#include "TestSupport.h"

#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace dw;

TEST(ProgramFolder, FolderEndsInOneSeparator)
{
    EXPECT_EQ(FolderOfPath("/opt/dw/datumswecker"), "/opt/dw/");
    EXPECT_EQ(FolderOfPath("/datumswecker"), "/");
    EXPECT_TRUE(ModuleFileName().endsWith(QStringLiteral("test_platform")));
    SetModuleFileNameForTesting(QStringLiteral("/tmp/x/datumswecker"));
    EXPECT_EQ(ModuleFileName(), QStringLiteral("/tmp/x/datumswecker"));
    SetModuleFileNameForTesting(QString());
}

TEST(Clock, InjectedClockIsTheOnlySourceOfTime)
{
    const TDateTime before = Now();
    {
        dwtest::ScopedFakeClock fake(dwtest::At(2030, 12, 24, 18, 30));
        EXPECT_EQ(Now(), dwtest::At(2030, 12, 24, 18, 30));
        fake.clock.advanceMSecs(1);
        EXPECT_DOUBLE_EQ(Now(), dwtest::At(2030, 12, 24, 18, 30, 0, 1));
    }
    EXPECT_EQ(Now(), before) << "the clock before is back";
}

TEST(Clock, TheRealProgramsTestClockRunsFromTheMomentGiven)
{
    Clock& before = CurrentClock();
    qputenv("DATUMSWECKER_TEST_NOW", "2031-02-28T23:59:30");
    UseTestClockFromEnvironment();
    const TDateTime now = Now();
    SetClock(&before);
    qunsetenv("DATUMSWECKER_TEST_NOW");
    // It runs on from there (a busy machine may take a while to get here).
    EXPECT_GE(now, dwtest::At(2031, 2, 28, 23, 59, 30));
    EXPECT_LT(now, dwtest::At(2031, 3, 1, 0, 4, 30));

    UseTestClockFromEnvironment(); // unset: nothing changes
    EXPECT_EQ(&CurrentClock(), &before);
}

TEST(ErrorBox, TextGetsAFullStopAndTheTitleAsCaption)
{
    dwtest::ScriptedMessageBoxes boxes;
    ShowException(EConvertError("Invalid argument to time encode"));
    ShowException(EInOutError(100, "Read beyond end of file"));
    ShowException(Exception("Schon mit Punkt."));
    ASSERT_EQ(boxes.shown().size(), 3u);
    EXPECT_EQ(boxes.texts(), (QStringList{QStringLiteral("Invalid argument to time encode."),
                                          QStringLiteral("Read beyond end of file."),
                                          QStringLiteral("Schon mit Punkt.")}));
    EXPECT_EQ(boxes.shown()[0].caption, QStringLiteral("Datumswecker 1.0"));
    EXPECT_EQ(boxes.shown()[0].flags & 0xF0, unsigned(MB_ICONERROR));
}

TEST(ErrorBox, AnExceptionLeavingAnEventHandlerIsShownAndTheProgramGoesOn)
{
    dwtest::ScriptedMessageBoxes boxes;
    QObject target;
    bool afterThrow = false;
    QTimer::singleShot(0, &target, [&] {
        throw EConvertError("Invalid argument to time encode");
        afterThrow = true; // never reached: the rest of the handler is dropped
    });
    // Waits for the box, not for a time: a busy machine may run the timer late.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !boxes.shown().empty(); }, 30000));
    EXPECT_FALSE(afterThrow);
    EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("Invalid argument to time encode.")});
}

TEST(MessageBox, DefaultCaptionWhenNoneGiven)
{
    dwtest::ScriptedMessageBoxes boxes;
    boxes.answer(mrYes);
    EXPECT_EQ(MessageBoxA(QStringLiteral("Frage?"), QString(), MB_YESNOCANCEL | MB_ICONQUESTION), mrYes);
    EXPECT_EQ(boxes.shown()[0].caption, DefaultMessageBoxCaption());
}

TEST(Memory, FailureSeamRefusesChosenRequests)
{
    SetAllocFailureSeam([](std::size_t bytes) { return bytes > 1000; });
    void* small = GlobalAllocZeroed(100);
    EXPECT_NE(small, nullptr);
    EXPECT_EQ(GlobalAllocZeroed(4800), nullptr);
    SetAllocFailureSeam({});
    void* big = GlobalAllocZeroed(4800);
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(static_cast<unsigned char*>(big)[4799], 0);
    GlobalFreeBlock(small);
    GlobalFreeBlock(big);
}

TEST(WindowTimer, EnabledAndIntervalAreIndependent)
{
    WindowTimer timer(30000, true);
    EXPECT_TRUE(timer.isTicking());
    timer.setInterval(0); // silent, but still enabled
    EXPECT_TRUE(timer.enabled());
    EXPECT_FALSE(timer.isTicking());
    timer.setInterval(20);
    EXPECT_TRUE(timer.isTicking());
    QSignalSpy ticks(&timer, &WindowTimer::timeout);
    EXPECT_TRUE(ticks.wait(1000));
    timer.setEnabled(false);
    EXPECT_FALSE(timer.isTicking());
    timer.restart();
    EXPECT_TRUE(timer.enabled());
    EXPECT_TRUE(timer.isTicking());
}

TEST(German, FrameworkTextsAreGerman)
{
    // Qt's own texts come from its German translation, as on a German desktop.
    QLineEdit edit;
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList texts;
    for (QAction* a : menu->actions())
        texts << a->text().remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0);
    EXPECT_TRUE(texts.contains(QStringLiteral("Kopieren"))) << texts.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("Einfügen"))) << texts.join(QLatin1Char('|')).toStdString();
}

TEST(WindowSystem, OnlyWhatCanBeAnActivationTokenReachesTheCompositor)
{
    const QString longest(512, QLatin1Char('x'));
    const struct
    {
        QString handedOver, used;
    } cases[] = {
        {QStringLiteral("kwin-3_TIME12345"), QStringLiteral("kwin-3_TIME12345")},
        {longest, longest},
        {longest + QLatin1Char('x'), QString()},
        {QStringLiteral("a b"), QString()},
        {QStringLiteral("a\nb"), QString()},
        {QStringLiteral("tök"), QString()},
        {QStringLiteral("a\"b"), QString()},
        {QString(), QString()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dw::UsableActivationToken(c.handedOver), c.used) << c.handedOver.left(20).toStdString();
}
