// The polling factor and the interval each tick leaves behind.
#include "monitor/PollTick.h"

#include <gtest/gtest.h>

TEST(PollTick, FactorCountsExactNamesOnly)
{
    struct Row {
        std::vector<std::string> forms;
        double factor;
    };
    const Row rows[] = {
        {{}, 1.0},
        {{"FrmMoni"}, 1.0},
        {{"FrmMoni", "FrmAlm", "FrmMenu"}, 1.5},
        {{"FrmMoni", "FrmAlm", "FrmPom"}, 2.0},
        {{"frmmoni", "FRMALM", "FrmPom"}, 1.0},
        {{"FrmMoni", "FrmMoni", "FrmAlm"}, 2.0}, // each loaded instance counts
    };
    for (const Row& r : rows)
        EXPECT_DOUBLE_EQ(PollFactorOf(r.forms), r.factor) << r.forms.size();
}

TEST(PollTick, NextIntervalByWindowOutcomeAndFactor)
{
    using W = PollWindow;
    using O = PollOutcome;
    struct Row {
        W w;
        O o;
        double f;
        int32_t ms;
    };
    const Row rows[] = {
        {W::Monitor, O::Done, 1.0, 200},     {W::Monitor, O::Done, 1.5, 300},
        {W::Monitor, O::Done, 2.0, 400},     {W::Monitor, O::Busy, 1.5, 300},
        {W::Monitor, O::BackOff, 2.0, 10000}, {W::Monitor, O::ReadFailed, 2.0, 200},
        {W::Monitor, O::Closing, 1.0, 0},    {W::Alarm, O::Done, 1.0, 500},
        {W::Alarm, O::Done, 1.5, 750},       {W::Alarm, O::Done, 2.0, 1000},
        {W::Alarm, O::Busy, 2.0, 500},       {W::Alarm, O::WaitMonitor, 1.5, 2000},
        {W::Alarm, O::BackOff, 1.0, 10000},  {W::PosMonitor, O::Busy, 2.0, 200},
        {W::PosMonitor, O::Done, 1.5, 300},  {W::PosMonitor, O::BackOff, 1.5, 10000},
    };
    for (const Row& r : rows)
        EXPECT_EQ(PollNextInterval(r.w, r.o, r.f), r.ms)
            << static_cast<int>(r.w) << " " << static_cast<int>(r.o) << " " << r.f;
    // Ties round to even.
    EXPECT_EQ(PollInterval(5, 2.5), 12);
    EXPECT_EQ(PollInterval(7, 2.5), 18);
}

TEST(PollTick, TickStartChecksCloseThenBusyThenMonitor)
{
    using W = PollWindow;
    using O = PollOutcome;
    EXPECT_EQ(PollTickStart(W::Monitor, true, 4, false), O::Closing);
    EXPECT_EQ(PollTickStart(W::Alarm, false, 4, true), O::Busy);
    EXPECT_EQ(PollTickStart(W::Alarm, false, 0, true), O::WaitMonitor);
    EXPECT_EQ(PollTickStart(W::Monitor, false, 0, true), O::Done); // only the alarm window yields
    EXPECT_EQ(PollTickStart(W::Alarm, false, 0, false), O::Done);
    EXPECT_FALSE(MonitorBackingOff(1000));
    EXPECT_TRUE(MonitorBackingOff(PollNextInterval(W::Monitor, O::BackOff, 1.0)));
    EXPECT_FALSE(MonitorBackingOff(PollNextInterval(W::Monitor, O::Done, 2.0)));
}
