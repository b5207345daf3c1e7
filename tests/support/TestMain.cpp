#include "TestSupport.h"
#include "messages/AllocationMessage.h"
#include "platform/Application.h"
#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

// Every test program runs with the application object the program uses, so
// widgets, timers and the error box behave as in the real thing.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Test discovery runs the program without the test environment; widgets need no display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Nothing may depend on the machine's time zone or language.
    qputenv("TZ", "Europe/Berlin");
    qputenv("LC_ALL", "C.UTF-8");
    // A private runtime folder keeps Qt from warning about a missing one in every test.
    if (!qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")) {
        const QByteArray runtime = "/tmp/dw-test-runtime-" + QByteArray::number(::getuid());
        ::mkdir(runtime.constData(), 0700);
        qputenv("XDG_RUNTIME_DIR", runtime);
    }
    dw::TApplication app(argc, argv);
    // Containers that run out of memory tell the user as in the program.
    InstallAllocationMessage();
    // Code that asks for the time gets a fixed moment unless a test installs its own clock.
    dw::FakeClock fixed(dwtest::At(2024, 1, 5, 12, 0));
    dw::SetClock(&fixed);
    const int result = RUN_ALL_TESTS();
    dw::SetClock(nullptr);
    return result;
}
