#include "core/DueRule.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace {

constexpr double Ms = 1.0 / dw::MSecsPerDay;

struct DueCase
{
    const char* what;
    double t, firstLead, lastReminded, repeatInterval;
    bool done;
    double now;
    bool due;
};

// Binary-exact moments, so that the equalities below are exact in floating point.
constexpr double N = 100.5;

const DueCase Cases[] = {
    {"moment exactly now", N, 1.0, 0.0, 1.0, false, N, true},
    {"moment one ms before now", N - Ms, 1.0, 0.0, 1.0, false, N, false},
    {"earlier today, never reminded", N - 0.25, 3.0, 0.0, 1.0, false, N, false},
    {"earlier today, reminded long ago", N - 0.25, 3.0, 50.0, 0.0, false, N, false},
    {"window opens exactly now", N + 3.0, 3.0, 0.0, 1.0, false, N, true},
    {"window opens one ms after now", N + 3.0 + Ms, 3.0, 0.0, 1.0, false, N, false},
    {"never reminded", N + 1.0, 3.0, 0.0, 1.0, false, N, true},
    {"reminded before the window opened", N + 1.0, 3.0, N - 2.0 - Ms, 10.0, false, N, true},
    {"reminded at the opening, interval not passed", N + 1.0, 3.0, N - 2.0, 10.0, false, N, false},
    {"reminded at the opening, interval passed", N + 1.0, 3.0, N - 2.0, 1.0, false, N, true},
    {"reminded after the moment (clock went back)", N + 1.0, 3.0, N + 1.0 + Ms, 10.0, false, N, true},
    {"reminded exactly at the moment", N + 1.0, 3.0, N + 1.0, 10.0, false, N, false},
    {"repeat interval passed exactly", N + 1.0, 3.0, N - 1.0, 1.0, false, N, true},
    {"repeat interval one ms short", N + 1.0, 3.0, N - 1.0 + Ms, 1.0, false, N, false},
    {"done, otherwise due", N + 1.0, 3.0, 0.0, 1.0, true, N, false},
    {"done, moment exactly now", N, 3.0, 0.0, 0.0, true, N, false},
    {"repeat 0, reminded in the last pass", N + 1.0, 3.0, N - Ms, 0.0, false, N, true},
    {"repeat 0, reminded at this very moment", N + 1.0, 3.0, N, 0.0, false, N, true},
    {"first lead 0, exactly at the moment", N, 0.0, 0.0, 1.0, false, N, true},
    {"first lead 0, one ms before the moment", N + Ms, 0.0, 0.0, 1.0, false, N, false},
    {"first lead 0, one ms after the moment", N - Ms, 0.0, 0.0, 1.0, false, N, false},
};

class DueRule : public ::testing::TestWithParam<DueCase>
{
};

TEST_P(DueRule, FollowsEveryBound)
{
    const DueCase& c = GetParam();
    EXPECT_EQ(IsDue(c.t, c.t - c.firstLead, c.lastReminded, c.repeatInterval, c.done, c.now), c.due)
        << c.what;
}

// Readable test names from the case descriptions.
std::string CaseName(const ::testing::TestParamInfo<DueCase>& info)
{
    std::string name;
    for (const char* c = info.param.what; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Boundaries, DueRule, ::testing::ValuesIn(Cases), CaseName);

TEST(DueRuleDefaults, NewAppointmentComesThreeDaysAheadThenDaily)
{
    // A new appointment: first lead 3 days, repeat 1 day. Passes every 6 hours.
    const double t = 200.5;
    double lastReminded = 0.0;
    std::vector<double> reminders;
    for (double now = t - 5.0; now <= t + 1.0; now += 0.25) {
        if (IsDue(t, t - 3.0, lastReminded, 1.0, false, now)) {
            reminders.push_back(now);
            lastReminded = now;
        }
    }
    EXPECT_EQ(reminders, (std::vector<double>{t - 3.0, t - 2.0, t - 1.0, t}));
}

} // namespace
