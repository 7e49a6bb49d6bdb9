// The graph window against the simulated amplifier: a capture on each family, the trigger where it was
// asked, cursors, zoom, the reference copy, save and reload, and the print-out as a PDF.
// The simulator's headers before Qt's, whose slots macro would empty a member's name.
#include "ModelK.h"
#include "ModelM.h"
#include "ModelR.h"

#include "FamLink.h"
#include "TestMain.h"
#include "app/FileDlg.h"
#include "app/FrmPrmSel.h"
#include "app/FrmRem.h"
#include "app/Prd.h"
#include "comm/ComGuard.h"
#include "data/DefFil.h"
#include "data/WavFil.h"
#include "monitor/FrmWavDlg.h"
#include "monitor/FrmWavGraph.h"
#include "monitor/WavRun.h"
#include "monitor/WavWiring.h"
#include "app/MainLogic.h"
#include "platform/Paths.h"

#include "Oversized.h"
#include "PrintDialogAnswer.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

inline const bool kMainSetup = testmain::Use(
    {.keepPlatform = true, .rootName = "mevalo-wave", .programLibraries = {"libqel.so", "libduvo.so", "libspekt.so"}});

namespace {

using ampsim::Fault;
using famtest::Bytes;

// The definition values of a series that offers all six channels.
void Definition(bool checkBoxes) {
    static const char* const kName[6] = {"Actual speed", "Torque", "Position error", "Commanded speed",
                                         "Full close error", "In position"};
    for (int d = 0; d < 6; ++d) {
        MeasItem[d].TextA = kName[d];
        MeasItem[d].TextB = kName[d];
        MeasItem[d].Offered = -1;
    }
    WavChkMode = checkBoxes ? -1 : 0;
    WavChSelUsed = Variant(true);
    WavBitMask = 1;
    WavChMax = 5;
    WavSmpBase = 0.0005;
    WavMaxItem = 20;
    WavTrgMin = -5000;
    WavTrgMax = 5000;
    std::filesystem::create_directories(plat::AppFile("ini"));
    std::filesystem::remove(plat::AppFile("ini/user.wgc"));
}

// Runs one measurement to its end; the status texts seen.
bool Capture(FrmGraph& w, const std::vector<std::string>& stat, int timeoutMs = 15000) {
    w.WaveStartChk();
    QElapsedTimer t;
    t.start();
    while (w.Run().Waiting() && t.elapsed() < timeoutMs) QTest::qWait(10);
    return !w.Run().Waiting() && !stat.empty() && stat.back() == "Transfer completed";
}

class WaveR : public famtest::FamLink<ampsim::ModelR, 21> {
  protected:
    void Configure() override {
        KisyuCode = 25;
        Definition(true);
    }
    void TearDown() override {
        win.reset();
        FamLink::TearDown();
    }
    std::vector<ampsim::Request> Of(int cmd) const {
        std::vector<ampsim::Request> out;
        for (const auto& r : sim.requests())
            if (r.cmd == cmd) out.push_back(r);
        return out;
    }
    FrmGraph& Open() {
        win = std::make_unique<FrmGraph>();
        win->resize(1280, 800);
        win->show();
        return *win;
    }
    std::unique_ptr<FrmGraph> win;
};

TEST_F(WaveR, CaptureCursorsZoomReferenceSaveAndReload) {
    FrmGraph& w = Open();
    EXPECT_TRUE(w.TBarKey("Mesure")->isEnabled());
    EXPECT_FALSE(w.TBarKey("Stop")->isEnabled());
    for (int ch : {1, 2, 3}) w.ChkItem[ch]->click();
    EXPECT_FALSE(w.ChkItem[4]->isEnabled()); // three beside the actual speed at most
    w.trg_mode->setChecked(true);
    w.trg_pos->setCurrentIndex(3);
    w.level->setText("100");
    ASSERT_TRUE(Capture(w, stat));

    // Slot 1 commanded speed, 2 torque, 3 position error.
    EXPECT_EQ(Of(10).front().data, (Bytes{0, 1, 2, 3}));
    for (auto [rec, code] : {std::pair{1, 0}, std::pair{0, 1}, std::pair{2, 2}, std::pair{3, 3}})
        for (int i = 0; i < 500; ++i) ASSERT_EQ(WavGraph.Ch[rec].RawData[i], model->sample(code, i)) << rec << " " << i;
    EXPECT_EQ(WavGraph.Ch[1].RawData[250], 100); // the trigger level at the trigger point
    EXPECT_GT(WavGraph.Ch[1].RawData[260], 100);
    EXPECT_EQ(WavGraph.Ch[4].DataValid, 0);
    EXPECT_EQ(Rights(), (std::vector<int>{1, -1}));
    EXPECT_EQ(ComBusy, 0);
    EXPECT_TRUE(w.TBarKey("Mesure")->isEnabled());

    // Cursor 1 to the trigger reads the level; moving it never redraws the curves.
    w.ChkCsr->click();
    w.TimReDraw_Timer();
    const int redraws = w.Picture1->Redraws();
    w.CmdToTrig->click();
    EXPECT_EQ(w.HScrCur[0]->value(), 250);
    EXPECT_EQ(w.LblCsrSpd[0]->text().toStdString(), "100r/min");
    EXPECT_EQ(w.LblCsrTim[0]->text().toStdString(), "125.00ms");
    w.HScrCur[1]->setValue(300);
    EXPECT_EQ(w.Picture1->Redraws(), redraws);
    const QImage withCursors = w.Picture1->grab().toImage();
    // Cursor 2's solid line is painted over the cached picture.
    const WgdView& v = w.Picture1->View();
    const int cx = static_cast<int>(std::lround(w.Picture1->width() * (45 + 300 - v.x1) / (v.x2 - v.x1)));
    int green = 0;
    for (int x = cx - 1; x <= cx + 1; ++x)
        for (int y = 0; y < withCursors.height(); ++y) green += withCursors.pixelColor(x, y) == QColor(0, 50, 0);
    EXPECT_GT(green, withCursors.height() / 2);

    w.Xrange_UP->click();
    w.Xrange_UP->click();
    w.TimReDraw_Timer();
    EXPECT_EQ(w.Zoom(), 4.0f);
    EXPECT_TRUE(w.Slider1->isEnabled());

    w.SanSyouTenSou();
    for (int i = 0; i < 500; ++i) ASSERT_EQ(WavGraph.Ch[7].RawData[i], WavGraph.Ch[1].RawData[i]);
    EXPECT_NE(WavGraph.Ch[8].DataValid, 0);
    EXPECT_EQ(WavGraph.Ch[10].DataValid, 0);

    // Save the result, spoil the samples, and read them back.
    const std::string file = testmain::Root() + "/r.wgd";
    auto prevSav = FrmWavSav::SetShowHook([](FrmWavSav& d) {
        d.OptSaveMode[0]->setChecked(true);
        d.CmdOk->click();
    });
    auto prevRem = FrmRem::SetShowHook([](FrmRem& d) { d.CmdOk_Click(); });
    auto prevDlg = SetFileDlgShow([&file](const FileDlgRequest&) { return file; });
    w.SldSmp->setValue(1); // moved after the capture: the file keeps the captured time base
    w.SaveFile();
    const WavGraphRec saved = WavGraph;
    for (WavChRec& r : WavGraph.Ch) std::fill(std::begin(r.RawData), std::end(r.RawData), int16_t(0));
    auto prevSel = FrmPrmSel::SetAnswerer([&file](auto&&...) { return file; });
    auto prevLod = FrmWavLod::SetShowHook([](FrmWavLod& d) { d.CmdOk->click(); });
    w.LoadFile("wgd", "Wave form graphic");
    for (int rec = 0; rec < 12; ++rec)
        for (int i = 0; i < 500; ++i) ASSERT_EQ(WavGraph.Ch[rec].RawData[i], saved.Ch[rec].RawData[i]) << rec << " " << i;
    EXPECT_EQ(WavGraph.Word[WavWSmp], saved.Word[WavWSmp]);
    EXPECT_EQ(w.SldSmp->maximum() + w.SldSmp->minimum() - w.SldSmp->value(), saved.Word[WavWSmp]);
    EXPECT_TRUE(w.ResultLoaded());
    EXPECT_TRUE(asker.Asked().empty()) << asker.Asked()[0].text;

    // Saved as the previous version: the older layout, which has no version group.
    const std::string old = testmain::Root() + "/r2.wgd";
    FrmWavSav::SetShowHook([](FrmWavSav& d) {
        d.OptSaveMode[0]->setChecked(true);
        d.ChkVer2->setChecked(true);
        d.CmdOk->click();
    });
    SetFileDlgShow([&old](const FileDlgRequest&) { return old; });
    w.SaveFile();
    EXPECT_EQ(WavFileVer, 2);
    QFile f(QString::fromStdString(old));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    EXPECT_TRUE(text.contains("WAVE GRAPH DATA"));
    EXPECT_FALSE(text.contains("WAVE GRAPH VERSION"));
    FrmWavSav::SetShowHook(prevSav);
    FrmRem::SetShowHook(prevRem);
    SetFileDlgShow(prevDlg);
    FrmPrmSel::SetAnswerer(prevSel);
    FrmWavLod::SetShowHook(prevLod);
}

// A file too large to be a data file, chosen on the screen, gets the screen's message for a file that cannot
// be read, and the graph stays as it was; unpadded, the same file would load.
TEST_F(WaveR, OversizedFileGetsTheFailedLoadMessage) {
    FrmGraph& w = Open();
    const std::string file = testmain::Root() + "/whole.wgd";
    ASSERT_EQ(FIL_SaveWaveFile(file), -1);
    std::ifstream in(file, std::ios::binary);
    const std::string big =
        PutOversized(testmain::Root() + "/big.wgd", std::string(std::istreambuf_iterator<char>(in), {}));
    const int16_t saved = WavGraph.Ch[1].RawData[0];
    WavGraph.Ch[1].RawData[0] = saved == 1234 ? 4321 : 1234;
    const int16_t before = WavGraph.Ch[1].RawData[0];
    std::string chosen = big;
    auto prevSel = FrmPrmSel::SetAnswerer([&chosen](auto&&...) { return chosen; });
    auto prevLod = FrmWavLod::SetShowHook([](FrmWavLod& d) { d.CmdOk->click(); });
    w.LoadFile("wgd", "Wave form graphic");
    EXPECT_FALSE(w.ResultLoaded());
    EXPECT_EQ(WavGraph.Ch[1].RawData[0], before);
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked().back().text, "Reading interrupted.");
    EXPECT_EQ(asker.Asked().back().title, "Reading the wave form graphic file.");

