// Waveform files: round trips of every kind, the older versions, the load selections and refusals.
#include <cstdlib>

#include "../common/Oversized.h"
#include "../common/WorkCost.h"
#include "DataFiles.h"
#include "data/PrmGlb.h"
#include "data/WavFil.h"
#include "monitor/MonGlb.h"
#include "platform/TextFile.h"

namespace {

class WavFiles : public DataFileTest {
protected:
    void SetUp() override
    {
        DataFileTest::SetUp();
        WavGraph = WavGraphRec{};
        SokuTeiDate = WavDateRec{};
        WavView = WavViewRec{};
        WavLoaded = WavLoadRec{};
        WavMaxItem = 20;
    }

    // A measurement where every field the files carry differs from its default.
    static void Fill()
    {
        WavGraphRec& g = WavGraph;
        const int16_t words[] = {-1, 0, -1, -1, 0, -1, 0, 2, 3, 1, 0, 0, 1, 3, 1, -500, 3, 1};
        std::copy(std::begin(words), std::end(words), g.Word);
        g.SmpTime = 0.000125;
        for (int r = 0; r < WavChCnt; ++r) {
            WavChRec& c = g.Ch[r];
            c.Color = 0x010203 * (r + 1);
            c.DataValid = r % 3 == 0 ? 0 : -1;
            c.RangeIdx = static_cast<int16_t>(r % 7 + 1);
            c.YOff = static_cast<float>(r - 5);
            c.XOff = r < 6 ? 37.5f : 1.0f;
            c.XScale = r < 6 ? 4.0f : 1.0f;
            for (int i = 0; i < 500; ++i) c.RawData[i] = static_cast<int16_t>((i * 131 + r * 977) % 65536 - 32768);
        }
        g.Ch[2].RawData[0] = -32768;
        g.Ch[2].RawData[1] = 32767;
        for (int i = 2; i < 500; ++i) g.Ch[2].RawData[i] = static_cast<int16_t>(i % 2 ? 201 - i : (i * 67) % 32767);
        SokuTeiDate = WavDateRec{2024, 1, 2, 3, 4, 5};
        WavView = WavViewRec{250, {-1, 0, 0, -1, 0, -1}, {0, -1, 0, 0, -1, 0}, {1, 1, 0, 1, 0, 1}, 1};
        CommentTxt[1][0] = "first line";
        CommentTxt[1][4] = "last line";
    }

    static void ExpectConditionEq(const WavGraphRec& a, const WavGraphRec& b)
    {
        for (int w : {0, 1, 2, 3, 4, 5, 13, 14, 15, 16, 17}) EXPECT_EQ(a.Word[w], b.Word[w]) << "word " << w;
        EXPECT_EQ(a.SmpTime, b.SmpTime);
        for (int r = 0; r < WavChCnt; ++r) EXPECT_EQ(a.Ch[r].Color, b.Ch[r].Color) << "record " << r;
        for (int r : {1, 2, 3, 5}) {
            EXPECT_EQ(a.Ch[r].YOff, b.Ch[r].YOff) << "record " << r;
            EXPECT_EQ(a.Ch[r].RangeIdx, b.Ch[r].RangeIdx) << "record " << r;
        }
        for (int r = 0; r < 6; ++r) {
            EXPECT_EQ(a.Ch[r].XOff, b.Ch[r].XOff);
            EXPECT_EQ(a.Ch[r].XScale, b.Ch[r].XScale);
        }
    }

    static void ExpectResultEq(const WavGraphRec& a, const WavGraphRec& b, int first, int last)
    {
        for (int r = first; r <= last; ++r) {
            EXPECT_EQ(a.Ch[r].DataValid, b.Ch[r].DataValid) << "record " << r;
            for (int i = 0; i < 500; ++i)
                ASSERT_EQ(a.Ch[r].RawData[i], b.Ch[r].RawData[i]) << "record " << r << " sample " << i;
        }
    }

    static void Clear()
    {
        WavGraph = WavGraphRec{};
        SokuTeiDate = WavDateRec{};
        WavView = WavViewRec{};
        WavLoaded = WavLoadRec{};
        for (auto& line : CommentTxt[1]) line.clear();
    }

