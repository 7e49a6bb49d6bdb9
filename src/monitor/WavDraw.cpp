#include "monitor/WavDraw.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <vector>

#include "app/Glb.h"
#include "monitor/WavLogic.h"
#include "platform/Numbers.h"

namespace {

bool Has(const std::string& s, const char* word) { return s.find(word) != std::string::npos; }

WavChRec& Geo() { return WavGraph.Ch[1]; }

Qt::PenStyle Style(int s)
{
    switch (s) {
    case 1: return Qt::DashLine;
    case 2: return Qt::DotLine;
    case 3: return Qt::DashDotLine;
    case 4: return Qt::DashDotDotLine;
    case 5: return Qt::NoPen;
    default: return Qt::SolidLine;
    }
}

// General number format of a single: up to seven significant digits, no trailing zeros.
std::string General(double v)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.7g", static_cast<double>(static_cast<float>(v)));
    std::string s = buf;
    if (s == "-0") s = "0";
    return s;
}

double UnitMs() { return WavGraph.Word[WavWSmp] * WavSmpBase * 1000.0; }

// The records whose value axes may be labelled: the geometry record, then each offered channel's
// measured record, or its reference when only that is shown.
std::vector<const WavChRec*> AxisRecs(bool shownOnly)
{
    std::vector<const WavChRec*> out{&Geo()};
    for (int d = 1; d <= 4; ++d) {
        const WavChRec& obs = WavGraph.Ch[WavDspToRec[d]];
        const WavChRec& ref = WavGraph.Ch[WavDspToRefRec[d]];
        if (MeasItem[d].Offered == 0) continue;
        if (shownOnly && obs.Visible == 0 && ref.Visible == 0) continue;
        out.push_back(obs.Visible != 0 || ref.Visible == 0 ? &obs : &ref);
    }
    return out;
}

std::string ValLabel(const WavChRec& r, int k)
{
    const double v = (k - r.YOff) * r.YDiv;
    return (v >= 0 ? " " : "") + General(v);
}

bool InFrameX(const WavChRec& g, double x) { return x >= g.GrLeft && x <= g.GrRight; }

// Where the labels go on one target: the columns of value labels beside the frame (by the records'
// LabelX: left of the frame or right of it, in that order) and the rows of axis titles above it (by
// TitleY), each as wide or as high as its texts in the label font.
struct Layout {
    WgdView view;
    std::map<float, double> col; // LabelX -> x where the column's texts start
    std::map<float, double> row; // TitleY -> y of the row's top
    double gap = 0;              // units between neighbouring texts
};

double ColX(const Layout& l, float labelX)
{
    const auto it = l.col.find(labelX);
    return it == l.col.end() ? labelX : it->second;
}

// Call with the label font set; leaves the surface in the layout's coordinates.
Layout MakeLayout(PrdSurface& s, float h, bool panel)
{
    Layout l;
    const WavChRec& g = Geo();
    s.ScalePixels();
    const QSizeF px = s.Device() ? s.Device()->SizePx() : QSizeF(620, h);
    const double line = s.TextHeight("0");
    const double gap = s.TextWidth("0");
    double left = 0;
    std::map<float, double> right;
    std::set<float> rows;
    for (const WavChRec* r : AxisRecs(false)) {
        double w = 0;
        if (!r->AxisTitle.empty()) {
            rows.insert(r->TitleY);
            if (!InFrameX(g, r->TitleX)) w = s.TextWidth(r->AxisTitle);
        }
        if (r->ShowLabels != 0)
            for (int k = -5; k <= 5; ++k) w = std::max(w, s.TextWidth(ValLabel(*r, k)));
        if (r->LabelX < g.GrLeft)
            left = std::max(left, w);
        else
            right[r->LabelX] = std::max(right[r->LabelX], w);
    }
    // Above the frame the title rows and the cursor tags; below it the time labels.
    const double top = gap / 2 + (static_cast<double>(rows.size()) + 1) * line;
    const double bottom = panel ? 0 : line + gap / 2;
    // On paper the outer columns keep two digits' room from the page's edges; on a picture half a digit
    // on the left and one on the right.
    const double edge = s.IsPrinter() ? 2 * gap : gap / 2;
    const double lm = edge + left + gap;
    double rm = s.IsPrinter() ? 2 * gap : gap;
    for (const auto& [x, w] : right) rm += w + gap;
    const double ux = (g.GrRight - g.GrLeft) / std::max(px.width() - lm - rm, px.width() / 4);
    // With the text panel the page keeps its height in units below the frame; the panel's rows are
    // 20 units apart.
    const double below = panel ? h - g.GrBottom : 0;
    const double uy = (g.GrBottom - g.GrTop + below) / std::max(px.height() - top - bottom, px.height() / 4);
    l.view.x1 = g.GrLeft - lm * ux;
    l.view.x2 = l.view.x1 + px.width() * ux;
    l.view.y1 = g.GrTop - top * uy;
    l.view.y2 = l.view.y1 + px.height() * uy;
    l.gap = gap * ux;
    double x = l.view.x1 + edge * ux;
    for (const WavChRec* r : AxisRecs(false))
        if (r->LabelX < g.GrLeft) l.col[r->LabelX] = x;
    x = g.GrRight + gap * ux;
    for (const auto& [lx, w] : right) {
        l.col[lx] = x;
        x += (w + gap) * ux;
    }
    double y = l.view.y1 + gap / 2 * uy;
    for (float ty : rows) {
        l.row[ty] = y;
        y += line * uy;
    }
    s.Scale(l.view.x1, l.view.y1, l.view.x2, l.view.y2);
    return l;
}