    chosen = file;
    w.LoadFile("wgd", "Wave form graphic");
    FrmPrmSel::SetAnswerer(prevSel);
    FrmWavLod::SetShowHook(prevLod);
    EXPECT_TRUE(w.ResultLoaded());
    EXPECT_EQ(WavGraph.Ch[1].RawData[0], saved);
    EXPECT_EQ(asker.Asked().size(), 1u);
}

TEST_F(WaveR, PrintsTheGraphToPdf) {
    FrmGraph& w = Open();
    w.ChkItem[1]->click();
    ASSERT_TRUE(Capture(w, stat));
    w.ChkCsr->click();
    CommentTxt[1][0] = "wave memo";
    const std::string pdf = testmain::Root() + "/wave.pdf";
    std::vector<std::string>& status = stat;
    status.clear();
    auto prevPrn = FrmPrnItem::SetShowHook([](FrmPrnItem& d) { d.CmdOk->click(); });
    {
        testmain::PrintDialogAnswer cancel({});
        w.PrintGraph();
        EXPECT_EQ(cancel.Shown(), 1);
    }
    EXPECT_TRUE(asker.Asked().empty()); // Cancel prints nothing and says nothing
    EXPECT_EQ(std::count(status.begin(), status.end(), "Print completed."), 0);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(pdf)));
    {
        testmain::PrintDialogAnswer print(QString::fromStdString(pdf));
        w.PrintGraph();
        EXPECT_EQ(print.Title(), "Print of the wave form graphic");
    }
    EXPECT_TRUE(asker.Asked().empty());
    ASSERT_FALSE(status.empty());
    EXPECT_EQ(status.back(), "Print completed.");
    ASSERT_FALSE(PrdPdfDocuments().empty());
    const QString doc = QString::fromStdString(PrdPdfDocuments().front());
    EXPECT_EQ(doc.toStdString(), pdf);
    const QString out = testmain::PdfText(doc);
    for (const char* t :
         {"Obsrv Wave", "Measuring condition", "Model/Date of measurement", "wave memo", "Cursor2-1"})
        EXPECT_TRUE(out.contains(t)) << t << "\n" << out.toStdString();

    // A file that cannot be written: the screen's own error, and no word of completion.
    status.clear();
    const std::string bad = testmain::Root() + "/gone/wave.pdf";
    auto prevChooser = SetPrinterChooser([&bad](PrdPrinterChoice& c) {
        c.name = PrdPdfPrinterName;
        c.pdfFile = bad;
        return true;
    });
    w.PrintGraph();
    SetPrinterChooser(prevChooser);
    FrmPrnItem::SetShowHook(prevPrn);
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].text, "Print error");
    EXPECT_EQ(asker.Asked()[0].title, "Print of the wave form graphic");
    EXPECT_EQ(std::count(status.begin(), status.end(), "Print completed."), 0);
    QProcess png;
    png.start("pdftoppm", {"-png", "-r", "40", "-singlefile", doc, QString::fromStdString(testmain::Root() + "/wave")});
    ASSERT_TRUE(png.waitForFinished(20000));
    const QImage page(QString::fromStdString(testmain::Root() + "/wave.png"));
    ASSERT_FALSE(page.isNull());
    EXPECT_GT(page.width(), page.height()); // landscape
}

