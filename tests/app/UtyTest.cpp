#include "AppTestUtil.h"

#include "app/Glb.h"
#include "app/Uty.h"
#include "monitor/MonGlb.h"
#include "platform/Ask.h"

#include <QSettings>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

TEST(Uty, ModelNameMarks) {
    EXPECT_EQ(DelMark("*AB_C "), "ABC");
    EXPECT_EQ(DelMark(std::string("  R\0X_* ", 8)), "RX");
    EXPECT_EQ(DelMark("*__*"), "");
    EXPECT_EQ(AstToUnder(std::string("A*B\0C", 5)), "A_B_C");
    EXPECT_EQ(DelCommaQuote("a,\"b\",c"), "abc");
}

TEST(Uty, HexTextTakesTheLastDigitsOfTwosComplement) {
    EXPECT_EQ(HexB0x(-1), "0xFF");
    EXPECT_EQ(HexB0x(0x1234), "0x34");
    EXPECT_EQ(HexW0x(10), "0x000A");
    EXPECT_EQ(HexW0x(-2), "0xFFFE");
    EXPECT_EQ(HexL0x(-1), "0xFFFFFFFF");
    EXPECT_EQ(HexL0x(0xABC), "0x00000ABC");
    EXPECT_EQ(Hex2(255), "FF");
    EXPECT_EQ(Hex2(0x10A), "0A");
    EXPECT_EQ(GetSeriesKey(13), "???");
}

TEST(Uty, ValToIntClampsStoresBackAndRoundsHalfToEven) {
    Variant v(std::string("40000"));
    EXPECT_EQ(ValToInt(v), 32767);
    EXPECT_DOUBLE_EQ(v.ToDouble(), 32767.0);

    v = Variant(std::string("-40000"));
    EXPECT_EQ(ValToInt(v), -32768);
    EXPECT_DOUBLE_EQ(v.ToDouble(), -32768.0);

    v = Variant(std::string("abc"));
    EXPECT_EQ(ValToInt(v), 0);
    EXPECT_DOUBLE_EQ(v.ToDouble(), 0.0);

    EXPECT_EQ(ValToInt("2.5"), 2);
    EXPECT_EQ(ValToInt("3.5"), 4);
    EXPECT_EQ(ValToInt("-2.5"), -2);
    EXPECT_EQ(ValToInt(" 12abc"), 12);
    // Rounding after the clamp must not step outside the range.
    EXPECT_EQ(ValToInt("32767.4"), 32767);

    Variant d(1e12);
    EXPECT_EQ(ValToLng(d), 2147483647);
    EXPECT_DOUBLE_EQ(d.ToDouble(), 2147483647.0);
    EXPECT_EQ(ValToLng("-3000000000"), INT32_MIN);
    EXPECT_EQ(ValToLng("100000.5"), 100000);
    Variant b(true);
    EXPECT_EQ(ValToInt(b), -1);
}

TEST(Uty, SetBitWidensTheMaskWithItsSign) {
    int32_t flags = 0;
    SetBit32(flags, static_cast<int16_t>(0x8000), true);
    EXPECT_EQ(static_cast<uint32_t>(flags), 0xFFFF8000u);
    SetBit32(flags, static_cast<int16_t>(0x8000), false);
    EXPECT_EQ(flags, 0);

    flags = 0x00010001;
    SetBit32(flags, 0x0001, false);
    EXPECT_EQ(flags, 0x00010000);

    int16_t w = 0x0F;
    SetBit16(w, 0x30, true);
    EXPECT_EQ(w, 0x3F);
    SetBit16(w, 0x05, false);
    EXPECT_EQ(w, 0x3A);
}

TEST(Uty, ByteToStrStaysInsideTheArray) {
    const std::vector<uint8_t> bytes = {'T', 'E', 'S', 'K', 0xB1};
    EXPECT_EQ(ByteToStr(bytes, 1, 3), "ESK");
    EXPECT_EQ(ByteToStr(bytes, 3, 10), "K\xC2\xB1");
    EXPECT_EQ(ByteToStr(bytes, 7, 2), "");
    EXPECT_EQ(ByteToStr(bytes, -1, 2), "");
}

class CpuVerTest : public ::testing::Test {
  protected:
    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }
    static void Clear() {
        for (CpuVerRec& e : CpuVer)
            e = CpuVerRec{};
    }
};

TEST_F(CpuVerTest, VersionKeyUsesTheMinorOfTheSecondEntryForEveryEntry) {
    EXPECT_EQ(GetVerKey(), "");
    CpuVer[0] = {1, 3, 9, 0};
    CpuVer[1] = {1, 1, 2, 0};
    EXPECT_EQ(GetVerKey(), "_132_212");
    CpuVer[10] = {-1, 12, 7, 0};
    EXPECT_EQ(GetVerKey(), "_132_212_11122");
}

