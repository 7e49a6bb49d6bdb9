// The graph window: what it offers for which data, cursor, peak and cut-off against the plant, the files
// saved and read back, print to PDF, and one measurement end to end.
#include "FrqEnv.h"

#include "app/FileDlg.h"
#include "app/Frame.h"
#include "app/FrmPrmSel.h"
#include "app/FrmRem.h"
#include "app/Glb.h"
#include "app/MainLogic.h"
#include "app/Mevalo.h"
#include "app/Prd.h"
#include "comm/ComGlb.h"
#include "frequency/FrmFft.h"
#include "frequency/FrmFrqOpt.h"
#include "frequency/FrmSokuTei.h"
#include "frequency/FrqGrp.h"
#include "frequency/FrqIdt.h"
#include "frequency/FrqWiring.h"
#include "platform/Paths.h"

#include "PrintDialogAnswer.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

using ampsim::Plant;

Plant Resonance() {
    Plant p;
    p.kind = Plant::Resonance;
    p.theta = 0.3;
    return p;
}

// Answers of the choosers and dialogs the window opens, for one test.
struct Script {
    Script() {
        prmSel = FrmPrmSel::SetAnswerer([this](auto&&...) { return path; });
        file = SetFileDlgShow([this](const FileDlgRequest&) { return path; });
        rem = FrmRem::SetShowHook([](FrmRem& w) { w.CmdOk_Click(); });
        lod = FrmFrqLod::SetShowHook([this](FrmFrqLod& w) {
            w.ChkReference->setChecked(toRef);
            w.CmdOk_Click();
        });
    }
    ~Script() {
        FrmPrmSel::SetAnswerer(prmSel);
        SetFileDlgShow(file);
        FrmRem::SetShowHook(rem);
        FrmFrqLod::SetShowHook(lod);
    }
    std::string path;
    bool toRef = false;
    FrmPrmSel::Answerer prmSel;
    FileDlgShow file;
    FrmRem::ShowHook rem;
    FrmFrqLod::ShowHook lod;
};