TEST_F(WaveR, FailedTransferKeepsTheLastCaptureAndStops) {
    FrmGraph& w = Open();
    ASSERT_TRUE(Capture(w, stat));
    const WavGraphRec good = WavGraph;
    w.ChkSngTrig->setChecked(false);
    w.WaveStartChk();
    ASSERT_TRUE(w.Run().Waiting());
    // Status 0x80 ends the wait (one poll) and refuses the first block and its ten retries.
    sim.inject(Fault::badStatus(0x80, 12));
    QElapsedTimer t;
    t.start();
    while (w.Run().Waiting() && t.elapsed() < 15000) QTest::qWait(10);
    EXPECT_EQ(stat.back(), "Transfer failed");
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].text, "Receipt of measurement result failed.");
    QTest::qWait(200);
    EXPECT_FALSE(w.Run().Waiting()); // no new run after a failure
    for (int i = 0; i < 500; ++i) ASSERT_EQ(WavGraph.Ch[1].RawData[i], good.Ch[1].RawData[i]);
    EXPECT_NE(WavGraph.Ch[1].DataValid, 0);
    EXPECT_EQ(Rights(), (std::vector<int>{1, -1, 1, -1}));
    EXPECT_EQ(ComBusy, 0);
}

TEST_F(WaveR, FailedPollEndsTheRunWithItsReason) {
    FrmGraph& w = Open();
    for (auto [status, text] : {std::pair{0x83, "Servo alarm is on, and measurement failed."},
                                std::pair{0x88, "Measurement failed"}}) {
        asker.Clear();
        sim.clearLog();
        w.WaveStartChk();
        ASSERT_TRUE(w.Run().Waiting());
        sim.inject(Fault::badStatus(static_cast<uint8_t>(status)));
        QElapsedTimer t;
        t.start();
        while (w.Run().Waiting() && t.elapsed() < 5000) QTest::qWait(10);
        ASSERT_EQ(asker.Asked().size(), 1u);
        EXPECT_EQ(asker.Asked()[0].text, text);
        EXPECT_EQ(asker.Asked()[0].title, "Measurement error");
        EXPECT_EQ(Rights(), (std::vector<int>{1, -1}));
        EXPECT_EQ(ComBusy, 0);
        EXPECT_TRUE(w.TBarKey("Mesure")->isEnabled());
    }
}

