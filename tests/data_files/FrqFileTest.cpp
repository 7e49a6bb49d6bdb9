// Frequency files: round trips, the group sets of the three kinds, the load selections, the
// condition-only load and refusals.
#include <cmath>
#include <memory>

#include "DataFiles.h"
#include "data/FrqFil.h"
#include "frequency/FrqGlb.h"

namespace {

class FrqFiles : public DataFileTest {
protected:
    void SetUp() override
    {
        DataFileTest::SetUp();
        FftSplitN = 2059;
        FftFullClose[0] = -1;
        FftFullClose[1] = 1;
        FrqNextCondSet = 0;
        FrqNextCond = FrqCondRec{};
    }

    // Records whose every filed value differs from the defaults; raw samples cover the 16-bit range.
    static void Fill()
    {
        for (int k = 0; k < 2; ++k) {
            FrqRec& r = k == 0 ? FftCond : FftCondRef;
            r = FrqRec{};
            static_cast<FrqCondRec&>(r) = FrqCondRec{0x12345, 3, 4, 1500, -700, 2048, -1, 1};
            r.Valid = -1;
            for (int i = 0; i < FrqRawCnt; ++i) r.Raw[i] = static_cast<int16_t>((i * 32 + k * 16 + i % 32) % 65536 - 32768);
        }
        FftCond.Raw[5] = -3;
        FftCond.Raw[6] = 32767;
        FftCondRef.Valid = 0;
        for (int i = 0; i < FrqViewCnt; ++i) FrqView[i] = static_cast<int16_t>(i * 11 - 30);
        for (int i = 0; i < FrqPointCnt; ++i) {
            FrqGainRec.LogFrq[i] = RefGainRec.LogFrq[i] = std::log10(1.0 + i);
            FrqGainRec.GrVal[i] = -0.5 * i;
            FrqPhaseRec.GrVal[i] = 180.0 - i;
        }
        CommentTxt[2][2] = "frequency memo";
    }

    // The records a failed or selective load must leave alone.
    struct Snapshot {
        std::unique_ptr<FrqRec> cond = std::make_unique<FrqRec>(FftCond);
        std::unique_ptr<FrqRec> ref = std::make_unique<FrqRec>(FftCondRef);
        std::vector<int16_t> view = std::vector<int16_t>(FrqView, FrqView + FrqViewCnt);
    };

    static void ExpectRecEq(const FrqRec& a, const FrqRec& b)
    {
        EXPECT_TRUE(static_cast<const FrqCondRec&>(a) == static_cast<const FrqCondRec&>(b));
        EXPECT_EQ(a.Valid, b.Valid);
        for (int i = 0; i < FftSplitN; ++i) ASSERT_EQ(a.Raw[i], b.Raw[i]) << "sample " << i;
    }