    // Changes a written file's text: the first occurrence of from becomes to.
    std::string Edit(const std::string& path, const std::string& from, const std::string& to)
    {
        std::string text = Slurp(path);
        const size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) text.replace(at, from.size(), to);
        return Put("edited" + path.substr(path.size() - 4), text);
    }
};

TEST_F(WavFiles, EveryKindReadsBackWhatItWrote)
{
    for (int16_t scale : {1, 20, 29, 32767}) {
        SCOPED_TRACE(scale);
        WavMaxItem = scale;
        Fill();
        const WavGraphRec saved = WavGraph;
        ASSERT_EQ(FIL_SaveWaveFile(Path("a.wgd")), -1);
        ASSERT_EQ(FIL_SaveWavePrmFile(Path("a.wgp")), -1);
        EXPECT_EQ(WavFileVer, 4);

        for (auto load : {FIL_LoadWaveFile, FIL_LoadWavePrmFile}) {
            Clear();
            ASSERT_EQ(load(Path(load == FIL_LoadWaveFile ? "a.wgd" : "a.wgp")), -1);
            EXPECT_EQ(WavFileVer, 4);
            ExpectConditionEq(WavGraph, saved);
            ExpectResultEq(WavGraph, saved, 0, WavChCnt - 1);
            EXPECT_EQ(SokuTeiDate, (WavDateRec{2024, 1, 2, 3, 4, 5}));
            EXPECT_EQ(WavView, (WavViewRec{250, {-1, 0, 0, -1, 0, -1}, {0, -1, 0, 0, -1, 0}, {1, 1, 0, 1, 0, 1}, 1}));
            EXPECT_EQ(CommentTxt[1][0], "first line");
            EXPECT_EQ(CommentTxt[1][4], "last line");
            EXPECT_TRUE(WavLoaded.Cond && WavLoaded.Sampling && WavLoaded.YAxes && WavLoaded.TimeAxis);
            EXPECT_TRUE(WavLoaded.DataValid[5] && WavLoaded.RefDataValid[0] && WavLoaded.ChkRefDsp);
        }
    }

    // The condition kinds carry the condition only; the samples in memory stay.
    Fill();
    const WavGraphRec saved = WavGraph;
    ASSERT_EQ(FIL_SaveWaveCndFile(Path("c.wgc")), -1);
    ASSERT_EQ(FIL_SaveUserWaveCnd(Path("user.wgc")), -1);
    for (const char* name : {"c.wgc", "user.wgc"}) {
        Clear();
        WavGraph.Ch[1].RawData[7] = 99;
        ASSERT_EQ(FIL_LoadWaveCndFile(Path(name)), -1) << name;
        ExpectConditionEq(WavGraph, saved);
        EXPECT_EQ(WavGraph.Ch[1].RawData[7], 99);
        EXPECT_FALSE(WavLoaded.DataValid[0]);
    }
}