class Window : public ::testing::Test {
  protected:
    void SetUp() override {
        ComPortNo = 0;
        FftReqCount = FftSplitN = 2047;
        FftTime = 2000;
        SokuTeiRec.BaseTime = RefSokuTeiRec.BaseTime = frqtest::kBase;
        w = std::make_unique<FrmFft>();
        w->show();
    }
    // A measurement of p as the window takes it after "success".
    void Measured(const Plant& p) {
        frqtest::Fill(SokuTeiRec, p, 2047);
        w->CmbWindow->setCurrentText("1");
        w->CmbWindow_Click();
        QTest::qWait(5);
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir;
    plat::ScriptedAsker asker;
    Script script;
    std::unique_ptr<FrmFft> w;
};

TEST_F(Window, OffersCursorSearchCutOffSaveAndPrintOnlyForMeasuredData) {
    for (int obs : {0, -1})
        for (int ref : {0, -1}) {
            SokuTeiRec.Valid = static_cast<int16_t>(obs);
            RefSokuTeiRec.Valid = static_cast<int16_t>(ref);
            w->ChkCsr->setChecked(true);
            w->ReflectDataReady();
            const bool o = obs != 0;
            EXPECT_EQ(w->FramCsr->isEnabled(), o);
            EXPECT_EQ(w->CmdPeak->isEnabled(), o);
            EXPECT_EQ(w->ChkCov->isEnabled(), o);
            EXPECT_EQ(w->TbSave->isEnabled(), o);
            EXPECT_EQ(w->MnuInSatu->isEnabled(), o);
            EXPECT_EQ(w->GraphOn(), o || ref != 0);
            EXPECT_EQ(w->HScr[1]->isEnabled(), o || ref != 0);
        }
}

TEST_F(Window, CursorPeakAndCutOffMatchThePlant) {
    const Plant p = Resonance();
    Measured(p);
    w->ChkCsr->setChecked(true);
    w->ChkCsr_Click();
    int best = 1;
    for (int k = 1; k <= 512; ++k)
        if (frqtest::ExactGain(p, k, 2047) > frqtest::ExactGain(p, best, 2047)) best = k;
    w->OptAll->setChecked(true);
    w->CmdPeak_Click();
    EXPECT_EQ(w->CursorPoint(), best);
    const double f = best / (2047 * frqtest::kBase);
    EXPECT_EQ(w->LblFrq->text().toStdString(), std::to_string(std::lround(f)) + " Hz");
    EXPECT_NEAR(w->LblGin->text().split(' ')[0].toDouble(), frqtest::ExactGain(p, best, 2047), 0.06);
    // Local search from nearby, and a scroll value that two points share keeps the found one.
    w->SetCursorPoint(best - 4);
    w->OptLoc->setChecked(true);
    w->CmdPeak_Click();
    EXPECT_EQ(w->CursorPoint(), best);

    int cut = 0;
    for (int k = 1; k <= 1023 && !cut; ++k)
        if (frqtest::ExactGain(p, k, 2047) < -3.0) cut = k;
    w->ChkCov->setChecked(true);
    w->TimRefreshGraph_Timer();
    EXPECT_EQ(w->LblCovFrq->text().toStdString(),
              std::to_string(std::lround(cut / (2047 * frqtest::kBase))) + "Hz");
    EXPECT_EQ(FrqGainRec.MarkIdx, cut);
}

// Every text of a drawing whole on its device, none over another, none below the small font.
std::vector<std::string> Unreadable(const PrdRecorder& dev) {
    std::vector<std::string> out;
    // The page as it stood while drawn: the printer gives its orientation back afterwards.
    const QSizeF portrait = dev.Orientation() == 2 ? dev.SizePx().transposed() : dev.SizePx();
    std::vector<QRectF> boxes;
    for (const PrdOp& o : dev.Ops()) {
        if (o.kind != PrdOp::Text || o.text.trimmed().isEmpty()) continue;
        const std::string t = o.text.toStdString();
        const QRectF area(QPointF(0, 0), o.orientation == 2 ? portrait.transposed() : portrait);
        const QRectF box(o.a, o.size);
        if (!area.contains(box)) out.push_back("'" + t + "' outside the drawing area");
        if (o.fontPt + 1e-9 < PrdSmallFontPt()) out.push_back("'" + t + "' below the small font");
        const QRectF ink = box.adjusted(1, o.size.height() * 0.2, -1, -o.size.height() * 0.2);
        for (const QRectF& b : boxes)
            if (b.intersects(ink)) out.push_back("'" + t + "' over another text");
        boxes.push_back(ink);
    }
    return out;
}

TEST_F(Window, LabelsReadableAndWholeOnSmallPicturesAtAnyScaleAndOnPaper) {
    Measured(Resonance());
    // The longest title: with the full-closed state at its end.
    SokuTeiRec.FullCloseAvail = 1;
    SokuTeiRec.FullClose = 0;
    RefSokuTeiRec = SokuTeiRec;
    w->ReflectDataReady();
    w->ChkCsr->setChecked(true);
    w->ChkCsr_Click();
    w->SetCursorPoint(40);
    w->ChkCov->setChecked(true);
    // Every line of the comment under the phase plot, each beside or below its heading.
    for (int i = 0; i < CommentLines; ++i)
        CommentTxt[2][i] = "Bench test " + std::to_string(i + 1);
    // The smallest picture the window lays out and a wider one; tall enough that the phase plot's
    // labels need no scrolling; at the default scale and at 1.5 x.
    for (double scale : {1.0, 1.5})
        for (QSizeF pt : {QSizeF(420, 760), QSizeF(640, 900)}) {
            PrdRecorder screen(pt * scale, 96 * scale, false);
            PrdSurface s(&screen);
            w->DrawGraphs(s, false);
            EXPECT_EQ(Unreadable(screen), std::vector<std::string>{}) << pt.width() << " x " << scale;
        }
    PrdRecorder paper(QSizeF(2480, 3508), 300);
    PrdSurface s(&paper);
    w->DrawGraphs(s, true);
    for (std::string& line : CommentTxt[2])
        line.clear();
    EXPECT_EQ(Unreadable(paper), std::vector<std::string>{});
}

TEST(FrqGraph, AxisTitleKeepsClearOfLabelsWiderThanFourDigits) {
    FrqGraphRec r;
    r.DataReady = 1;
    r.YPerUnit = 0.02;
    r.TickStep = 20000; // grid lines 400 units apart, labelled up to "-40000"
    for (QSizeF pt : {QSizeF(420, 400), QSizeF(2480, 1754)}) {
        PrdRecorder rec(pt, 96, false);
        PrdSurface s(&rec);
        GrpScale(s, r);
        GrpDraw(s, r, FrqGraphRec{});
        EXPECT_EQ(Unreadable(rec), std::vector<std::string>{}) << pt.width();
    }
}

TEST_F(Window, ABurstOfChangesDrawsOnce) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->Redraws() == 1; }));
    for (int v = 1000; v < 1500; v += 100)
        w->HScr[1]->setValue(v);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->Redraws() == 2; }));
    QTest::qWait(20);
    EXPECT_EQ(w->Redraws(), 2);
}