void Grid(PrdSurface& s, const WavChRec& g)
{
    s.SetDrawStyle(Qt::SolidLine);
    s.SetDrawWidth(1);
    const QColor frame = WavColor(g.FrameColor);
    s.Line(g.GrLeft, g.GrTop, g.GrRight, g.GrTop, frame);
    s.Line(g.GrRight, g.GrTop, g.GrRight, g.GrBottom, frame);
    s.Line(g.GrRight, g.GrBottom, g.GrLeft, g.GrBottom, frame);
    s.Line(g.GrLeft, g.GrBottom, g.GrLeft, g.GrTop, frame);
    const QColor grid = s.IsPrinter() ? QColor(Qt::black) : WavColor(g.GridColor);
    s.Line(g.GrLeft, g.GrCenter, g.GrRight, g.GrCenter, WavColor(g.GridColor));
    s.SetDrawStyle(Qt::DotLine);
    for (int k = 1; k <= 4; ++k) {
        s.Line(g.GrLeft, g.GrTop + 50 * k, g.GrRight, g.GrTop + 50 * k, grid);
        s.Line(g.GrLeft, g.GrCenter + 50 * k, g.GrRight, g.GrCenter + 50 * k, grid);
    }
    s.SetDrawStyle(Qt::SolidLine);
}

void TimeAxis(PrdSurface& s, const WavChRec& g, const Layout& l)
{
    const double unit = UnitMs();
    s.SetDrawStyle(Qt::SolidLine);
    s.SetForeColor(Qt::black);
    // The unit ends at the frame's right edge; a label that would reach it or its left neighbour is
    // left out, its grid line is not.
    const double unitX = g.GrRight - s.TextWidth("[s]");
    s.PrintText(unitX, g.GrBottom, "[s]");
    if (unit > 0 && g.XScale > 0) {
        const double xoff = std::floor(g.XOff);
        const double t1 = xoff * unit;
        const double t2 = (std::floor(500.0 / g.XScale) + xoff) * unit;
        const double step = WgdNiceStep(t2 - t1);
        double lastEnd = l.view.x1;
        for (long k = 0;; ++k) {
            const double t = k * step;
            if (t > t2 + step * 1e-9) break;
            // The first shown sample's own time is labelled too: an axis starts at its 0.
            if (t < t1 - step * 1e-9) continue;
            const double x = g.GrLeft + (t / unit - g.XOff) * g.XScale;
            const std::string label = General(t / 1000.0);
            const double w = s.TextWidth(label);
            const double lx = x - w / 2;
            if (lx >= lastEnd && lx + w + l.gap <= unitX) {
                s.PrintText(lx, g.GrBottom, label);
                lastEnd = lx + w + l.gap;
            }
            if (x <= g.GrLeft) continue; // the frame's own edge
            if (s.IsPrinter()) {
                s.SetDrawStyle(Qt::DotLine);
                s.Line(x, g.GrBottom, x, g.GrTop, Qt::black);
            } else {
                s.Line(x, g.GrBottom, x, g.GrTop, QColor(0x80, 0x80, 0x80));
            }
            s.SetDrawStyle(Qt::SolidLine);
        }
    }
}