TEST_F(WavFiles, GroupsAndLinesAsWritten)
{
    Fill();
    WavGraph.Ch[1].RawData[0] = 120;
    WavGraph.Ch[2].RawData[0] = 70;
    WavGraph.Ch[3].RawData[0] = -2;
    WavGraph.Ch[0].RawData[0] = 118;
    WavGraph.Ch[4].RawData[0] = 0;
    WavGraph.Ch[5].RawData[0] = 1;
    WavGraph.Ch[2].RawData[1] = 3;
    ASSERT_EQ(FIL_SaveWaveFile(Path("a.wgd")), -1);
    const std::string text = Slurp(Path("a.wgd"));
    EXPECT_NE(text.find("\r\nDATA,0,120,3.5,-2,118,0,1\r\n"), std::string::npos);
    // 3 / 20 is written whole, where one decimal would have lost it.
    EXPECT_NE(text.find("\r\nDATA,1,"), std::string::npos);
    EXPECT_NE(text.find(",0.15,"), std::string::npos);
    EXPECT_NE(text.find(" 4 ,#Version of wave graphic data\r\n"), std::string::npos);
    EXPECT_NE(text.find("2024/01/02 03:04:05,#Date and time of measurement\r\n"), std::string::npos);
    EXPECT_NE(text.find(",#In position  measurement or none\r\n"), std::string::npos);

    const std::vector<std::string> wave = {"WAVE GRAPH VERSION,1", "WAVE GRAPH CONDITION,1", "WAVE GRAPH STATUS,1",
                                           "WAVE GRAPH DATA,500", "WAVE REF GRAPH STATUS,1",
                                           "WAVE REF GRAPH DATA,500"};
    std::vector<std::string> wgd = {"MODEL,1", "WAVE COMMENT,5", "CPU VER,11", "MOTOR MODEL,1"};
    wgd.insert(wgd.end(), wave.begin(), wave.end());
    EXPECT_EQ(Groups(Path("a.wgd")), wgd);

    Prm16MaxAll = 9;
    Prm32Cnt = -1;
    Prm32MaxAll = 4;
    ASSERT_EQ(FIL_SaveWavePrmFile(Path("a.wgp")), -1);
    std::vector<std::string> wgp = {"MODEL,1", "WAVE COMMENT,5", "PARA COMMENT,5", "CPU VER,11", "MOTOR MODEL,1"};
    wgp.insert(wgp.end(), wave.begin(), wave.end());
    wgp.insert(wgp.end(), {"USER DATA,10", "PARA TYPE,10", "USER DATA32,4", "PARA TYPE32,4"});
    EXPECT_EQ(Groups(Path("a.wgp")), wgp);

    ASSERT_EQ(FIL_SaveWaveCndFile(Path("a.wgc")), -1);
    EXPECT_EQ(Groups(Path("a.wgc")), (std::vector<std::string>{"WAVE COMMENT,5", "CPU VER,11", "MOTOR MODEL,1",
                                                                "WAVE GRAPH VERSION,1", "WAVE GRAPH CONDITION,1"}));
    ASSERT_EQ(FIL_SaveUserWaveCnd(Path("user.wgc")), -1);
    EXPECT_EQ(Groups(Path("user.wgc")),
              (std::vector<std::string>{"WAVE GRAPH VERSION,1", "WAVE GRAPH CONDITION,1"}));
}

// A version 2 file: four channels, the data-present flags in the condition, no version group.
const char* kVersion2 =
    "WAVE GRAPH CONDITION,1\r\nDATA,0\r\n"
    "2001/02/03 04:05:06,OLD01,1,1,0,1,1,0,1,1,5,.0002,1,300,2,0,-2,3,1,3,5,6,20,2,40,"
    "255,65280,16711680,123,1,0,0,1,1,3,0,2\r\nEND\r\n"
    "WAVE GRAPH DATA,2\r\nDATA,0,100,2.5,-3,90\r\nDATA,1,-7,-1.05,4,8\r\nEND\r\nDEF END,0\r\n";

TEST_F(WavFiles, Version2FileReadsFourChannels)
{
    plat::ScriptedAsker asker;
    WavGraph.Word[4] = WavGraph.Word[5] = -1;
    WavGraph.Ch[4].DataValid = -1;
    ASSERT_EQ(FIL_LoadWaveFile(Put("old.wgd", kVersion2)), -1);
    EXPECT_TRUE(asker.Asked().empty());
    EXPECT_EQ(WavFileVer, 2);
    const WavGraphRec& g = WavGraph;
    EXPECT_EQ(std::vector<int16_t>(g.Word, g.Word + 6), (std::vector<int16_t>{-1, -1, 0, -1, 0, 0}));
    EXPECT_EQ(SokuTeiDate, (WavDateRec{2001, 2, 3, 4, 5, 6}));
    for (int r : {1, 3, 0}) EXPECT_EQ(g.Ch[r].DataValid, -1);
    for (int r : {2, 4, 5}) EXPECT_EQ(g.Ch[r].DataValid, 0);
    EXPECT_EQ(g.Word[WavWSmp], 5);
    EXPECT_EQ(g.SmpTime, 0.0002);
    EXPECT_EQ(std::vector<int16_t>(g.Word + 14, g.Word + 18), (std::vector<int16_t>{1, 300, 2, 0}));
    // The speed range counts from the fifth entry; the in-position axis is reset.
    EXPECT_EQ(g.Ch[1].RangeIdx, 7);
    EXPECT_EQ(g.Ch[2].RangeIdx, 5);
    EXPECT_EQ(g.Ch[3].RangeIdx, 6);
    EXPECT_EQ(g.Ch[5].RangeIdx, 0);
    EXPECT_EQ(g.Ch[1].YOff, -2);
    EXPECT_EQ(g.Ch[5].YOff, 0);
    EXPECT_EQ(g.Ch[4].XScale, 2);
    EXPECT_EQ(g.Ch[0].XOff, 20);
    EXPECT_EQ(g.Ch[0].Color, 123);
    EXPECT_EQ(g.Ch[6].Color, 123); // the reference takes the measured colours
    EXPECT_EQ(g.Ch[7].Color, 255);
    EXPECT_EQ(WavView, (WavViewRec{40, {-1, 0, 0, -1, 0, 0}, {0, 0, 0, 0, 0, 0}, {1, 1, 0, 0, 0, 0}, 0}));
    EXPECT_EQ(g.Ch[1].RawData[0], 100);
    EXPECT_EQ(g.Ch[2].RawData[0], 50);
    EXPECT_EQ(g.Ch[2].RawData[1], -21);
    EXPECT_EQ(g.Ch[0].RawData[1], 8);

    // Asked not to load the condition, the reader says so and loads it all the same.
    WavGraph = WavGraphRec{};
    LoadSel[0] = -1;
    ASSERT_EQ(FIL_LoadWaveFile(Put("old.wgd", kVersion2)), -1);
    EXPECT_EQ(Shown(asker), (std::vector<std::string>{
                                "Notice|The measurement condition is read forcibly. Because the preveious "
                                "version of file is specified."}));
    EXPECT_EQ(WavGraph.Word[WavWSmp], 5);
}