TEST_F(WaveR, AmplifierWithoutChannelSelectionMeasuresTheDefaultSet) {
    ampsim::ModelR::Options o;
    o.channelSelect = false; // answers the selection with 160
    model = std::make_unique<ampsim::ModelR>(o);
    sim.setHandler(model->handler());
    FrmGraph& w = Open();
    w.ChkItem[4]->click();
    ASSERT_TRUE(Capture(w, stat));
    for (int ch : {1, 2, 3}) EXPECT_TRUE(w.ChkItem[ch]->isChecked()) << ch;
    EXPECT_FALSE(w.ChkItem[4]->isChecked());
    EXPECT_EQ(WavGraph.Ch[4].DataValid, 0);
    // Slot 1 commanded speed, 2 torque, 3 position error: the amplifier's fixed set.
    for (auto [rec, code] : {std::pair{0, 1}, std::pair{2, 2}, std::pair{3, 3}})
        for (int i = 0; i < 500; ++i) ASSERT_EQ(WavGraph.Ch[rec].RawData[i], model->sample(code, i)) << rec << " " << i;
    EXPECT_EQ(Of(10)[1].data.size(), 5u); // the condition follows the refused selection
}

TEST_F(WaveR, OffLineTheMeasurementIsDisabled) {
    qel::CloseAll();
    ComHandle = 0;
    FrmGraph& w = Open();
    EXPECT_FALSE(w.TBarKey("Mesure")->isEnabled());
    EXPECT_FALSE(w.TBarKey("Stop")->isEnabled());
    EXPECT_FALSE(w.MnuSokutei->isEnabled());
}