void ValAxis(PrdSurface& s, const WavChRec& r, const Layout& l)
{
    s.SetForeColor(WavColor(r.Color));
    const auto row = l.row.find(r.TitleY);
    const double ty = row == l.row.end() ? r.TitleY : row->second;
    s.PrintText(InFrameX(Geo(), r.TitleX) ? r.TitleX : ColX(l, r.TitleX), ty, r.AxisTitle);
    if (r.ShowLabels == 0) return;
    const double h = s.TextHeight("0");
    const double x = ColX(l, r.LabelX);
    for (int k = -5; k <= 5; ++k) s.PrintText(x, r.GrCenter - 50 * k - h / 2, ValLabel(r, k));
}

void ValAxes(PrdSurface& s, const Layout& l)
{
    for (const WavChRec* r : AxisRecs(true)) ValAxis(s, *r, l);
}

void SetLine(PrdCtx& ctx, const WavChRec& r)
{
    if (r.LineStyle != 0) {
        ctx.Obj->SetDrawStyle(Style(r.LineStyle));
        ctx.Obj->SetDrawWidth(1);
    } else {
        ctx.Obj->SetDrawStyle(Qt::SolidLine);
        PrdSetDrawWidth(ctx, r.Thick);
    }
}

void Curve(PrdCtx& ctx, const WavChRec& r)
{
    if (r.Visible != plat::VbTrue || r.XScale <= 0) return;
    PrdSurface& s = *ctx.Obj;
    SetLine(ctx, r);
    const long s0 = std::lround(plat::RoundHalfEven(r.XOff));
    if (s0 < 0 || s0 > 500) return;
    const QColor c = WavColor(r.Color);
    double lx = r.GrLeft;
    double ly = WgdValToY(r.DispData[s0], r);
    for (int i = 1; i <= 499; ++i) {
        if (i * r.XScale > 500) break;
        const long si = std::lround(plat::RoundHalfEven(i + r.XOff));
        if (si > 499) break;
        const double y = WgdValToY(r.DispData[si], r);
        const double x = r.GrLeft + i * r.XScale + 1;
        s.Line(lx, ly, x, y, c);
        lx = x;
        ly = y;
    }
    s.SetDrawWidth(1);
}

void CursorsOn(PrdCtx& ctx)
{
    if (GrpCursor[0].CsrOn == 0) return;
    GrpCursor[0].CsrStyle = 2;
    GrpCursor[1].CsrStyle = 0;
    GrpCursor[0].CsrColor = GrpCursor[1].CsrColor = 0x003200;
    PrdSurface& s = *ctx.Obj;
    const WavChRec& g = Geo();
    PrdSetLabelFontSize(ctx, 0.8f);
    s.SetDrawWidth(1);
    for (int n = 0; n < 2; ++n) {
        const long x = std::lround(plat::RoundHalfEven((GrpCursor[n].CsrPos - g.XOff) * g.XScale));
        if (x < 0 || x > 500) continue;
        const std::string tag = std::to_string(n + 1) + "C";
        if (x >= 1 && x <= 499) {
            s.SetDrawStyle(Style(GrpCursor[n].CsrStyle));
            s.Line(g.GrLeft + x, g.GrTop, g.GrLeft + x, g.GrBottom, WavColor(GrpCursor[n].CsrColor));
        }
        s.SetForeColor(Qt::black);
        s.PrintText(g.GrLeft + x - s.TextWidth(tag) / 2, g.GrTop - s.TextHeight(tag), tag);
    }
    s.SetDrawStyle(Qt::SolidLine);
    PrdSetLabelFontSize(ctx, 1.0f);
}

void LegendItem(PrdCtx& ctx, double x, double y, int rec, const std::string& name) {
    const WavChRec& r = WavGraph.Ch[rec];
    PrdSurface& s = *ctx.Obj;
    s.SetForeColor(Qt::black);
    s.PrintText(x, y, name);
    x += s.TextWidth(name);
    SetLine(ctx, r);
    const double ly = y + s.TextHeight(name) / 2;
    s.Line(x, ly, x + 20, ly, WavColor(r.Color));
    s.SetDrawStyle(Qt::SolidLine);
    s.SetDrawWidth(1);
}