TEST_F(WavFiles, PreviousVersionSavesReadBackAsVersion2)
{
    Fill();
    const WavGraphRec saved = WavGraph;
    ASSERT_EQ(FIL_SaveWaveFileV2(Path("v2.wgd")), -1);
    ASSERT_EQ(FIL_SaveWavePrmFileV2(Path("v2.wgp")), -1);
    ASSERT_EQ(FIL_SaveWaveCndFileV2(Path("v2.wgc")), -1);
    EXPECT_EQ(WavFileVer, 2);
    for (const char* name : {"v2.wgd", "v2.wgp", "v2.wgc"}) {
        SCOPED_TRACE(name);
        const std::string text = Slurp(Path(name));
        EXPECT_EQ(text.find("WAVE GRAPH VERSION"), std::string::npos);
        EXPECT_EQ(text.find("WAVE GRAPH STATUS"), std::string::npos);
        EXPECT_EQ(text.find("WAVE REF GRAPH"), std::string::npos);
        Clear();
        const bool cnd = std::string(name) == "v2.wgc";
        ASSERT_EQ((cnd ? FIL_LoadWaveCndFile : FIL_LoadWaveFile)(Path(name)), -1);
        EXPECT_EQ(WavFileVer, 2);
        const WavGraphRec& g = WavGraph;
        for (int w : {0, 1, 2, 3, 13, 14, 15, 16, 17}) EXPECT_EQ(g.Word[w], saved.Word[w]) << "word " << w;
        EXPECT_EQ(g.SmpTime, saved.SmpTime);
        for (int r : {1, 2, 3}) {
            EXPECT_EQ(g.Ch[r].YOff, saved.Ch[r].YOff) << "record " << r;
            EXPECT_EQ(g.Ch[r].RangeIdx, saved.Ch[r].RangeIdx) << "record " << r;
        }
        for (int r : {1, 2, 3, 0}) EXPECT_EQ(g.Ch[r].Color, saved.Ch[r].Color) << "record " << r;
        EXPECT_EQ(g.Ch[1].XOff, saved.Ch[1].XOff);
        EXPECT_EQ(g.Ch[1].XScale, saved.Ch[1].XScale);
        EXPECT_EQ(WavView, (WavViewRec{250, {-1, 0, 0, -1, 0, 0}, {0, 0, 0, 0, 0, 0}, {1, 1, 0, 1, 0, 0}, 0}));
        if (cnd) continue;
        // The four channels of the older layout come back whole; the others are gone.
        ExpectResultEq(g, saved, 0, 3);
        EXPECT_EQ(g.Ch[4].DataValid, 0);
        EXPECT_EQ(g.Ch[5].DataValid, 0);
    }
}

