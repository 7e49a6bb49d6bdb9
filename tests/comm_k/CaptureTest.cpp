// Auto tuning start and the waveform capture lines of family K.
#include "FamKEnv.h"

#include "monitor/MonGlb.h"

namespace famk {
namespace {

WavCondRec Cond(int option, int sampling, int slope, int position, int level, int trigger) {
    WavCondRec c;
    c.Word[WavWOption] = static_cast<int16_t>(option);
    c.Word[WavWSmp] = static_cast<int16_t>(sampling);
    c.Word[WavWTrigSlope] = static_cast<int16_t>(slope);
    c.Word[WavWTrigPos] = static_cast<int16_t>(position);
    c.Word[WavWTrigLevel] = static_cast<int16_t>(level);
    c.Word[WavWTrig] = static_cast<int16_t>(trigger);
    return c;
}

TEST_F(FamK, CaptureArmsWaitsForReadyAndStops) {
    SndBuf[0] = 0;
    ASSERT_EQ(FamilyK().GrpStartK(Cond(1, 4, 0, 2, -20, 1)), -1);
    EXPECT_EQ(model.lines(), (std::vector<std::string>{"DISP", "D", "p h 1", "p x 3", "p s 0", "p t 125",
                                                       "p l-20", "p s 1", "t"}));
    EXPECT_EQ(SndBuf[0], ampsim::ModelK::kArmed);
    const auto cap = model.capture();
    EXPECT_TRUE(cap.armed);
    EXPECT_EQ(cap.level, -20);
    EXPECT_EQ(cap.trigger, 1);

    // The ready character comes after the capture time; polls before it see nothing.
    int polls = 0;
    while (!FamilyK().GrpChrK() && polls < 20)
        ++polls;
    EXPECT_LT(polls, 20);
    EXPECT_EQ(ComResult, 130);

    FamilyK().GrpStopK();
    EXPECT_TRUE(model.capture().stopped);
    const auto lines = model.lines();
    EXPECT_EQ(std::vector<std::string>(lines.end() - 2, lines.end()), (std::vector<std::string>{"s", "e"}));
    // Both answers were read, so nothing is left for the next command.
    model.setMonitor(7, 0, 0);
    EXPECT_EQ(FamilyK().MonK(), -1);
    EXPECT_EQ(MonVal.Speed, 7);
}

TEST_F(FamK, CaptureLinesForOtherConditions) {
    ASSERT_EQ(FamilyK().GrpStartK(Cond(0, 1, 1, 9, 5, 0)), -1);
    EXPECT_EQ(model.lines(),
              (std::vector<std::string>{"DISP", "D", "p h 0", "p s 1", "p t", "p l 5", "p s 0", "t"}));
    model.setMonitor(0, 0, 0);
    for (auto [smp, line] : {std::pair{2, "p x 2"}, std::pair{10, "p x 4"}}) {
        FamilyK().GrpStopK();
        ASSERT_EQ(FamilyK().GrpStartK(Cond(2, smp, 0, 5, 0, 1)), -1);
        const auto lines = model.lines();
        EXPECT_EQ(lines[lines.size() - 6], line);
        EXPECT_EQ(lines[lines.size() - 4], "p t 438");
    }
}

TEST_F(FamK, CaptureNotAcknowledged) {
    model.answerError();
    EXPECT_EQ(FamilyK().GrpStartK(Cond(1, 4, 0, 2, -20, 1)), 0);
    EXPECT_EQ(model.lines(), std::vector<std::string>{"DISP"});
}

TEST_F(FamK, AutoTuningSendsTheValueInHexadecimal) {
    EXPECT_EQ(FamilyK().AutoK(300), -1);
    EXPECT_EQ(model.tuningValue(), 255);
    EXPECT_EQ(model.lines().back(), "AUTO 1,FF");
    EXPECT_EQ(FamilyK().AutoK(10), -1);
    EXPECT_EQ(model.lines().back(), "AUTO 1,A");
    EXPECT_EQ(FamilyK().AutoK(-3), -1);
    EXPECT_EQ(model.lines().back(), "AUTO 1,0");
    EXPECT_NE(StoredTextK(RcvTxtK).find("AUTO START%"), std::string::npos);
}

} // namespace
} // namespace famk