TEST_F(WaveR, LastConditionsComeBackNextTime) {
    {
        FrmGraph& w = Open();
        w.trg_mode->setChecked(true);
        w.level->setText("-500");
        w.trg_pos->setCurrentIndex(3);
        w.trg_slope->setCurrentIndex(1);
        w.ChkItem[1]->click();
        w.ChkItem[4]->click();
        w.Xrange_UP->click();
        w.Xrange_UP->click();
        w.close(); // writes ini/user.wgc
        win.reset();
    }
    FrmGraph& w = Open();
    EXPECT_TRUE(w.trg_mode->isChecked());
    EXPECT_EQ(w.level->text().toStdString(), "-500");
    EXPECT_EQ(w.trg_pos->currentIndex(), 3);
    EXPECT_EQ(w.trg_slope->currentIndex(), 1);
    for (int ch = 1; ch < 6; ++ch) EXPECT_EQ(w.ChkItem[ch]->isChecked(), ch == 1 || ch == 4) << ch;
    EXPECT_EQ(w.Zoom(), 4.0f);
    EXPECT_TRUE(asker.Asked().empty());
}

TEST_F(WaveR, OffsetBarOfTheChosenAxisIsThereBeforeTheWindowShows) {
    // Built but not yet on screen, as the frame builds it.
    win = std::make_unique<FrmGraph>();
    FrmGraph& w = *win;
    EXPECT_FALSE(w.SldYOff[0]->isHidden());
    for (int a : {1, 2, 4}) EXPECT_TRUE(w.SldYOff[a]->isHidden()) << a;
    w.Option1_Click(4);
    EXPECT_FALSE(w.SldYOff[4]->isHidden());
    EXPECT_TRUE(w.SldYOff[0]->isHidden());
    // A series without the in-position channel offers no axis for it.
    MeasItem[5].Offered = 0;
    win = std::make_unique<FrmGraph>();
    win->Option1_Click(4);
    EXPECT_TRUE(win->SldYOff[4]->isHidden());
    EXPECT_TRUE(win->Option1[4]->isHidden());
}