TEST_F(WavFiles, Version2FileIntoTheReference)
{
    Fill();
    const WavGraphRec before = WavGraph;
    LoadSel[4] = -1;
    ASSERT_EQ(FIL_LoadWaveFile(Put("old.wgd", kVersion2)), -1);
    const WavGraphRec& g = WavGraph;
    for (int r : {7, 9, 6}) EXPECT_EQ(g.Ch[r].DataValid, -1);
    for (int r : {8, 10, 11}) EXPECT_EQ(g.Ch[r].DataValid, 0);
    EXPECT_EQ(g.Ch[7].RawData[0], 100);
    EXPECT_EQ(g.Ch[8].RawData[0], 50);
    EXPECT_EQ(g.Ch[6].RawData[1], 8);
    EXPECT_EQ(g.Ch[6].Color, 123);
    EXPECT_EQ(WavView.RefThick[0], -1);
    EXPECT_EQ(WavView.RefThick[1], 0);
    EXPECT_EQ(WavView.Thick[3], -1); // measured marks 0..3 stay
    EXPECT_EQ(WavView.Thick[5], 0);
    EXPECT_TRUE(WavLoaded.RefDataValid[0] && !WavLoaded.DataValid[0] && !WavLoaded.Cond);
    ExpectResultEq(g, before, 0, 5);
    for (int r = 0; r < 6; ++r) EXPECT_EQ(g.Ch[r].Color, before.Ch[r].Color);
    EXPECT_EQ(std::vector<int16_t>(g.Word, g.Word + 6), std::vector<int16_t>(before.Word, before.Word + 6));
}

TEST_F(WavFiles, Version3AddsFourToTheSpeedRange)
{
    Fill();
    const WavGraphRec saved = WavGraph;
    ASSERT_EQ(FIL_SaveWaveFile(Path("a.wgd")), -1);
    const std::string v3 = Edit(Path("a.wgd"), " 4 ,#Version", " 3 ,#Version");
    Clear();
    ASSERT_EQ(FIL_LoadWaveFile(v3), -1);
    EXPECT_EQ(WavFileVer, 3);
    EXPECT_EQ(WavGraph.Ch[1].RangeIdx, saved.Ch[1].RangeIdx + 4);
    EXPECT_EQ(WavGraph.Ch[2].RangeIdx, saved.Ch[2].RangeIdx);
    ExpectResultEq(WavGraph, saved, 0, WavChCnt - 1);
}

TEST_F(WavFiles, LoadSelectionsLeaveTheirPartsAlone)
{
    Fill();
    ASSERT_EQ(FIL_SaveWaveFile(Path("a.wgd")), -1);
    const WavGraphRec file = WavGraph;
    WavGraphRec other;
    for (WavChRec& c : other.Ch) {
        c.Color = 7;
        std::fill(std::begin(c.RawData), std::end(c.RawData), int16_t(5));
    }

    // The measured result of the file becomes the reference; its condition and reference stay out.
    WavGraph = other;
    LoadSel[4] = -1;
    ASSERT_EQ(FIL_LoadWaveFile(Path("a.wgd")), -1);
    for (int d = 0; d < 6; ++d) {
        EXPECT_EQ(WavGraph.Ch[WavDspToRefRec[d]].RawData[9], file.Ch[WavDspToRec[d]].RawData[9]);
        EXPECT_EQ(WavGraph.Ch[WavDspToRefRec[d]].DataValid, file.Ch[WavDspToRec[d]].DataValid);
    }
    ExpectResultEq(WavGraph, other, 0, 5);
    ExpectConditionEq(WavGraph, other);
    LoadSel[4] = 0;

    for (int skip : {0, 1, 2}) {
        SCOPED_TRACE(skip);
        WavGraph = other;
        LoadSel[skip] = -1;
        ASSERT_EQ(FIL_LoadWaveFile(Path("a.wgd")), -1);
        LoadSel[skip] = 0;
        if (skip == 0) {
            EXPECT_EQ(WavGraph.Ch[1].Color, 7);
            ExpectResultEq(WavGraph, file, 0, WavChCnt - 1);
        } else {
            ExpectResultEq(WavGraph, other, skip == 1 ? 0 : 6, skip == 1 ? 5 : 11);
            ExpectResultEq(WavGraph, file, skip == 1 ? 6 : 0, skip == 1 ? 11 : 5);
            ExpectConditionEq(WavGraph, file);
        }
    }
}