std::string CleanModel()
{
    std::string m;
    for (char c : KisyuMei)
        if (c != '*' && c != '_' && c != '\0') m += c;
    const size_t a = m.find_first_not_of(' ');
    const size_t b = m.find_last_not_of(' ');
    return a == std::string::npos ? std::string() : m.substr(a, b - a + 1);
}

// Where the legend items of one row go: one after the other from x; where the names as printed would
// run past right, without their leading blanks but one, and what still does not fit goes on to the next
// lines, 20 units apart.
struct LegendPlace {
    int rec;
    std::string name;
    double x, line;
};

std::vector<LegendPlace> LegendPlan(PrdSurface& s, const int* recs, double x0, double right) {
    std::vector<std::string> names;
    for (int d = 0; d < WavChShown; ++d) names.emplace_back(WgdLegendName(d));
    auto place = [&] {
        std::vector<LegendPlace> out;
        double x = x0, line = 0;
        for (int d = 0; d < WavChShown; ++d) {
            if (WavGraph.Ch[recs[d]].Visible == 0) continue;
            const double w = s.TextWidth(names[d]) + 20;
            if (x > x0 && x + w > right) {
                x = x0;
                line += 1;
            }
            // A continued line starts with the name itself.
            const size_t from = x == x0 && line > 0 ? names[d].find_first_not_of(' ') : 0;
            out.push_back({recs[d], names[d].substr(from), x, line});
            x += w + 5;
        }
        return out;
    };
    std::vector<LegendPlace> out = place();
    if (out.empty() || out.back().line == 0) return out;
    for (std::string& n : names) n = (n.front() == ' ' ? " " : "") + n.substr(n.find_first_not_of(' '));
    return place();
}

// The headings of the text panel under a printed graph, each at the start of a line.
const char* const kObsrvHead = "Obsrv Wave : ";
const char* const kRefHead = "Ref Wave : ";
const char* const kCondHead = "Measuring condition : ";
const char* const kModelHead = "Model/Date of measurement : ";
const char* const kMemoHead = "Memo:";

// Where the panel's second column starts: 130 units in, or further where a heading in the font of the
// panel would reach it.
double PanelColumn(PrdSurface& s, double gap) {
    double widest = 0;
    for (const char* t : {kObsrvHead, kRefHead, kCondHead, kModelHead, kMemoHead})
        widest = std::max(widest, s.TextWidth(t));
    return Geo().GrLeft + std::max(130.0, widest + gap);
}

// Lines the two legend rows take beyond one each.
int LegendExtraLines(PrdSurface& s, double right, double gap) {
    const double xc = PanelColumn(s, gap);
    int extra = 0;
    for (const int* recs : {WavDspToRec, WavDspToRefRec}) {
        const std::vector<LegendPlace> plan = LegendPlan(s, recs, xc, right);
        if (!plan.empty()) extra += static_cast<int>(plan.back().line);
    }
    return extra;
}