TEST_F(WaveR, ClicksOnTheCursorPageMoveTheCursorsWithTheReadOutOff) {
    FrmGraph& w = Open();
    ASSERT_FALSE(w.ChkCsr->isChecked());
    w.TSPage->setCurrentIndex(0);
    // A real click: the picture's pixels onto the graph's samples, as the picture was drawn.
    const auto at = [&](double sample) {
        const WgdView& v = w.Picture1->View();
        const double units = WavGraph.Ch[1].GrLeft + sample + 0.5;
        return QPoint(static_cast<int>(std::lround((units - v.x1) / (v.x2 - v.x1) * w.Picture1->width())),
                      w.Picture1->height() / 2);
    };
    QTest::mouseClick(w.Picture1, Qt::LeftButton, {}, at(100));
    QTest::mouseClick(w.Picture1, Qt::RightButton, {}, at(300));
    EXPECT_NEAR(w.HScrCur[0]->value(), 100, 1);
    EXPECT_NEAR(w.HScrCur[1]->value(), 300, 1);
    EXPECT_EQ(GrpCursor[0].CsrPos, w.HScrCur[0]->value());
    // Switched on, the read-out starts where the clicks put the cursors.
    w.ChkCsr->click();
    EXPECT_EQ(GrpCursor[1].CsrPos, w.HScrCur[1]->value());
    // On the other pages a click zooms and leaves the cursors.
    w.TSPage->setCurrentIndex(1);
    QTest::mouseClick(w.Picture1, Qt::LeftButton, {}, at(200));
    EXPECT_EQ(w.Zoom(), 2.0f);
    EXPECT_NEAR(w.HScrCur[0]->value(), 100, 1);
}

TEST_F(WaveR, CursorPageShowsItsButtonWholeWithTheReadOut) {
    win = std::make_unique<FrmGraph>();
    FrmGraph& w = *win;
    w.show(); // at the size it takes by itself
    QApplication::processEvents();
    w.ChkCsr->click();
    QApplication::processEvents();
    EXPECT_GE(w.CmdToTrig->width(), w.CmdToTrig->sizeHint().width());
    for (QLabel* l : w.LblCsrTim) EXPECT_GE(l->width(), l->sizeHint().width()) << l->objectName().toStdString();
}

TEST_F(WaveR, CursorReadOutHeadingsWholeSideBySideInsideTheWindow) {
    // Every channel shown, each heading its full name: the widest read-out there is.
    for (double scale : {1.0, 1.5}) {
        QFont font = QApplication::font();
        const QFont was = font;
        font.setPointSizeF(was.pointSizeF() * scale);
        QApplication::setFont(font);
        // In the frame's area, at the size it opens with: a child window does not grow when its
        // contents do.
        QMdiArea area;
        area.resize(1600, 1200);
        area.show();
        win = std::make_unique<FrmGraph>();
        FrmGraph& w = *win;
        QMdiSubWindow* sub = area.addSubWindow(&w);
        sub->show();
        QApplication::processEvents();
        for (int d = 0; d < 6; ++d)
            w.DataIsValid(d, true);
        w.ChkCsr->click();
        w.TimReDraw_Timer();
        QApplication::processEvents();
        QLabel* const* cols[6] = {w.LblCsrTim, w.LblCsrSpd, w.LblCsrCmd,
                                  w.LblCsrTrq, w.LblCsrErr, w.LblCsrFce};
        for (int row = 0; row < 4; ++row) {
            QRect last;
            for (QLabel* const* col : cols) {
                QLabel* l = col[row];
                const std::string name = l->objectName().toStdString() + " at " + std::to_string(scale);
                ASSERT_TRUE(l->isVisible()) << name;
                const QFontMetrics fm(l->font());
                const QRect text =
                    fm.boundingRect(QRect(0, 0, l->width(), 10000), Qt::TextWordWrap, l->text());
                EXPECT_LE(text.width(), l->contentsRect().width())
                    << name << " '" << l->text().toStdString() << "'";
                EXPECT_LE(text.height(), l->contentsRect().height()) << name;
                const QRect in(l->mapTo(&w, QPoint(0, 0)), l->size());
                EXPECT_TRUE(w.rect().contains(in)) << name;
                EXPECT_TRUE(l->visibleRegion().boundingRect() == l->rect()) << name << " cut";
                EXPECT_FALSE(last.intersects(in)) << name;
                last = in;
            }
        }
        sub->setWidget(nullptr);
        win.reset();
        QApplication::setFont(was);
    }
}

