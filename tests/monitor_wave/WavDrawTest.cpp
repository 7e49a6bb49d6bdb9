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
        view = WgdDraw(&s, 1, "/NO_TEXT /NO_PRINTER", WgdPanelInfo{}, true);
    }
    // Where drawing units land on the recorder.
    double PxX(double x) const { return (x - view.x1) * rec.SizePx().width() / (view.x2 - view.x1); }
    double PxY(double y) const { return (y - view.y1) * rec.SizePx().height() / (view.y2 - view.y1); }
    WgdView view;
    PrdRecorder rec{QSizeF(620, 615), 96, false};
};

TEST_F(Draw, TimeLabelsInSecondsLeftOfTheRightEdge) {
    DrawScreen();
    // 0.5 ms a sample: 250 ms shown, a step of 50 ms.
    // The axis starts at its 0; the label at the right edge would run into the unit.
    for (const char* t : {"0", "0.05", "0.1", "0.15", "0.2", "[s]"}) EXPECT_TRUE(HasText(t)) << t;
    EXPECT_FALSE(HasText("0.25"));
    const auto grid = Lines(QColor(0x80, 0x80, 0x80));
    ASSERT_EQ(grid.size(), 5u); // the line at 250 ms is drawn, its label is not; at 0 the frame is
    EXPECT_NEAR(grid[0].a.x(), PxX(145), 1e-9);
    EXPECT_NEAR(grid[4].a.x(), PxX(545), 1e-9);
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
    EXPECT_NEAR(top, PxY(50), 1e-9);
    EXPECT_NEAR(curve[15].b.y(), PxY(300 - std::lround(1000 * std::sin(16 * 0.1)) / 400.0 * 50), 1e-9);
    EXPECT_NEAR(curve[0].a.x(), PxX(45), 1e-9);
    EXPECT_NEAR(curve[1].b.x(), PxX(48), 1e-9);

    rec.ClearOps();
    for (WavChRec& c : WavGraph.Ch) c.XScale = 20;
    DrawScreen();
    EXPECT_EQ(Lines(Qt::red).size(), 25u);
}