void TextPanel(PrdCtx& ctx, const WgdPanelInfo& info, const Layout& l)
{
    PrdSurface& s = *ctx.Obj;
    const WavChRec& g = Geo();
    const double x0 = g.GrLeft, xc = PanelColumn(s, l.gap);
    double y = g.GrBottom + 55;
    s.SetForeColor(Qt::black);
    auto heading = [&](const char* text) {
        s.SetForeColor(Qt::black);
        s.PrintText(x0, y, text);
    };
    for (auto [title, recs] :
         {std::pair{kObsrvHead, WavDspToRec}, std::pair{kRefHead, WavDspToRefRec}}) {
        heading(title);
        double lines = 0;
        for (const LegendPlace& p : LegendPlan(s, recs, xc, l.view.x2 - l.gap)) {
            LegendItem(ctx, p.x, y + 20 * p.line, p.rec, p.name);
            lines = p.line;
        }
        y += 20 * (lines + 1);
    }
    heading(kCondHead);
    std::string cond;
    if (!info.trgOn) {
        cond = "Actual speed trigger : none";
    } else {
        cond = "Actual speed trigger : yes    Trigger position : " + info.trgPosText +
               "    Trigger slope : " + info.trgSlopeText +
               "    Trigger level : " + std::to_string(WavGraph.Word[WavWTrigLevel]) + "    ";
    }
    s.PrintText(xc, y, cond);
    y += 20;
    heading(kModelHead);
    s.PrintText(xc, y, CleanModel() + "  /  " + WavDateText(SokuTeiDate));
    y += 20;
    heading(kMemoHead);
    for (int l = 0; l < CommentLines; ++l) {
        s.PrintText(xc, y, CommentTxt[1][l]);
        y += 20;
    }
    if (GrpCursor[0].CsrOn == 0) return;
    heading("Value:");
    y += 20;
    static const char* const kRow[] = {"", "Cursor1", "Cursor2", "Cursor2-1"};
    static const int kIdx[] = {3, 0, 1, 2};
    static const int kColRec[] = {1, 0, 2, 3, 4}; // speed, commanded speed, torque, error, full-closed
    // Each column ends where it should, or further right where its widest text would reach the column
    // before it.
    auto widest = [&](int c) {
        double w = 0;
        for (const std::string& t : info.readout[c])
            w = std::max(w, s.TextWidth(t));
        return w;
    };
    double rowLabels = 0;
    for (const char* t : kRow)
        rowLabels = std::max(rowLabels, s.TextWidth(t));
    double ends[6];
    ends[0] = std::max(x0 + 120, x0 + rowLabels + l.gap + widest(0));
    for (int c = 0; c < 5; ++c) {
        const bool shown = WavGraph.Ch[kColRec[c]].Visible != 0;
        ends[c + 1] = ends[c] + (shown ? std::max(80.0, widest(c + 1) + l.gap) : 80.0);
    }
    for (int r = 0; r < 4; ++r) {
        s.PrintText(x0, y, kRow[r]);
        const std::string& t = info.readout[0][kIdx[r]];
        s.PrintText(ends[0] - s.TextWidth(t), y, t);
        for (int c = 0; c < 5; ++c) {
            if (WavGraph.Ch[kColRec[c]].Visible == 0) continue;
            const std::string& v = info.readout[c + 1][kIdx[r]];
            s.PrintText(ends[c + 1] - s.TextWidth(v), y, v);
        }
        y += 20;
    }
}

// Widens the symmetric range low..high by the shown samples of a record.
void Range(int rec, double& low, double& high)
{
    const WavChRec& r = WavGraph.Ch[rec];
    if (r.DataValid == 0 || r.XScale <= 0) return;
    double mx = -32767, mn = 32767;
    bool any = false;
    for (int i = 0; i * r.XScale <= 500; ++i) {
        const long s = std::lround(plat::RoundHalfEven(i + r.XOff));
        if (s < 0 || s >= 500) break;
        const double v = std::max<int>(r.DispData[s], -32767);
        mx = std::max(mx, v);
        mn = std::min(mn, v);
        any = true;
    }
    if (!any) return;
    const double m = std::max(std::fabs(mx), std::fabs(mn));
    high = std::max(high, m);
    low = std::min(low, -m);
}

void PickScale(WavChRec& r, double low, double high)
{
    int e = 0;
    if (r.RangeCnt < 1) {
        e = std::max<int>(0, r.RangeCnt);
    } else {
        for (e = r.RangeCnt; e >= 1; --e)
            if (1.4 * (high - low) < 2.0 * r.RangeTbl[e]) break;
    }
    r.RangeIdx = static_cast<int16_t>(e);
    r.YOff = 0;
    r.YDiv = static_cast<float>(WavFullScale(r) / 5.0);
}

} // namespace

// ---- painter device ----------------------------------------------------------------------------------

WavPainterDevice::~WavPainterDevice() { Flush(); }

void WavPainterDevice::Flush()
{
    if (!run_.isEmpty()) {
        p_.setPen(pen_);
        p_.drawLines(run_);
    }
    run_.clear();
}

void WavPainterDevice::Clear(const QColor& back)
{
    Flush();
    p_.fillRect(QRectF(QPointF(0, 0), size_), back);
}

void WavPainterDevice::Line(QPointF a, QPointF b, const QPen& pen)
{
    // A curve is hundreds of lines in one pen: handed over together they cost a fraction.
    if (run_.isEmpty() || pen != pen_) {
        Flush();
        pen_ = pen;
    }
    run_.append(QLineF(a, b));
}

