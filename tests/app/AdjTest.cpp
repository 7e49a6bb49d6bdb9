#include "AppTestUtil.h"

#include "app/Adj.h"
#include "app/Uty.h"
#include "platform/Ask.h"

#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

AdjTbl OneRecord(const char* format = "0") {
    AdjTbl t;
    t.Rec[0] = {"time1", 3, 1, 10, format};
    t.Cnt = 1;
    return t;
}

} // namespace

TEST(Adj, FormatsWithDigitPlaceholders) {
    EXPECT_EQ(AdjFormat(1, "0"), "1");
    EXPECT_EQ(AdjFormat(12.6, "0"), "13");
    EXPECT_EQ(AdjFormat(0.1, "0.0"), "0.1");
    EXPECT_EQ(AdjFormat(3, "0.00"), "3.00");
    EXPECT_EQ(AdjFormat(-0.04, "0.0"), "0.0");
    EXPECT_EQ(AdjFormat(-2.5, "0.0"), "-2.5");
    EXPECT_EQ(AdjFormat(0.5, "#.##"), ".5");
    EXPECT_EQ(AdjFormat(7, "000"), "007");
    EXPECT_EQ(AdjFormat(2.5, ""), "2.5");
    EXPECT_EQ(AdjFormat(0.5, "General"), "0.5");
}

TEST(Adj, ClampsIntoTheRecordsLimits) {
    const AdjTbl t = OneRecord();
    EXPECT_EQ(AdjClampText(t, "time1", ""), "3"); // not a number: the default
    EXPECT_EQ(AdjClampText(t, "time1", "x"), "3");
    EXPECT_EQ(AdjClampText(t, "time1", "0.5"), "1"); // at or below the lower limit
    EXPECT_EQ(AdjClampText(t, "time1", "12"), "10"); // at or above the upper limit
    EXPECT_EQ(AdjClampText(t, "time1", "1"), "1");
    EXPECT_EQ(AdjClampText(t, "time1", "1.0"), "1");   // the limit is rewritten with the format
    EXPECT_EQ(AdjClampText(t, "time1", "5.5"), "5.5"); // inside the limits: kept as typed
    EXPECT_FALSE(AdjClampText(t, "time2", "5"));
    EXPECT_EQ(AdjClampText(OneRecord("0.0"), "time1", "-3"), "1.0");
}

TEST(Adj, OnlyCountedRecordsMatch) {
    AdjTbl t = OneRecord();
    t.Rec[1] = {"time2", 0, 0, 1, "0"};
    EXPECT_FALSE(AdjClampText(t, "time2", "5"));
    t.Cnt = -4; // a damaged count matches nothing rather than reading garbage
    EXPECT_FALSE(AdjClampText(t, "time1", "5"));
}

TEST(Adj, CtrlRewritesTheBoxOrSaysThereIsNoRecord) {
    plat::ScriptedAsker asker;
    const AdjTbl t = OneRecord();
    QLineEdit box;
    box.setObjectName(QStringLiteral("time1"));
    box.setText(QStringLiteral("12"));
    ADJ_Ctrl(t, &box);
    EXPECT_EQ(box.text(), QStringLiteral("10"));
    EXPECT_TRUE(asker.Asked().empty());

    QLineEdit other;
    other.setObjectName(QStringLiteral("retry"));
    other.setText(QStringLiteral("99"));
    ADJ_Ctrl(t, &other);
    EXPECT_EQ(other.text(), QStringLiteral("99"));
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].text, "ADJ_Ctrl : No corresponding control");
    EXPECT_EQ(asker.Asked()[0].title, plat::DefaultTitle());
}

