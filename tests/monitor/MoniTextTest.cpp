// Texts of values, bit lists and alarm codes, and the pages the series' options give.
#include "MoniEnv.h"

#include "monitor/MoniLogic.h"

#include <gtest/gtest.h>

TEST(MoniText, CodesAndNumbersIncludingOnesOutsideTheTables) {
    monitest::Definitions();
    EXPECT_EQ(AlmCodeText(16), " 16 Overcurrent");
    EXPECT_EQ(AlmCodeText(250), " 250 ?250");
    EXPECT_EQ(AlmDetailText(16), "Current above the limit");
    EXPECT_EQ(AlmDetailText(231), "");
    EXPECT_EQ(CtrlModeText(2), "Speed control");
    EXPECT_EQ(CtrlModeText(200), "?200");
    // Inside the tables a name the definition leaves empty stays empty.
    EXPECT_EQ(CtrlModeText(9), "");
    EXPECT_EQ(AlmCodeText(33), " 33 ");
    EXPECT_EQ(AlmCodeText(201), " 201 ?201");
    EXPECT_EQ(CtrlModeText(11), "?11");
    EXPECT_FALSE(IsFullClosedMode(200));
    EXPECT_EQ(HexText(0x12345678), "12345678");
    EXPECT_EQ(HexText(-1), "FFFFFFFF");
    EXPECT_EQ(Hex4Text(-1), "FFFF");
    EXPECT_EQ(Hex4Text(0xAB), "AB");
    EXPECT_EQ(GeneralNumber(1500), "1500");
    EXPECT_EQ(GeneralNumber(-12.5), "-12.5");
}

TEST(MoniText, BitListsTakeTheSetOrClearNames) {
    monitest::Definitions();
    const auto io2 = IoLines(static_cast<int32_t>(0x80010000u), IoIn, 16);
    ASSERT_EQ(io2.size(), 16u);
    EXPECT_EQ(io2[0], "IN16 on");
    EXPECT_EQ(io2[1], "IN17 off");
    EXPECT_EQ(io2[15], "IN31 on");
    EXPECT_EQ(WarnLines(0x0009), (std::vector<std::string>{"Overload warning", "Battery warning"}));
    EXPECT_TRUE(WarnLines(0).empty());
}

TEST(MoniText, TabsFollowTheOptions) {
    monitest::Definitions();
    EXPECT_EQ(MoniTabs(), (std::vector<std::string>{"I/O 1", "I/O 2", "Pulse", "Load", "Absolute encoder",
                                                    "Full closed"}));
    MoniOptIo1 = MoniOptIo2 = MoniOptLoad = MoniOptAbso = 0;
    EXPECT_EQ(MoniTabs(), (std::vector<std::string>{"Pulse", "Full closed"}));
    EXPECT_EQ(MoniPageOfTab("Pulse"), 3);
    EXPECT_EQ(MoniPageOfTab("pulse"), -1);
}