    static void Other()
    {
        for (FrqRec* r : {&FftCond, &FftCondRef}) {
            *r = FrqRec{};
            static_cast<FrqCondRec&>(*r) = FrqCondRec{1, 1, 1, 1, 1, 1, 0, 0};
            std::fill(std::begin(r->Raw), std::end(r->Raw), int16_t(77));
        }
        std::fill(FrqView, FrqView + FrqViewCnt, int16_t(5));
        CommentTxt[2][2] = "kept";
    }
};

TEST_F(FrqFiles, EveryKindReadsBackWhatItWrote)
{
    Fill();
    const Snapshot saved;
    ASSERT_EQ(FIL_SaveFreqFile(Path("a.fcd"), -1, -1, 0), -1);
    ASSERT_EQ(FIL_SaveFreqFile(Path("a.fcp"), -1, -1, -1), -1);
    for (const char* name : {"a.fcd", "a.fcp"}) {
        SCOPED_TRACE(name);
        Other();
        ASSERT_EQ(FIL_LoadFreqFile(Path(name)), -1);
        ExpectRecEq(FftCond, *saved.cond);
        ExpectRecEq(FftCondRef, *saved.ref);
        EXPECT_EQ(std::vector<int16_t>(FrqView, FrqView + FrqViewCnt), saved.view);
        EXPECT_EQ(CommentTxt[2][2], "frequency memo");
        EXPECT_EQ(FrqNextCondSet, 0);
    }

    const std::string text = Slurp(Path("a.fcd"));
    EXPECT_NE(text.find("\r\nDATA,5,1,-2,#0xFFFD\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nDATA,6,1,16383,#0x7FFF\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nDATA,9,10.00,-4.50,171.00\r\n"), std::string::npos);
    EXPECT_NE(text.find(" 2048 ,#Number of points\r\n"), std::string::npos);
    const std::vector<std::string> head = {"MODEL,1", "FREQ COMMENT,5", "CPU VER,11", "MOTOR MODEL,1"};
    const std::vector<std::string> cond = {"FREQ GRAPH CONDITION,1", "FREQ GRAPH VIEW,1",
                                           "FREQ GRAPH CONDITION V3.5,1"};
    const std::vector<std::string> result = {"FREQ GRAPH STAT,1", "FREQ GRAPH DATA,2059", "FREQ GRAPH REF,2059",
                                             "FFT GRAPH DATA,1029", "FFT GRAPH REF,1029"};
    std::vector<std::string> fcd = head;
    fcd.insert(fcd.end(), cond.begin(), cond.end());
    fcd.insert(fcd.end(), result.begin(), result.end());
    EXPECT_EQ(Groups(Path("a.fcd")), fcd);

    ASSERT_EQ(FIL_SaveFreqFile(Path("a.fcc"), -1, 0, 0), -1);
    std::vector<std::string> fcc = head;
    fcc.insert(fcc.end(), cond.begin(), cond.end());
    EXPECT_EQ(Groups(Path("a.fcc")), fcc);
    std::vector<std::string> fcp = fcd;
    fcp.insert(fcp.begin() + 2, "PARA COMMENT,5");
    fcp.insert(fcp.end(), {"USER DATA,256", "PARA TYPE,256"});
    EXPECT_EQ(Groups(Path("a.fcp")), fcp);
}

TEST_F(FrqFiles, CurveRecordsFollowHalfOfTheSamples)
{
    Fill();
    // N / 2 - 1 rounded, a half to the even neighbour: 7 and 5 both give points 0..2.
    for (auto [n, fft] : {std::pair{7, 3}, {5, 3}, {6, 3}, {2, 1}, {0, 0}}) {
        FftSplitN = static_cast<int16_t>(n);
        ASSERT_EQ(FIL_SaveFreqFile(Path("n.fcd"), -1, -1, 0), -1);
        const auto groups = Groups(Path("n.fcd"));
        EXPECT_EQ(groups[8], "FREQ GRAPH DATA," + std::to_string(n));
        EXPECT_EQ(groups[10], "FFT GRAPH DATA," + std::to_string(fft)) << n;
    }
}

TEST_F(FrqFiles, LoadSelectionsLeaveTheirPartsAlone)
{
    Fill();
    ASSERT_EQ(FIL_SaveFreqFile(Path("a.fcd"), -1, -1, 0), -1);
    const Snapshot file;
    for (int skip = 0; skip < 4; ++skip) {
        SCOPED_TRACE(skip);
        Other();
        const Snapshot before;
        FrqLoadSel[skip] = -1;
        ASSERT_EQ(FIL_LoadFreqFile(Path("a.fcd")), -1);
        FrqLoadSel[skip] = 0;
        EXPECT_EQ(std::vector<int16_t>(FrqView, FrqView + FrqViewCnt), skip == 0 ? before.view : file.view);
        const FrqCondRec& c = FftCond;
        EXPECT_TRUE(c == (skip == 1 ? static_cast<FrqCondRec&>(*before.cond) : static_cast<FrqCondRec&>(*file.cond)));
        EXPECT_EQ(FftCond.Raw[5], skip == 2 ? 77 : -3);
        EXPECT_EQ(FftCond.Valid, skip == 2 ? 0 : -1);
        EXPECT_EQ(FftCondRef.Raw[5], skip == 3 ? 77 : file.ref->Raw[5]);
    }
}

TEST_F(FrqFiles, ConditionsNeverRelabelHeldSamples)
{
    Fill();
    FftCond.Amp = 2222;
    ASSERT_EQ(FIL_SaveFreqFile(Path("a.fcc"), -1, 0, 0), -1);
    EXPECT_EQ(FftCond.Amp, 2222);

    // The measured record holds samples: it keeps its conditions, the file's wait for the next run.
    Fill();
    FftCondRef.Valid = 0;
    const Snapshot held;
    ASSERT_EQ(FIL_LoadFreqFile(Path("a.fcc")), -1);
    ExpectRecEq(FftCond, *held.cond);
    EXPECT_EQ(FrqNextCondSet, -1);
    EXPECT_EQ(FrqNextCond.Amp, 2222);
    // The reference holds none: it takes them, and its data-present flag stays as it was.
    EXPECT_EQ(FftCondRef.Amp, 2222);
    EXPECT_EQ(FftCondRef.Valid, 0);

    // A model without the full-closed measurement writes and reads it as off.
    Fill();
    ASSERT_EQ(FIL_SaveFreqFile(Path("on.fcd"), -1, -1, 0), -1);
    FftFullClose[0] = 0;
    ASSERT_EQ(FIL_SaveFreqFile(Path("off.fcd"), -1, -1, 0), -1);
    EXPECT_EQ(FftCond.FullClose, 0);
    EXPECT_NE(Slurp(Path("off.fcd")).find(" 0 ,#Full-close of FFT measurement condition (0:None 1:Yes)\r\n 0 ,"),
              std::string::npos);
    Fill();
    ASSERT_EQ(FIL_LoadFreqFile(Path("on.fcd")), -1);
    EXPECT_EQ(FftCond.FullCloseAvail, 0);
    EXPECT_EQ(FftCond.FullClose, 0);
    EXPECT_EQ(FftCondRef.FullClose, 0);
}

TEST_F(FrqFiles, DamagedFilesChangeNothing)
{
    Fill();
    ASSERT_EQ(FIL_SaveFreqFile(Path("a.fcd"), -1, -1, 0), -1);
    const std::string text = Slurp(Path("a.fcd"));
    auto line = [&](const std::string& start, const std::string& by) {
        const size_t from = text.find("\r\n" + start, text.find("FREQ GRAPH DATA,")) + 2;
        return std::string(text).replace(from, text.find('\r', from) - from, by);
    };
    const std::vector<std::string> cases = {
        text.substr(0, text.find("\r\nDATA,1000,", text.find("FREQ GRAPH DATA,")) + 9), // cut in the samples
        line("DATA,2058,", "DATA,2059,0,0"),              // no such sample
        line("DATA,3,", "DATA,3,0,20000"),                 // 40000 does not fit a sample
    };
    for (const std::string& c : cases) {
        Other();
        const Snapshot before;
        plat::ScriptedAsker asker;
        EXPECT_EQ(FIL_LoadFreqFile(Put("d.fcd", c)), 0);
        EXPECT_EQ(Shown(asker), std::vector<std::string>{"Reading the file|Reading interrupted."});
        ExpectRecEq(FftCond, *before.cond);
        ExpectRecEq(FftCondRef, *before.ref);
        EXPECT_EQ(std::vector<int16_t>(FrqView, FrqView + FrqViewCnt), before.view);
        EXPECT_EQ(CommentTxt[2][2], "kept");
    }

    // Another model's file, refused by the user.
    KisyuMei = "OTHER";
    Other();
    plat::ScriptedAsker asker(plat::No);
    EXPECT_EQ(FIL_LoadFreqFile(Path("a.fcd")), 0);
    EXPECT_EQ(FftCond.Raw[5], 77);

    // More samples than a record holds cannot be written; the old file stays.
    FftSplitN = 3000;
    EXPECT_EQ(FIL_SaveFreqFile(Path("a.fcd"), -1, -1, 0), 0);
    EXPECT_EQ(Slurp(Path("a.fcd")), text);
    EXPECT_EQ(asker.Asked().back().text.rfind("Writing the freq file : ", 0), 0u);
    EXPECT_EQ(FIL_SaveFreqFile("", -1, -1, 0), 0);
    EXPECT_EQ(FIL_LoadFreqFile(""), 0);
}

} // namespace