TEST_F(WaveR, DisplayItemOpensOneWindow) {
    WireWaveScreen();
    Links().openScreen[4]();
    FrmGraph* first = FrmGraph::Instance();
    ASSERT_NE(first, nullptr);
    win.reset(first);
    Links().openScreen[4]();
    EXPECT_EQ(FrmGraph::Instance(), first);
    EXPECT_TRUE(first->isVisible());
}

class WaveM : public famtest::FamLink<ampsim::ModelM, 22> {
  protected:
    void Configure() override {
        KisyuCode = 22;
        Definition(false);
    }
    void TearDown() override {
        win.reset();
        FamLink::TearDown();
    }
    std::unique_ptr<FrmGraph> win;
};

TEST_F(WaveM, CaptureOfTheActualSpeedAndTorque) {
    win = std::make_unique<FrmGraph>();
    FrmGraph& w = *win;
    w.OptItem[1]->setChecked(true); // torque: option 1
    ASSERT_TRUE(Capture(w, stat));
    for (int i = 0; i < 500; ++i) {
        ASSERT_EQ(WavGraph.Ch[1].RawData[i], model->sample(1, i)) << i;
        ASSERT_EQ(WavGraph.Ch[2].RawData[i], model->sample(2, i)) << i;
    }
    EXPECT_NE(WavGraph.Ch[2].DataValid, 0);
    EXPECT_EQ(WavGraph.Ch[0].DataValid, 0);
    EXPECT_EQ(Rights(), std::vector<int>{});
}

class WaveK : public ::testing::Test {
  protected:
    static ampsim::Simulator::Options SimOptions() {
        ampsim::Simulator::Options o;
        o.port = 23;
        return o;
    }
    void SetUp() override {
        model.attach(sim);
        CmdFamily = 1;
        KisyuCode = 10;
        AxisNo = 0;
        Definition(false);
        ComHandle = qel::Open(23, 38400);
        ASSERT_NE(ComHandle, 0u);
        qel::SetTimeOut(ComHandle, 150);
        Frame().updStat = [this](const std::string& s) { stat.push_back(s); };
    }
    void TearDown() override {
        win.reset();
        qel::CloseAll();
        ComHandle = 0;
        Frame().updStat = nullptr;
        CmdFamily = 5;
    }
    ampsim::ModelK model;
    ampsim::Simulator sim{SimOptions()};
    plat::ScriptedAsker asker;
    std::vector<std::string> stat;
    std::unique_ptr<FrmGraph> win;
};

TEST_F(WaveK, CaptureThroughTheLineCommands) {
    win = std::make_unique<FrmGraph>();
    FrmGraph& w = *win;
    w.OptItem[0]->setChecked(true); // commanded speed: option 0
    w.trg_mode->setChecked(true);
    w.trg_pos->setCurrentIndex(3);
    ASSERT_TRUE(Capture(w, stat));
    EXPECT_EQ(model.capture().position, 250);
    for (int i = 0; i < 500; ++i) {
        ASSERT_EQ(WavGraph.Ch[1].RawData[i], ampsim::ModelK::waveSample(0, i, 250)) << i;
        ASSERT_EQ(WavGraph.Ch[0].RawData[i], ampsim::ModelK::waveSample(1, i, 250)) << i;
    }
    EXPECT_EQ(WavGraph.Ch[0].RawData[249], -500);
    EXPECT_EQ(WavGraph.Ch[0].RawData[250], 500);
    EXPECT_TRUE(asker.Asked().empty());
}

} // namespace