TEST(Adj, LoadsRecordsInTheOrderNameLowerDefaultUpperFormat) {
    TempAppDir dir;
    dir.put("t.adj",
            "\"time1\",1,3,10,\"0\"\r\n  time2 , 0.5s , 2 , 60 , \"0.0\"\r\n\r\nretry,1,\n3,10,0\nEND\n");
    plat::ScriptedAsker asker;
    AdjTbl t;
    ASSERT_TRUE(LoadAdj(t, "T.ADJ")); // program files are found without regard to case
    EXPECT_TRUE(asker.Asked().empty());
    ASSERT_EQ(t.Cnt, 3);
    EXPECT_EQ(t.Rec[0].Name, "time1");
    EXPECT_DOUBLE_EQ(t.Rec[0].Lower, 1);
    EXPECT_DOUBLE_EQ(t.Rec[0].Def, 3);
    EXPECT_DOUBLE_EQ(t.Rec[0].Upper, 10);
    EXPECT_EQ(t.Rec[0].Format, "0");
    EXPECT_EQ(t.Rec[1].Name, "time2");
    EXPECT_DOUBLE_EQ(t.Rec[1].Lower, 0.5);
    EXPECT_EQ(t.Rec[1].Format, "0.0");
    EXPECT_EQ(t.Rec[2].Name, "retry"); // a record may run over several lines
    EXPECT_DOUBLE_EQ(t.Rec[2].Upper, 10);
}

TEST(Adj, EndFirstGivesAnEmptyTable) {
    TempAppDir dir;
    dir.put("e.adj", "END\r\n\"time1\",1,3,10,\"0\"\r\n");
    plat::ScriptedAsker asker;
    AdjTbl t = OneRecord();
    ASSERT_TRUE(LoadAdj(t, "e.adj"));
    EXPECT_EQ(t.Cnt, 0);
    QLineEdit box;
    box.setObjectName(QStringLiteral("time1"));
    ADJ_Ctrl(t, &box);
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].text, "ADJ_Ctrl : No corresponding control");
}

TEST(Adj, MissingFileIsReportedAndKeepsTheTable) {
    TempAppDir dir;
    plat::ScriptedAsker asker;
    AdjTbl t = OneRecord();
    EXPECT_FALSE(LoadAdj(t, "com.adj"));
    EXPECT_EQ(t.Cnt, 1);
    EXPECT_EQ(t.Rec[0].Name, "time1");
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].text.rfind("Upper and lower limit of the value:com.adj : ", 0), 0u);
    EXPECT_EQ(asker.Asked()[0].title, "Error occurs");
    EXPECT_EQ(Err().Number, 0);
}

TEST(Adj, TruncatedRecordIsReportedAndNotCounted) {
    TempAppDir dir;
    dir.put("c.adj", "a,1,2,3,\"0\"\nb,1,2\n");
    plat::ScriptedAsker asker;
    AdjTbl t;
    ASSERT_TRUE(LoadAdj(t, "c.adj"));
    EXPECT_EQ(t.Cnt, 1);
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].text, "Upper and lower limit of the value:c.adj : Input past end of file");
}

TEST(Adj, ReadsAtMostFiftyOneRecords) {
    TempAppDir dir;
    std::string text;
    for (int i = 0; i < 60; ++i)
        text += "n" + std::to_string(i) + ",0,1,2,\"0\"\r\n";
    dir.put("big.adj", text);
    plat::ScriptedAsker asker;
    AdjTbl t;
    ASSERT_TRUE(LoadAdj(t, "big.adj"));
    EXPECT_EQ(t.Cnt, AdjRecCnt);
    EXPECT_EQ(t.Rec[50].Name, "n50");
    EXPECT_TRUE(asker.Asked().empty());
}

TEST(Adj, ShippedTablesGovernTheirDialogsBoxes) {
    plat::SetAppDir(MEVALO_RUNTIME_DIR);
    plat::ScriptedAsker asker;
    AdjTbl com;
    ASSERT_TRUE(LoadAdj(com, "com.adj"));
    AdjTbl sok;
    ASSERT_TRUE(LoadAdj(sok, "sokutei.adj"));
    plat::SetAppDir({});
    EXPECT_TRUE(asker.Asked().empty());

    for (const char* name : {"time1", "time2", "retry"}) {
        ASSERT_TRUE(AdjClampText(com, name, "")) << name;
    }
    // A retry count of 0 would make every request fail at once.
    EXPECT_EQ(AdjClampText(com, "retry", "0"), "1");
    for (const char* name : {"TxtAmp", "TxtOff", "TxtSmp"}) {
        ASSERT_TRUE(AdjClampText(sok, name, "")) << name;
    }
    for (int i = 0; i < com.Cnt; ++i)
        EXPECT_LT(com.Rec[i].Lower, com.Rec[i].Upper);
    for (int i = 0; i < sok.Cnt; ++i)
        EXPECT_LT(sok.Rec[i].Lower, sok.Rec[i].Upper);
}