TEST(Uty, CatalogueAndEncoderLookUpsHonourTheirCounts) {
    KisyuTbl[0] = {"TESK_R", "MODEL_A", 25};
    KisyuTbl[1] = {"TESK_R", "MODEL_B", 25};
    KisyuTblCnt = 1;
    EXPECT_TRUE(ChkKisyuList("TESK_R", "MODEL_A"));
    EXPECT_FALSE(ChkKisyuList("TESK_R", "MODEL_B")); // beyond the count
    KisyuTblCnt = 5000;                              // damaged count: no read past the table
    EXPECT_TRUE(ChkKisyuList("TESK_R", "MODEL_B"));
    EXPECT_FALSE(ChkKisyuList("TESK_X", "MODEL_A"));
    KisyuTbl[0] = KisyuTbl[1] = KisyuRec{};
    KisyuTblCnt = 0;

    EncoderTbl[0] = {7, "row0", 0, 0, 0, 0, -1};
    EncoderTbl[3] = {7, "off", 0, 0, 0, 0, 0};
    EncoderTbl[4] = {7, "on", 0, 0, 0, 0, -1};
    EXPECT_EQ(GetMoniItem(7), 4);
    EXPECT_EQ(GetMoniItem(8), 0);
    EncoderTbl[0] = EncoderTbl[3] = EncoderTbl[4] = EncoderRec{};
}

TEST(Uty, ErrMsgReportsOnceAndClears) {
    plat::ScriptedAsker asker;
    EXPECT_EQ(ErrMsg("Saving"), 0);
    EXPECT_TRUE(asker.Asked().empty());

    SetErr(ErrFileAccess, "Disk full");
    SetErr(ErrPastEnd, "later damage"); // the first error is the one reported
    EXPECT_EQ(ErrMsg("Saving"), ErrFileAccess);
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].text, "Saving : Disk full");
    EXPECT_EQ(asker.Asked()[0].title, "Error occurs");
    EXPECT_EQ(ErrMsg("Saving"), 0);
    EXPECT_EQ(asker.Asked().size(), 1u);
}

TEST(Uty, MsgYesNoIsYesUnlessNo) {
    plat::ScriptedAsker asker;
    asker.Push(plat::No);
    asker.Push(plat::Cancel);
    EXPECT_FALSE(MsgYesNo("Go?", "Title"));
    EXPECT_TRUE(MsgYesNo("Go?", "Title"));
    EXPECT_EQ(asker.Asked()[0].buttons, plat::Buttons::YesNo);
    EXPECT_EQ(asker.Asked()[0].title, "Title");
}

TEST(Uty, PathsAddOneSeparatorAndFindFilesWithoutRegardToCase) {
    EXPECT_EQ(AddPath("C:\\", "a.txt"), "C:\\a.txt");
    EXPECT_EQ(AddPath("C:\\x", "a.txt"), "C:\\x\\a.txt");
    EXPECT_EQ(AddPath("/", "a.txt"), "/a.txt");

    TempAppDir dir;
    std::filesystem::create_directories(dir.path() + "/ini/def");
    dir.put("ini/def/default.DEF", "x");
    EXPECT_EQ(AppPath("ini\\def\\default.def"), dir.path() + "/ini/def/default.DEF");
    EXPECT_EQ(AppPath("Log.txt"), dir.path() + "/Log.txt");
}

TEST(Uty, AppendTextLineWritesCp932WithCrLf) {
    TempAppDir dir;
    ASSERT_TRUE(AppendTextLine(AppPath("t.txt"), "a"));
    ASSERT_TRUE(AppendTextLine(AppPath("t.txt"), "\xE3\x81\x82")); // HIRAGANA A
    EXPECT_EQ(dir.get("t.txt"), "a\r\n\x82\xA0\r\n");
    EXPECT_FALSE(AppendTextLine(dir.path() + "/missing/t.txt", "a"));
}

TEST(Uty, WrtLogSwitchCreatesTheKeyAndWritesOnlyWhenSwitchedOn) {
    TempAppDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(dir.path()));
    const QString key = QStringLiteral("Log/Switch");

    WrtLogSwitch("t", "FilLog.txt");
    {
        QSettings s(QStringLiteral("Mevalo"), QStringLiteral("Mevalo"));
        EXPECT_TRUE(s.contains(key));
        EXPECT_EQ(s.value(key).toString(), QStringLiteral("OFF"));
        s.setValue(key, QStringLiteral("ON"));
    }
    EXPECT_FALSE(dir.exists("FilLog.txt"));

    WrtLogSwitch("t", "FilLog.txt");
    WrtLogSwitch("u", "FilLog.txt");
    EXPECT_EQ(dir.get("FilLog.txt"), "t\r\nu\r\n");
    QSettings(QStringLiteral("Mevalo"), QStringLiteral("Mevalo")).remove(key);
}

TEST(Uty, ResourceProbeOpensAndClosesItsWindow) {
    plat::ScriptedAsker asker;
    EXPECT_FALSE(ChkResourceSmall());
    EXPECT_TRUE(asker.Asked().empty());
    FlushDeletes();
    EXPECT_FALSE(IsFrmLoad("FrmPetitDummy"));
}