TEST_F(WavFiles, DamagedFilesChangeNothing)
{
    Fill();
    const WavGraphRec file = WavGraph;
    ASSERT_EQ(FIL_SaveWaveFile(Path("a.wgd")), -1);
    const std::string text = Slurp(Path("a.wgd"));
    WavGraphRec other;
    other.Ch[2].RawData[3] = 42;
    other.Word[WavWSmp] = 9;
    const std::string damaged = "Reading the wave form graphic file.|Reading interrupted.";

    struct Case {
        std::string text;
        std::vector<std::string> shown;
    };
    const size_t data = text.find("DATA,250,");
    const std::vector<Case> cases = {
        {text.substr(0, data + 12), {damaged}}, // cut inside the samples
        {std::string(text).replace(text.find(" 4 ,#Version"), 3, " 5 "),
         {"Mevalo|Unkonwn file version", "File reading error.|File is damaged."}},
        {std::string(text).replace(data, 9, "DATA,501,"), {damaged}},
        {std::string(text).replace(text.find(",", data + 9), 1, ",2000,"), {damaged}}, // torque x 20 too large
        {std::string(text).replace(text.find("2024/01/02"), 10, "2024/13/02"), {damaged}},
    };
    for (const Case& c : cases) {
        plat::ScriptedAsker asker;
        WavGraph = other;
        for (auto& line : CommentTxt[1]) line = "kept";
        WavView = WavViewRec{};
        ASSERT_EQ(FIL_LoadWaveFile(Put("d.wgd", c.text)), 0);
        const auto shown = Shown(asker);
        for (const std::string& s : c.shown) EXPECT_NE(std::find(shown.begin(), shown.end(), s), shown.end()) << s;
        EXPECT_EQ(shown.back(), damaged);
        ExpectResultEq(WavGraph, other, 0, WavChCnt - 1);
        ExpectConditionEq(WavGraph, other);
        EXPECT_EQ(WavGraph.Word[WavWSmp], 9);
        EXPECT_EQ(CommentTxt[1][0], "kept");
        EXPECT_EQ(WavView, WavViewRec{});
    }

    // Another model's file is read only when the user agrees.
    KisyuMei = "OTHER";
    plat::ScriptedAsker asker(plat::No);
    WavGraph = other;
    EXPECT_EQ(FIL_LoadWaveFile(Path("a.wgd")), 0);
    ExpectResultEq(WavGraph, other, 0, WavChCnt - 1);
    EXPECT_EQ(asker.Asked().front().text, "Do you read data, though this is different model ?");
    asker.Push(plat::Yes);
    EXPECT_EQ(FIL_LoadWaveFile(Path("a.wgd")), -1);
    ExpectResultEq(WavGraph, file, 0, WavChCnt - 1);
}

// A stray large file is turned away before it is read, at once and with next to no memory, and the screen
// says what it says of a file that cannot be read; a reader that took it would find a whole, valid file.
TEST_F(WavFiles, OversizedFileIsTurnedAwayAtOnce)
{
    Fill();
    ASSERT_EQ(FIL_SaveWaveFile(Path("a.wgd")), -1);
    const std::string big = PutOversized(Path("big.wgd"), Slurp(Path("a.wgd")));
    WavGraphRec other;
    other.Ch[2].RawData[3] = 42;
    WavGraph = other;

    const WorkCost cost = MeasureWork([&] {
        plat::ScriptedAsker asker;
        return FIL_LoadWaveFile(big) == 0 && WavGraph.Ch[2].RawData[3] == 42 ? 1 : 0;
    });
    ASSERT_TRUE(cost.measured);
    EXPECT_EQ(cost.result, 1);
    EXPECT_LT(cost.seconds, 1.0);
    EXPECT_LT(cost.peakKiB, 4 * 1024);

    plat::ScriptedAsker asker;
    EXPECT_EQ(FIL_LoadWaveFile(Path("missing.wgd")), 0);
    EXPECT_EQ(FIL_LoadWaveFile(big), 0);
    EXPECT_EQ(Shown(asker), (std::vector<std::string>(2, "Reading the wave form graphic file.|Reading interrupted.")));
    ExpectResultEq(WavGraph, other, 0, WavChCnt - 1);
}