TEST_F(Draw, CursorTagsAndLines) {
    DrawScreen(); // the view the overlay takes without one of its own
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
            EXPECT_NEAR(lines[0].a.x(), PxX(45 + r.pos), 1e-9);
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

// Every text of a drawing whole on its device, none over another, none below the small font.
std::vector<std::string> Unreadable(const PrdRecorder& dev) {
    std::vector<std::string> out;
    // The page as it stood while drawn: the printer gives its orientation back afterwards.
    const QSizeF portrait = dev.Orientation() == 2 ? dev.SizePx().transposed() : dev.SizePx();
    std::vector<std::pair<QRectF, QString>> boxes;
    for (const PrdOp& o : dev.Ops()) {
        if (o.kind != PrdOp::Text || o.text.trimmed().isEmpty()) continue;
        const std::string t = o.text.toStdString();
        const QRectF area(QPointF(0, 0), o.orientation == 2 ? portrait.transposed() : portrait);
        const QRectF box(o.a, o.size);
        if (!area.contains(box))
            out.push_back("'" + t + "' outside the drawing area at " + std::to_string(box.x()) + "," +
                          std::to_string(box.y()) + " in " + std::to_string(area.width()) + "x" +
                          std::to_string(area.height()));
        if (o.fontPt + 1e-9 < PrdSmallFontPt()) out.push_back("'" + t + "' below the small font");
        // Letters' boxes include their line spacing: a little overlap of lines is no collision.
        const QRectF ink = box.adjusted(1, o.size.height() * 0.2, -1, -o.size.height() * 0.2);
        // Axes that share their labels draw the same texts in the same places.
        for (const auto& [b, other] : boxes)
            if (b.intersects(ink) && !(other == o.text && b == ink)) out.push_back("'" + t + "' over another text");
        boxes.emplace_back(ink, o.text);
    }
    return out;
}

TEST_F(Draw, LabelsReadableAndWholeOnSmallPicturesAtAnyScaleAndOnPaper) {
    // Every channel shown, on the widest ranges: the longest labels and legend rows there are.
    for (int d = 0; d < WavChShown; ++d) {
        for (int rec : {WavDspToRec[d], WavDspToRefRec[d]}) {
            WavChRec& r = WavGraph.Ch[rec];
            r.Visible = -1;
            r.DataValid = -1;
        }
    }
    const char* const title[WavChShown] = {"r/min", "%", "pulse", "r/min", "pulse", ""};
    const float labelX[WavChShown] = {5, 549, 583, 5, 583, 5};
    for (int d = 0; d < WavChShown; ++d) {
        WavChRec& r = WavGraph.Ch[WavDspToRec[d]];
        r.AxisTitle = title[d];
        r.LabelX = r.TitleX = labelX[d];
        r.YDiv = 8000;
        r.YOff = d == 1 ? 2 : 0;
    }
    WavGraph.Ch[0].ShowLabels = WavGraph.Ch[5].ShowLabels = 0;
    WavGraph.Ch[0].TitleX = 50;
    WavGraph.Ch[4].TitleY = 20;
    WgdCurSet(-1);
    GrpCursor[0].CsrPos = 1;
    GrpCursor[1].CsrPos = 498;

    // The picture as the window opens it, at the default scale and at 1.5 x (the same picture in
    // points, drawn on 1.5 times the pixels).
    for (double scale : {1.0, 1.5}) {
        for (QSizeF pt : {QSizeF(420, 400), QSizeF(700, 560)}) {
            PrdRecorder screen(pt * scale, 96 * scale, false);
            PrdSurface s(&screen);
            const WgdView v = WgdDraw(&s, 1, "/NO_TEXT /NO_PRINTER", WgdPanelInfo{}, false);
            WgdCursors(&s, v);
            EXPECT_EQ(Unreadable(screen), std::vector<std::string>{}) << pt.width() << " x " << scale;
        }
    }

    PrdRecorder paper(QSizeF(2480, 3508), 300); // A4 at 300 dpi
    PrdRedirectPrinter(&paper);
    WgdPanelInfo info;
    info.trgOn = true;
    info.trgPosText = "4/8";
    info.trgSlopeText = "Rising";
    for (auto& col : info.readout)
        for (auto& cell : col) cell = "-32768pulse";
    const char* const heading[6] = {"Time",   "Actual speed",   "Commanded speed",
                                    "Torque", "Position error", "Full close error"};
    for (int c = 0; c < 6; ++c)
        info.readout[c][3] = heading[c];
    KisyuMei = "TESKR21B7C";
    WgdDraw(nullptr, 1, "/PRINTER /TEXT", info, true);
    PrdRedirectPrinter(nullptr);
    EXPECT_EQ(Unreadable(paper), std::vector<std::string>{});
    // On paper the value labels are as large as the text under the graph and keep clear of the page's
    // edges.
    double textPt = 0, digit = 0;
    for (const PrdOp& o : paper.Ops())
        if (o.kind == PrdOp::Text && o.text == "Obsrv Wave : ") textPt = o.fontPt;
    ASSERT_GT(textPt, 0);
    int labels = 0;
    for (const PrdOp& o : paper.Ops()) {
        if (o.kind != PrdOp::Text || o.text.trimmed() != "40000") continue;
        ++labels;
        digit = o.size.width() / o.text.size();
        EXPECT_GE(o.fontPt + 1e-9, textPt);
        EXPECT_GE(o.a.x(), 2 * digit - 1e-9);
        EXPECT_LE(o.a.x() + o.size.width(), paper.SizePx().height() - 2 * digit + 1e-9); // landscape
    }
    EXPECT_EQ(labels, 3); // the speed axis on the left, the two position axes sharing their column
}

} // namespace