void WavPainterDevice::Text(QPointF topLeft, const QString& text, const QFont& font, const QColor& color)
{
    Flush();
    p_.setFont(font);
    p_.setPen(color);
    const QFontMetricsF fm(font, p_.device());
    p_.drawText(topLeft + QPointF(0, fm.ascent()), text);
}

QSizeF WavPainterDevice::TextSize(const QString& text, const QFont& font) const
{
    const QFontMetricsF fm(font, p_.device());
    return QSizeF(fm.horizontalAdvance(text), fm.height());
}

// ---- entry points ------------------------------------------------------------------------------------

QColor WavColor(int32_t bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

const char* WgdLegendName(int d)
{
    static const char* const kName[WavChShown] = {"Actual speed ",       "   Torque ",
                                                   "   Position error ", "   Commanded speed ",
                                                   "   Full close error ", "   In position "};
    return d >= 0 && d < WavChShown ? kName[d] : "";
}

void WgdAxisInit(WavChRec& r)
{
    r.GrLeft = 45;
    r.GrRight = 545;
    r.GrBottom = 550;
    r.GrCenter = 300;
    r.GrTop = 50;
    r.GridColor = 0x646464;
    r.FrameColor = 0;
    r.Thick = 15;
    r.LineStyle = 0;
    r.AxisTitle = "Title of the axis";
    r.TitleX = static_cast<float>(r.GrLeft - 40);
    r.TitleY = static_cast<float>(r.GrTop - 50);
    r.LabelX = static_cast<float>(r.GrLeft - 40);
    r.ShowLabels = 1;
    r.Visible = 1;
    r.Factor = 1.0f;
    r.DataValid = 0;
    r.YOff = 0;
    r.YDiv = 1.0f;
    r.XOff = 1.0f;
    r.XScale = 1.0f;
}

void WgdSetCh(int kind, int d, int16_t value)
{
    if (d < 0 || d >= WavChShown) return;
    WavGraph.Ch[kind == 1 ? WavDspToRefRec[d] : WavDspToRec[d]].DataValid = value;
}

void WgdCurSet(int16_t flag)
{
    GrpCursor[0].CsrOn = GrpCursor[1].CsrOn = flag;
}

int16_t WgdCurGet(int n, const WavChRec& rec)
{
    return rec.DispData[std::clamp<int>(GrpCursor[std::clamp(n, 0, 2)].CsrPos, 0, WavSampleCnt - 1)];
}

double WgdCurVal(int n)
{
    return WavCsrTime(GrpCursor[std::clamp(n, 0, 2)].CsrPos, WavGraph.Word[WavWSmp], WavSmpBase);
}

int16_t WgdDisp(int16_t raw, float factor)
{
    if (!(factor > 0)) return raw;
    const double v = plat::RoundHalfEven(raw / static_cast<double>(factor));
    return static_cast<int16_t>(std::clamp(v, -32768.0, 32767.0));
}

double WgdValToY(double v, const WavChRec& r)
{
    const double div = r.YDiv > 0 ? r.YDiv : 1.0;
    const double d = std::clamp((v / div + r.YOff) * 50.0, -250.0, 250.0);
    return r.GrCenter - d;
}

double WgdNiceStep(double span)
{
    double step = 5000;
    for (int k = 0; k <= 5; ++k)
        for (double m : {0.01, 0.02, 0.05}) {
            const double s = m * std::pow(10.0, k);
            if (10 * s > span) return s;
        }
    return step;
}

namespace {
void ComputeDisp()
{
    for (WavChRec& r : WavGraph.Ch)
        for (int i = 0; i < WavSampleCnt; ++i) r.DispData[i] = WgdDisp(r.RawData[i], r.Factor);
}
} // namespace

void WgdAutoScale()
{
    ComputeDisp();
    double sLo = 0, sHi = 0, tLo = 0, tHi = 0, pLo = 0, pHi = 0;
    for (int rec : {1, 0, 7, 6}) Range(rec, sLo, sHi);
    for (int rec : {2, 8}) Range(rec, tLo, tHi);
    for (int rec : {3, 4, 9, 10}) Range(rec, pLo, pHi);
    PickScale(WavGraph.Ch[1], sLo, sHi);
    PickScale(WavGraph.Ch[2], tLo, tHi);
    PickScale(WavGraph.Ch[3], pLo, pHi);
    // Records 0 and 4 have no axis of their own: they are drawn on the speed and position axes.
    for (auto [to, from] : {std::pair{0, 1}, std::pair{4, 3}}) {
        WavGraph.Ch[to].YOff = WavGraph.Ch[from].YOff;
        WavGraph.Ch[to].YDiv = WavGraph.Ch[from].YDiv;
    }
}

QPointF WgdView::Units(QPointF at, QSizeF px) const
{
    const double w = std::max(1.0, px.width()), h = std::max(1.0, px.height());
    return QPointF(x1 + at.x() * (x2 - x1) / w, y1 + at.y() * (y2 - y1) / h);
}

WgdView WgdDraw(PrdSurface* target, int16_t dataFlag, const std::string& options, const WgdPanelInfo& info,
                bool withCursors)
{
    const bool text = Has(options, "/TEXT");
    const float h = !text ? 615.0f : (GrpCursor[0].CsrOn == 0 ? 815.0f : 915.0f);
    PrdCtx ctx;
    PrdInit(ctx, target, 620.0f, h, options);
    if (!ctx.Obj) return WgdView{};
    PrdSurface& s = *ctx.Obj;
    // On paper the labels take the text's size: the small size is for pictures beside other controls.
    const float labelFactor = s.IsPrinter() ? 1.0f : 0.8f;
    PrdSetLabelFontSize(ctx, labelFactor);
    Layout layout = MakeLayout(s, h, text);
    if (text && dataFlag != 0) {
        // A legend that needs more lines than one a row makes the page longer by them.
        PrdSetLabelFontSize(ctx, 1.0f);
        const int extra = LegendExtraLines(s, layout.view.x2 - layout.gap, layout.gap);
        PrdSetLabelFontSize(ctx, labelFactor);
        if (extra > 0) layout = MakeLayout(s, h + 20.0f * extra, text);
    }
    Grid(s, Geo());
    TimeAxis(s, Geo(), layout);
    ValAxes(s, layout);
    PrdSetLabelFontSize(ctx, 1.0f);
    if (dataFlag != 0) {
        for (int d = 0; d < WavChShown; ++d) {
            const WavChRec& o = WavGraph.Ch[WavDspToRec[d]];
            WavChRec& r = WavGraph.Ch[WavDspToRefRec[d]];
            r.XScale = o.XScale;
            r.XOff = o.XOff;
            r.YDiv = o.YDiv;
            r.YOff = o.YOff;
            r.Factor = o.Factor;
        }
        ComputeDisp();
        for (int d = 0; d < WavChShown; ++d) Curve(ctx, WavGraph.Ch[WavDspToRec[d]]);
        for (int d = 0; d < WavChShown; ++d) Curve(ctx, WavGraph.Ch[WavDspToRefRec[d]]);
        if (withCursors) CursorsOn(ctx);
        if (text) TextPanel(ctx, info, layout);
    }
    if (s.IsPrinter()) {
        // Curves on the edges leave the frame lines broken on paper: draw them again.
        const WavChRec& g = Geo();
        s.SetDrawStyle(Qt::SolidLine);
        s.SetDrawWidth(1);
        s.Line(g.GrLeft, g.GrBottom, g.GrRight, g.GrBottom, WavColor(g.FrameColor));
        s.Line(g.GrLeft, g.GrTop, g.GrRight, g.GrTop, WavColor(g.FrameColor));
    }
    PrdEnd(ctx);
    return layout.view;
}

void WgdCursors(PrdSurface* target)
{
    PrdCtx ctx;
    PrdInit(ctx, target, 620.0f, 615.0f, "/EDIT");
    if (!ctx.Obj) return;
    PrdSetLabelFontSize(ctx, 0.8f);
    MakeLayout(*ctx.Obj, 615.0f, false);
    CursorsOn(ctx);
}

void WgdCursors(PrdSurface* target, const WgdView& view)
{
    PrdCtx ctx;
    PrdInit(ctx, target, 620.0f, 615.0f, "/EDIT");
    if (!ctx.Obj) return;
    ctx.Obj->Scale(view.x1, view.y1, view.x2, view.y2);
    CursorsOn(ctx);
}