TEST_F(WavFiles, KindsAreCheckedByExtension)
{
    Fill();
    ASSERT_EQ(FIL_SaveWaveCndFile(Path("c.WGC")), -1);
    ASSERT_EQ(FIL_SaveWavePrmFile(Path("p.wgp")), -1);
    plat::ScriptedAsker asker;
    EXPECT_EQ(FIL_LoadWaveCndFile(Path("c.WGC")), -1);
    EXPECT_EQ(FIL_LoadWaveCndFile(Path("p.wgp")), 0);
    EXPECT_EQ(FIL_LoadWavePrmFile(Path("c.WGC")), 0);
    EXPECT_EQ(FIL_LoadWaveFile(""), 0);
    EXPECT_EQ(FIL_LoadWaveCndFile(Path("missing.wgc")), 0);
    EXPECT_EQ(Shown(asker), (std::vector<std::string>{
                                "Reading the measuring condition file|Type of the file is different.",
                                "Reading combined file of wave form graphic and parameter|Type of the file is different.",
                                "Reading the measuring condition file.|Reading interrupted."}));
}

TEST_F(WavFiles, SavesAreWholeOrNothing)
{
    Fill();
    const std::string old = Put("a.wgd", "old contents\r\n");
    plat::ScriptedAsker asker;

    // Without a torque scale the samples cannot be written: the old file stays.
    WavMaxItem = 0;
    EXPECT_EQ(FIL_SaveWaveFile(old), 0);
    EXPECT_EQ(Slurp(old), "old contents\r\n");
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].title, "Error occurs");
    EXPECT_EQ(asker.Asked()[0].text.rfind("Writing the wave form file : ", 0), 0u);
    EXPECT_EQ(FIL_SaveWaveCndFile(Path("c.wgc")), -1); // no samples, no scale needed

    // A write that fails part way leaves the old file too.
    WavMaxItem = 20;
    asker.Clear();
    plat::SetWriteHook([](int, const void*, size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    });
    EXPECT_EQ(FIL_SaveWaveFile(old), 0);
    plat::SetWriteHook({});
    EXPECT_EQ(Slurp(old), "old contents\r\n");
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(FIL_SaveWaveFile(""), 0);
    EXPECT_EQ(FIL_SaveWaveFile(Path("no/such/folder/a.wgd")), 0);
    EXPECT_EQ(asker.Asked().back().text.rfind("Open the wave form file. : ", 0), 0u);

    // A definition whose torque scale is below 1 is damaged.
    std::string maxItem = "MAX ITEM,1\r\nDATA,0";
    for (int i = 1; i <= 28; ++i) maxItem += i <= 3 ? ",10" : ",0";
    EXPECT_EQ(FIL_ReadGroupFile(Put("d.def", maxItem + ",0\r\nEND\r\nDEF END,0\r\n"), 0), 0);
    EXPECT_EQ(FIL_ReadGroupFile(Put("d.def", maxItem + ",7\r\nEND\r\nDEF END,0\r\n"), 0), -1);
    EXPECT_EQ(WavMaxItem, 7);
}

TEST_F(WavFiles, ShippedUserConditionIsTheWritersOwn)
{
    const std::string shipped = MEVALO_RUNTIME_DIR "/ini/user.wgc";
    ASSERT_EQ(FIL_LoadWaveCndFile(shipped), -1);
    EXPECT_EQ(WavFileVer, 4);
    EXPECT_EQ(WavGraph.Word[0], -1);
    EXPECT_GT(WavGraph.SmpTime, 0);
    EXPECT_GE(WavGraph.Ch[1].XScale, 1);

    // Written again from what it holds, it is the same file but for the header's name and date.
    KisyuMei.clear();
    ASSERT_EQ(FIL_SaveUserWaveCnd(Path("user.wgc")), -1);
    auto body = [](const std::string& text) { return text.substr(text.find("#----")); };
    EXPECT_EQ(body(Slurp(Path("user.wgc"))), body(Slurp(shipped)));
}

} // namespace
