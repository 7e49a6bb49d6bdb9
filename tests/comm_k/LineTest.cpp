// Alarms, history, I/O states and the monitor of family K through the series dispatcher, and the line
// layer's failure paths: "ERROR" answers, echo faults, silence, short and runaway replies.
#include "FamKEnv.h"

#include <array>

namespace famk {
namespace {

// Every alarm code the "ERR_MON" digits can name.
constexpr int kAlarmCodes[] = {13, 24, 29, 26, 16, 15, 12, 14, 22, 38, 27,
                               43, 42, 41, 40, 46, 36, 84, 98, 25, 30};

TEST_F(FamK, CurrentAlarmOfEveryCode) {
    ASSERT_EQ(CurrentFamily(), CmdFamilyKind::K);
    for (int code : kAlarmCodes) {
        model.raiseAlarm(code);
        AlmNo = -5;
        ASSERT_EQ(ReadErrMon(), -1) << code;
        EXPECT_EQ(AlmNo, code);
    }
    model.clearAlarm();
    ASSERT_EQ(ReadErrMon(), -1);
    EXPECT_EQ(AlmNo, 0);
    EXPECT_EQ(FromPc().substr(0, 8), "ERR_MON\r");
}

TEST_F(FamK, AlarmDigitsFirstMatchWinsAndAlarmFlagWithoutBitKeepsCode) {
    AlmNo = 77;
    model.replaceReply("40000000\r\n%");
    ASSERT_EQ(ReadErrMon(), -1);
    EXPECT_EQ(AlmNo, 77);
    model.replaceReply("46000000\r\n%");
    ASSERT_EQ(ReadErrMon(), -1);
    EXPECT_EQ(AlmNo, 29);
    // A later digit overwrites an earlier one.
    model.replaceReply("4800000F\r\n%");
    ASSERT_EQ(ReadErrMon(), -1);
    EXPECT_EQ(AlmNo, 84);
}

TEST_F(FamK, HistoryIoAndMonitor) {
    model.setHistory({1, 2, 3, 0x40, 0x5A, 0xFF, 7, 8});
    ASSERT_EQ(ReadAlmHist(), -1);
    const int16_t want[8] = {1, 2, 3, 0x40, 0x5A, 0xFF, 7, 8};
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(AlmHist[k], want[k]) << k;

    // Each input and output bit on its own, so that a swapped pair shows.
    int32_t in = 0, out = 0;
    int16_t ctrl = 0, aux = 0, warn = 0;
    for (uint32_t bit : {0x1u, 0x2u, 0x4u, 0x8u, 0x10u, 0x20u, 0x40u, 0x80u, 0x100u, 0x200u, 0x400u}) {
        model.setIo(bit, 0);
        ASSERT_EQ(ReadIoMon(in, out, ctrl, aux, warn), -1);
        EXPECT_EQ(in, static_cast<int32_t>(bit));
        EXPECT_EQ(out, 0);
    }
    for (uint32_t bit : {0x1u, 0x2u, 0x4u, 0x8u, 0x10u, 0x20u, 0x40u, 0x80u, 0x100u, 0x200u, 0x80000u}) {
        model.setIo(0, bit);
        ASSERT_EQ(ReadIoMon(in, out, ctrl, aux, warn), -1);
        EXPECT_EQ(in, 0);
        EXPECT_EQ(out, static_cast<int32_t>(bit));
    }

    // Torque travels times 5 and comes back rounded down; the counter moves with every read.
    model.setMonitor(1500, -37, 100, true);
    ASSERT_EQ(FamilyK().MonK(), -1);
    EXPECT_EQ(MonVal.Speed, 1500);
    EXPECT_EQ(MonVal.Torque, -37);
    EXPECT_EQ(MonVal.Counter, 101);
    model.replaceReply("FFFF  FFFF  0010\r\n%");
    ASSERT_EQ(FamilyK().MonK(), -1);
    EXPECT_EQ(MonVal.Speed, -1);
    EXPECT_EQ(MonVal.Torque, -1);
    EXPECT_EQ(MonVal.Counter, 16);
}

TEST_F(FamK, ErrorAnswersGiveMinusTwoAndChangeNothing) {
    AlmNo = 9;
    AlmHist[0] = 9;
    MonVal = MonValRec{1, 2, 3};
    int32_t in = 5, out = 6;
    int16_t x = 0;
    model.answerError();
    EXPECT_EQ(ReadErrMon(), -2);
    model.answerError();
    EXPECT_EQ(ReadAlmHist(), -2);
    model.answerError();
    EXPECT_EQ(ReadIoMon(in, out, x, x, x), -2);
    model.answerError();
    EXPECT_EQ(FamilyK().MonK(), -2);
    EXPECT_EQ(AlmNo, 9);
    EXPECT_EQ(AlmHist[0], 9);
    EXPECT_EQ(MonVal.Counter, 3);
    EXPECT_EQ(in, 5);
    EXPECT_EQ(out, 6);
    // Only the exact word at the start counts.
    model.replaceReply("error\r\n%");
    EXPECT_EQ(ReadErrMon(), 0);
}

TEST_F(FamK, ShortOrGarbledRepliesFailWithoutReadingPastTheEnd) {
    AlmNo = 9;
    AlmHist[7] = 9;
    MonVal = MonValRec{1, 2, 3};
    int32_t in = 5, out = 6;
    int16_t x = 0;
    model.replaceReply("%");
    EXPECT_EQ(ReadErrMon(), 0);
    // A reply of only "%" is complete and not "ERROR".
    EXPECT_EQ(RcvTxtK[0], Variant(int16_t(37)));
    EXPECT_EQ(RcvTxtK[1], Variant(int16_t(-1)));
    EXPECT_EQ(RcvTxtK[2], Variant(int16_t(0)));
    EXPECT_EQ(RcvOkK(RcvTxtK), -1);

    model.replaceReply("4600%");
    EXPECT_EQ(ReadErrMon(), 0);
    model.replaceReply("HST 01  02  03  04  05  06  07  0%");
    EXPECT_EQ(ReadAlmHist(), 0);
    model.replaceReply("8000000\r\n%");
    EXPECT_EQ(ReadIoMon(in, out, x, x, x), 0);
    model.replaceReply("0001  0002  003%");
    EXPECT_EQ(FamilyK().MonK(), 0);
    model.replaceReply("0001  00Z2  0003%");
    EXPECT_EQ(FamilyK().MonK(), 0);
    EXPECT_EQ(AlmNo, 9);
    EXPECT_EQ(AlmHist[7], 9);
    EXPECT_EQ(MonVal.Speed, 1);
    EXPECT_EQ(in, 5);
    EXPECT_EQ(out, 6);

    // Silence ends the reply at the first time-out: an empty reply, no values.
    model.silence();
    EXPECT_EQ(ReadErrMon(), 0);
    // A reply that never ends is a failure after 601 characters.
    model.replaceReply(std::string(700, 'A'));
    EXPECT_EQ(ReadErrMon(), 0);
    EXPECT_TRUE(Asked().empty());
}

TEST_F(FamK, EchoFaultStopsTheCommandAndTellsTheUser) {
    model.breakEcho(2);
    AlmNo = 9;
    EXPECT_EQ(ReadErrMon(), 0);
    EXPECT_EQ(AlmNo, 9);
    EXPECT_EQ(Asked(), std::vector<std::string>{"Communication error"});
    // Nothing after the character whose echo was wrong, not even CR.
    EXPECT_EQ(FromPc(), "ERR");

    // No echo at all.
    sim.setLineHandler(nullptr);
    EXPECT_EQ(SndLineEchoK("MON"), 0);
    EXPECT_EQ(Asked().size(), 2u);
}

TEST_F(FamK, LinesStopAtAControlCharacter) {
    EXPECT_EQ(SndLineEchoK(std::string("MON\tX")), -1);
    EXPECT_EQ(RcvLineK(RcvTxtK), -1);
    EXPECT_EQ(StoredTextK(RcvTxtK).substr(0, 4), "0000");
    EXPECT_EQ(model.lines(), std::vector<std::string>{"MON"});
    EXPECT_EQ(FromPc(), "MON\r");
}

} // namespace
} // namespace famk