TEST_F(Window, SavedFilesReadBackIdentical) {
    Measured(Plant{});
    const FrqRec saved = SokuTeiRec;
    const FrqGraphRec gain = FrqGainRec;
    script.path = Path("m.fcd").toStdString();
    w->MnuHoZonDat_Click();
    ASSERT_TRUE(QFile::exists(Path("m.fcd")));
    script.path = Path("m.idt").toStdString();
    w->MnuHoZonIdt_Click();

    for (const char* file : {"m.fcd", "m.idt"}) {
        SokuTeiRec = FrqRec{};
        SokuTeiRec.BaseTime = frqtest::kBase;
        std::fill(std::begin(FrqGainRec.GrVal), std::end(FrqGainRec.GrVal), 0.0);
        script.path = Path(file).toStdString();
        w->Load("", "fcdfccfcpidt");
        EXPECT_NE(SokuTeiRec.Valid, 0) << file;
        EXPECT_TRUE(std::equal(saved.Raw, saved.Raw + 2047, SokuTeiRec.Raw)) << file;
        EXPECT_EQ(static_cast<const FrqCondRec&>(SokuTeiRec), static_cast<const FrqCondRec&>(saved)) << file;
        for (int k = 1; k <= 512; ++k)
            ASSERT_DOUBLE_EQ(FrqGainRec.GrVal[k], gain.GrVal[k]) << file << " " << k;
    }
    EXPECT_TRUE(asker.Asked().empty());
    script.path = Path("m.fcd").toStdString();
    w->Load("", "idt");
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].text, "Type of the file is different.");
    EXPECT_NE(SokuTeiRec.Valid, 0);
    // A damaged file is refused and the measurement is no longer shown.
    QFile bad(Path("bad.idt"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("0000\r\n0000\r\n");
    bad.close();
    script.path = Path("bad.idt").toStdString();
    w->Load("", "idt");
    ASSERT_EQ(asker.Asked().size(), 3u); // the reader's own error, then the window's
    EXPECT_EQ(asker.Asked()[2].text, "Reading of data failed.");
    EXPECT_EQ(SokuTeiRec.Valid, 0);
    EXPECT_FALSE(w->TbSave->isEnabled());
}

// A rate typed without Enter is not applied: the saved view keeps the rate of the drawn curves, and a
// load that restores a view draws with the restored rate.
TEST_F(Window, SavedSmoothingIsTheOneTheCurvesWereComputedWith) {
    Measured(Resonance()); // drawn with smoothing 1
    const FrqGraphRec drawn = FrqGainRec;
    w->CmbWindow->setEditText("10");
    script.path = Path("s.fcd").toStdString();
    w->MnuHoZonDat_Click();
    ASSERT_TRUE(QFile::exists(Path("s.fcd")));
    EXPECT_EQ(FrqView[6], 1);

    w->CmbWindow->setEditText("20");
    w->CmbWindow_Click();
    ASSERT_NE(FrqGainRec.GrVal[100], drawn.GrVal[100]);
    w->Load("", "fcd");
    EXPECT_EQ(w->CmbWindow->currentText().toStdString(), "1");
    for (int k = 1; k <= 512; ++k)
        ASSERT_DOUBLE_EQ(FrqGainRec.GrVal[k], drawn.GrVal[k]) << k;
    EXPECT_TRUE(asker.Asked().empty());
}

TEST_F(Window, LoadToReferenceLeavesTheMeasurementAndCancelChangesNothing) {
    Measured(Plant{});
    script.path = Path("lag.fcd").toStdString();
    w->MnuHoZonDat_Click();
    Measured(Resonance());
    const FrqRec current = SokuTeiRec;
    script.toRef = true;
    w->Load("", "fcd");
    EXPECT_TRUE(std::equal(current.Raw, current.Raw + 2047, SokuTeiRec.Raw));
    ASSERT_NE(RefSokuTeiRec.Valid, 0);
    EXPECT_NEAR(RefGainRec.GrVal[100], frqtest::ExactGain(Plant{}, 100, 2047), 0.05);
    EXPECT_TRUE(w->MnuDspRef->isChecked());
    EXPECT_EQ(RefGainRec.LineColor, 0xFF7F7Fu);

    const auto keep = FrmFrqLod::SetShowHook([](FrmFrqLod& d) { d.CmdCancel_Click(); });
    SokuTeiRec.FullClose = 1;
    w->Load("", "fcd");
    FrmFrqLod::SetShowHook(keep);
    EXPECT_EQ(SokuTeiRec.FullClose, 1);
    EXPECT_TRUE(std::equal(current.Raw, current.Raw + 2047, SokuTeiRec.Raw));
}

TEST_F(Window, PrintsBothGraphsThroughThePrintDialogAndTellsHowItEnded) {
    if (std::system("pdftotext -v >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdftotext is not installed";
    Measured(Plant{});
    CommentTxt[2][0] = "Lag plant on the bench";
    std::vector<std::string> status;
    const FrameHooks keepFrame = Frame();
    Frame().updStat = [&status](const std::string& t) { status.push_back(t); };
    const QString text = testmain::PrintThreeWays([this] { w->MnuInSatu_Click(); }, dir.path(),
                                                  "Print of the frequency characteristics", "Print completed.",
                                                  asker, status);
    Frame() = keepFrame;
    CommentTxt[2][0].clear();
    EXPECT_EQ(text.count('\f'), 1);
    for (const char* s : {"Gain", "Phase", "[dB]", "[deg]", "Frequency [Hz]", "Amplitude = 1000 r/min", "100",
                          "Lag plant on the bench"})
        EXPECT_TRUE(text.contains(s)) << s;
}

// No help file is shipped: both Help buttons say so, naming the file, instead of doing nothing.
TEST_F(Window, HelpWithoutTheHelpFileSaysSo) {
    ASSERT_FALSE(plat::FileExists(AppPath("mevalo.hlp")));
    auto helpSaid = [this] {
        std::vector<std::string> out;
        for (const auto& a : asker.Asked())
            if (a.title == "Help") out.push_back(a.text);
        return out;
    };
    const std::vector<std::string> one{"The help file " + AppPath("mevalo.hlp") + " cannot be opened."};
    w->findChild<QAction*>("TBar_Help")->trigger();
    EXPECT_EQ(helpSaid(), one);
    asker.Clear();
    const auto previous = FrmSokuTei::SetShowHook([](FrmSokuTei& d) {
        d.CmdHelp->click();
        d.CmdCancel_Click();
    });
    FrmSokuTei::Exec();
    FrmSokuTei::SetShowHook(previous);
    EXPECT_EQ(helpSaid(), one);
}

TEST(WindowInFrame, DisplayItemSixOpensOnceAndCloseAllUnloadsIt) {
    ComPortNo = 0;
    const MainLinks saved = Links();
    auto main = std::make_unique<Mevalo>();
    main->show();
    WireFrequencyScreen();
    main->MnuHyouji_Click(6);
    FrmFft* w = FrmFft::Instance();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(main->MdiArea()->subWindowList().size(), 1);
    main->MnuHyouji_Click(6);
    EXPECT_EQ(FrmFft::Instance(), w);
    main->MnuHyouji_Click(9);
    EXPECT_TRUE(QTest::qWaitFor([] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return FrmFft::Instance() == nullptr;
    }));
    main.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Links() = saved;
}

class WindowOnLine : public frqtest::FrqLink {};

TEST_F(WindowOnLine, DisplayItemSixMeasuresThePlantAndKeepsTheLastMeasurement) {
    ComPortNo = 1;
    FftTime = 2000;
    FftDefAmp = 1000;
    FftDefOff = FftDefSmp = 0;
    Plant plant; // the simulator's default plant
    const auto hook = FrmSokuTei::SetShowHook([](FrmSokuTei& d) {
        d.CmdZiKkou_Click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return d.Unloaded(); }, 30000));
    });
    WireFrequencyScreen();
    Links().openScreen[6]();
    FrmFft* w = FrmFft::Instance();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([] { return SokuTeiRec.Valid != 0; }, 30000));
    FrmSokuTei::SetShowHook(hook);
    FrqRec kept;
    ASSERT_TRUE(IdtRead(kept, FrqTempIdtPath()));
    EXPECT_TRUE(std::equal(kept.Raw, kept.Raw + 2047, SokuTeiRec.Raw));
    // Smoothing 4 is the window's default: the curve follows the plant closely below the cut-off.
    for (int k = 2; k < 20; ++k)
        EXPECT_NEAR(FrqGainRec.GrVal[k], frqtest::ExactGain(plant, k, 2047), 0.5) << k;
    Links().openScreen[6]();
    EXPECT_EQ(FrmFft::Instance(), w); // brought to the front, not opened twice
    delete w;
    Links().openScreen[6] = nullptr;
    ComPortNo = 0;
}

} // namespace
