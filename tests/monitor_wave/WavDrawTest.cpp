// The graph drawing through the recorder: grid, time labels, curves, cursors, automatic range and the
// text panel of a print-out. The recorder is 620 x 615 pixels, so drawing units are pixels.
#include "monitor/WavDraw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "app/Glb.h"

namespace {

class Draw : public ::testing::Test {
  protected:
    void SetUp() override {
        WavGraph = WavGraphRec{};
        for (WavChRec& r : WavGraph.Ch) {
            WgdAxisInit(r);
            r.Visible = 0;
            r.XOff = 0;
        }
        for (auto& m : MeasItem) m.Offered = -1;
        WavGraph.Word[WavWSmp] = 1;
        WavSmpBase = 0.0005;
        GrpCursor[0].CsrOn = GrpCursor[1].CsrOn = 0;
    }
    std::vector<PrdOp> Lines(QColor c) const {
        std::vector<PrdOp> out;
        for (const PrdOp& o : rec.Ops())
            if (o.kind == PrdOp::Line && o.color == c) out.push_back(o);
        return out;
    }
    bool HasText(const std::string& t) const {
        return std::any_of(rec.Ops().begin(), rec.Ops().end(),
                           [&](const PrdOp& o) { return o.kind == PrdOp::Text && o.text.toStdString() == t; });
    }
    void DrawScreen() {
        PrdSurface s(&rec);
        WgdDraw(&s, 1, "/NO_TEXT /NO_PRINTER", WgdPanelInfo{}, true);
    }
    PrdRecorder rec{QSizeF(620, 615), 96, false};
};

TEST_F(Draw, TimeLabelsInSecondsLeftOfTheRightEdge) {
    DrawScreen();
    // 0.5 ms a sample: 250 ms shown, a step of 50 ms.
    for (const char* t : {"0.05", "0.1", "0.15", "0.2", "[s]"}) EXPECT_TRUE(HasText(t)) << t;
    EXPECT_FALSE(HasText("0.25"));
    const auto grid = Lines(QColor(0x80, 0x80, 0x80));
    ASSERT_EQ(grid.size(), 5u); // the line at 250 ms is drawn, its label is not
    EXPECT_DOUBLE_EQ(grid[0].a.x(), 145);
    EXPECT_DOUBLE_EQ(grid[4].a.x(), 545);
}

TEST_F(Draw, NiceStepsOfTheTimeAxis) {
    EXPECT_DOUBLE_EQ(WgdNiceStep(0.09), 0.01);
    EXPECT_DOUBLE_EQ(WgdNiceStep(100), 20);
    EXPECT_DOUBLE_EQ(WgdNiceStep(50000), 5000);
}

TEST_F(Draw, CurveFollowsTheSamplesAndStopsAtTheEdges) {
    WavChRec& r = WavGraph.Ch[1];
    r.Visible = -1;
    r.DataValid = -1;
    r.Color = 0x0000FF; // red
    r.YDiv = 400;       // full scale 2000
    for (int i = 0; i < WavSampleCnt; ++i) r.RawData[i] = static_cast<int16_t>(std::lround(1000 * std::sin(i * 0.1)));
    r.RawData[100] = 5000; // beyond five divisions: on the top edge
    DrawScreen();
    auto curve = Lines(Qt::red);
    ASSERT_EQ(curve.size(), 499u);
    double top = 1e9;
    for (const PrdOp& o : curve) top = std::min(top, o.b.y());
    EXPECT_DOUBLE_EQ(top, 50);
    EXPECT_DOUBLE_EQ(curve[15].b.y(), 300 - std::lround(1000 * std::sin(16 * 0.1)) / 400.0 * 50);
    EXPECT_DOUBLE_EQ(curve[0].a.x(), 45);
    EXPECT_DOUBLE_EQ(curve[1].b.x(), 48);

    rec.ClearOps();
    for (WavChRec& c : WavGraph.Ch) c.XScale = 20;
    DrawScreen();
    EXPECT_EQ(Lines(Qt::red).size(), 25u);
}

TEST_F(Draw, CursorTagsAndLines) {
    WgdCurSet(-1);
    const QColor green(0, 50, 0);
    struct Row {
        int pos;
        bool tag, line;
    };
    for (Row r : {Row{0, true, false}, Row{250, true, true}, Row{499, true, true}, Row{500, true, false}}) {
        rec.ClearOps();
        GrpCursor[0].CsrPos = static_cast<int16_t>(r.pos);
        GrpCursor[1].CsrPos = 600; // outside: neither
        PrdSurface s(&rec);
        WgdCursors(&s);
        EXPECT_EQ(HasText("1C"), r.tag) << r.pos;
        EXPECT_FALSE(HasText("2C"));
        const auto lines = Lines(green);
        EXPECT_EQ(lines.size(), r.line ? 1u : 0u) << r.pos;
        if (r.line) {
            EXPECT_DOUBLE_EQ(lines[0].a.x(), 45 + r.pos);
            EXPECT_EQ(lines[0].penStyle, Qt::DotLine);
        }
    }
}

TEST_F(Draw, AutomaticRangeTakesTheSmallestFullScaleWithRoom) {
    WavChRec& s = WavGraph.Ch[1];
    const int32_t speed[] = {40000, 30000, 20000, 10000, 5000, 4000, 3000, 2000, 1000, 500, 200, 100, 50, 20, 10};
    std::copy(std::begin(speed), std::end(speed), s.RangeTbl);
    s.RangeCnt = 14;
    s.DataValid = -1;
    s.RawData[30] = 930;
    s.RawData[31] = -500;
    WavGraph.Ch[0].RangeCnt = 0; // the commanded speed has no table of its own to index
    WgdAutoScale();
    EXPECT_EQ(s.RangeTbl[s.RangeIdx], 2000);
    EXPECT_FLOAT_EQ(s.YDiv, 400);
    EXPECT_FLOAT_EQ(WavGraph.Ch[0].YDiv, 400);
    // Nothing valid: the smallest full scale.
    s.DataValid = 0;
    WgdAutoScale();
    EXPECT_EQ(s.RangeIdx, 14);
}

TEST_F(Draw, PrintOutCarriesTheTextPanel) {
    PrdRecorder paper(QSizeF(595, 842), 72);
    PrdRedirectPrinter(&paper);
    KisyuMei = "TESKR21B7C**";
    SokuTeiDate = WavDateRec{};
    CommentTxt[1][0] = "first memo";
    WavGraph.Ch[1].Visible = -1;
    WavGraph.Ch[1].DataValid = -1;
    WgdCurSet(-1);
    WgdPanelInfo info;
    info.trgOn = true;
    info.trgPosText = "4/8";
    info.trgSlopeText = "Rising";
    info.readout[0][0] = "12.50ms";
    WavGraph.Word[WavWTrigLevel] = -120;
    WgdDraw(nullptr, 1, "/PRINTER /TEXT", info, true);
    PrdRedirectPrinter(nullptr);
    std::vector<std::string> texts;
    for (const PrdOp& o : paper.Ops())
        if (o.kind == PrdOp::Text) texts.push_back(o.text.toStdString());
    auto has = [&texts](const std::string& t) { return std::find(texts.begin(), texts.end(), t) != texts.end(); };
    for (const char* t : {"Obsrv Wave : ", "Actual speed ", "Ref Wave : ", "Measuring condition : ",
                          "Model/Date of measurement : ", "Memo:", "first memo", "Value:", "Cursor1", "Cursor2-1",
                          "12.50ms"})
        EXPECT_TRUE(has(t)) << t;
    EXPECT_TRUE(has("Actual speed trigger : yes    Trigger position : 4/8    Trigger slope : Rising    "
                    "Trigger level : -120    "));
    EXPECT_TRUE(has("TESKR21B7C  /  1899/12/30 00:00:00"));
    EXPECT_EQ(paper.Documents(), 1);
    EXPECT_EQ(paper.Orientation(), 1); // given back after the job
}

} // namespace
