#include "frequency/FrqGrp.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "app/Prd.h"
#include "platform/Numbers.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kCircle = 50;     // radius of the cursor circle and the mark
constexpr double kTextLimit = 3.0; // circle, values and mark only below 1000 Hz

QColor Color(uint32_t rgb) {
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

bool ValidIdx(int i) {
    return i >= 0 && i < FrqPointCnt;
}

// Strictly inside the plot, horizontally and vertically.
bool InsideX(const FrqGraphRec& r, double logf) {
    const double dx = r.XOrg + logf * r.XPerDec;
    return dx > 0 && dx < r.PlotWidth;
}
bool InsideY(const FrqGraphRec& r, double y) {
    return y > r.PlotTop && y < r.PlotTop + r.PlotHeight;
}

std::string Fixed(double v, int decimals) {
    std::string s = plat::FormatFixed(v, decimals);
    if (s == "-0" || s == "-0.0") s.erase(0, 1);
    return s;
}

void Circle(PrdSurface& t, double x, double y, double r, const QColor& c, bool filled) {
    // Scaled by the surface's aspect: a drawing unit is the same length on both axes.
    constexpr int kSides = 24;
    if (filled)
        for (double dy = -r; dy <= r; dy += r / 12) {
            const double dx = std::sqrt(std::max(0.0, r * r - dy * dy));
            t.Line(x - dx, y + dy, x + dx, y + dy, c);
        }
    for (int k = 0; k < kSides; ++k) {
        const double a0 = 2 * kPi * k / kSides;
        const double a1 = 2 * kPi * (k + 1) / kSides;
        t.Line(x + r * std::cos(a0), y + r * std::sin(a0), x + r * std::cos(a1), y + r * std::sin(a1), c);
    }
}

// The title on as many lines as the picture's width needs, broken only between its items (set apart by
// two spaces), so that a narrow picture shows every item whole.
std::vector<std::string> TitleLines(const PrdSurface& t, const std::string& title) {
    if (!t.Device()) return {title};
    const double room =
        t.FromDevice(QPointF(t.Device()->SizePx().width(), 0)).x() - t.FromDevice(QPointF(0, 0)).x();
    if (t.TextWidth(title) <= room) return {title};
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t pos = 0;;) {
        const std::size_t next = title.find("  ", pos);
        const std::string item =
            title.substr(pos, next == std::string::npos ? std::string::npos : next - pos);
        const std::string joined = line.empty() ? item : line + "  " + item;
        if (!line.empty() && t.TextWidth(joined) > room) {
            lines.push_back(line);
            line = item;
        } else {
            line = joined;
        }
        if (next == std::string::npos) break;
        pos = next + 2;
    }
    lines.push_back(line);
    return lines;
}

// The value axis' steps from the top of the plot to its bottom, as numbers of TickStep; none when the
// axis has no scale.
struct TickRange {
    long top = 0, bottom = 0;
};
std::optional<TickRange> Ticks(const FrqGraphRec& r) {
    if (r.YPerUnit == 0 || r.TickStep == 0) return std::nullopt;
    const auto top = static_cast<long>(plat::RoundHalfEven(r.YOrg / r.YPerUnit / r.TickStep));
    const auto bottom =
        static_cast<long>(plat::RoundHalfEven((r.YOrg - r.PlotHeight) / r.YPerUnit / r.TickStep));
    if (top == bottom) return std::nullopt;
    return TickRange{top, bottom};
}

std::string TickLabel(const FrqGraphRec& r, long k) {
    return plat::StrForm(k * r.TickStep);
}

// The room the value axis' labels take left of the plot, where its title ends: four digits, or more where a
// label in the current font needs it.
double YLabelsWidth(const PrdSurface& t, const FrqGraphRec& r) {
    double w = t.TextWidth("0000");
    if (const auto k = Ticks(r))
        for (long i = std::min(k->top, k->bottom); i <= std::max(k->top, k->bottom); ++i)
            w = std::max(w, t.TextWidth(TickLabel(r, i)) + t.TextWidth("0") / 2);
    return w;
}

void Titles(PrdSurface& t, const FrqGraphRec& r) {
    t.SetFontSize(r.FontSmall);
    t.SetForeColor(Qt::black);
    const double h = t.TextHeight("0");
    // Centred over the plot, but on a narrow picture no further out than the picture's edges; the last
    // line 2.5 lines above the plot, the ones before it above that.
    const std::vector<std::string> lines = TitleLines(t, r.GrTitle);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const double tw = t.TextWidth(lines[i]);
        double tx = r.PlotLeft + r.PlotWidth / 2 - tw / 2;
        if (t.Device()) {
            const double lo = t.FromDevice(QPointF(0, 0)).x();
            const double hi = t.FromDevice(QPointF(t.Device()->SizePx().width(), 0)).x();
            tx = std::clamp(tx, lo, std::max(lo, hi - tw));
        }
        t.PrintText(tx, r.PlotTop - (2.5 + static_cast<double>(lines.size() - 1 - i)) * h, lines[i]);
    }
    t.PrintText(r.PlotLeft + r.PlotWidth / 2 - t.TextWidth(r.XTitle) / 2, r.PlotTop + r.PlotHeight + h,
                r.XTitle);
    const double end = r.PlotLeft - YLabelsWidth(t, r);
    const double mid = r.PlotTop + r.PlotHeight / 2;
    t.PrintText(end - t.TextWidth(r.YTitle), mid - 1.1 * h, r.YTitle);
    t.PrintText(end - t.TextWidth(r.YUnit), mid + 0.1 * h, r.YUnit);
}

void Header(PrdSurface& t, const FrqGraphRec& r) {
    if (!r.HeadOn) return;
    t.SetFontSize(r.FontSmall);
    t.SetForeColor(Qt::black);
    const double h = t.TextHeight("0");
    const double x = t.TextWidth("000");
    // The date and the comment's lines start two blanks after the wider heading.
    const double indent =
        x + std::max(t.TextWidth("Date time:"), t.TextWidth("Comment:")) + t.TextWidth("  ");
    double y = r.PlotTop + r.PlotHeight + 3.5 * h;
    const QDateTime now = QDateTime::currentDateTime();
    t.PrintText(x, y, "Date time:");
    t.PrintText(indent, y,
                (now.toString(QStringLiteral("yyyy/MM/dd")) + QStringLiteral(" ") +
                 now.toString(QStringLiteral("HH:mm:ss")))
                    .toStdString());
    y += h;
    t.PrintText(x, y, "Comment:");
    for (const std::string& line : r.HeadMemo) {
        t.PrintText(indent, y, line);
        y += h;
    }
}

void GrpAxisLine(PrdSurface& t, const FrqGraphRec& r) {
    const QColor c = Color(r.BoxColor);
    const double x0 = r.PlotLeft, x1 = r.PlotLeft + r.PlotWidth, y0 = r.PlotTop,
                 y1 = r.PlotTop + r.PlotHeight;
    t.Line(x0, y0, x1, y0, c);
    t.Line(x1, y0, x1, y1, c);
    t.Line(x1, y1, x0, y1, c);
    t.Line(x0, y1, x0, y0, c);
}

void GrpLogTick(PrdSurface& t, const FrqGraphRec& r, long f) {
    const double lf = std::log10(static_cast<double>(f));
    const double x = r.PlotLeft + r.XOrg + lf * r.XPerDec;
    if (!(x > r.PlotLeft && x < r.PlotLeft + r.PlotWidth)) return;
    if (static_cast<long>(plat::RoundHalfEven(lf * 100)) % 100 < 10) {
        const std::string label = " " + std::to_string(f);
        t.SetForeColor(Qt::black);
        t.PrintText(x - t.TextWidth(label) / 2, r.PlotTop + r.PlotHeight, label);
    }
    t.Line(x, r.PlotTop + r.PlotHeight, x, r.PlotTop, Color(r.TickColor));
}

void GrpLogTicks(PrdSurface& t, const FrqGraphRec& r) {
    if (r.XPerDec == 0) return;
    long decade = 1;
    for (int d = 0; d <= 5; ++d, decade *= 10)
        for (long j = 1; j <= 9; ++j)
            GrpLogTick(t, r, j * decade);
}

void GrpLinTick(PrdSurface& t, const FrqGraphRec& r) {
    const auto ticks = Ticks(r);
    if (!ticks) return;
    const long kTop = ticks->top, kBottom = ticks->bottom;
    const long step = kBottom > kTop ? 1 : -1;
    const double h = t.TextHeight("0");
    for (long k = kTop;; k += step) {
        const double y = r.PlotTop + r.YOrg - k * r.TickStep * r.YPerUnit;
        if (InsideY(r, y)) {
            const std::string label = TickLabel(r, k);
            t.SetForeColor(Qt::black);
            t.PrintText(r.PlotLeft - t.TextWidth(label), y - h / 2, label);
            t.Line(r.PlotLeft, y, r.PlotLeft + r.PlotWidth, y, Color(r.TickColor));
        }
        if (k == kBottom) break;
    }
}

void GrpCurve(PrdSurface& t, const FrqGraphRec& r) {
    if (!r.DataReady || !r.Shown) return;
    if (t.IsPrinter() && t.Device()) {
        // About 8 dots on a page 4962 dots wide, in proportion on any other.
        t.SetDrawWidth(static_cast<int>(std::lround(8.0 * t.Device()->SizePx().width() / (11909 / 2.4))));
    } else {
        t.SetDrawWidth(1);
    }
    const QColor c = Color(r.LineColor);
    const int last = std::min<int>(r.IdxLast, FrqPointCnt - 1);
    for (int i = std::max<int>(0, r.IdxFirst); i < last; ++i) {
        const double f0 = r.LogFrq[i], f1 = r.LogFrq[i + 1];
        const double y0 = GrpY(r, i), y1 = GrpY(r, i + 1);
        // NaN fails every comparison below: a point without a value draws nothing.
        if (r.XOrg + f1 * r.XPerDec < r.PlotWidth && f0 >= r.LogFrqMin && r.XOrg + f0 * r.XPerDec > 0 &&
            InsideY(r, y0) && InsideY(r, y1))
            t.Line(GrpX(r, i), y0, GrpX(r, i + 1), y1, c);
    }
    t.SetDrawWidth(1);
}

bool CsrShown(const FrqGraphRec& r) {
    return r.DataReady && r.FrqCsrOn && ValidIdx(r.FrqCsrIdx);
}

void GrpCsrLine(PrdSurface& t, const FrqGraphRec& r) {
    if (!CsrShown(r)) return;
    const int c = r.FrqCsrIdx;
    const double x = GrpX(r, c), y = GrpY(r, c);
    const QColor col = Color(r.CsrLineColor);
    if (!InsideY(r, y)) return;
    t.Line(r.PlotLeft, y, r.PlotLeft + r.PlotWidth, y, col);
    if (InsideX(r, r.LogFrq[c]) && r.LogFrq[c] < kTextLimit) {
        Circle(t, x, y, kCircle, col, false);
        t.Line(x, r.PlotTop, x, r.PlotTop + r.PlotHeight, col);
    }
}

void GrpValText(PrdSurface& t, const FrqGraphRec& r) {
    if (!CsrShown(r)) return;
    const int c = r.FrqCsrIdx;
    const double x = GrpX(r, c), y = GrpY(r, c);
    if (!InsideY(r, y) || !InsideX(r, r.LogFrq[c]) || !(r.LogFrq[c] < kTextLimit)) return;
    t.SetFontSize(r.FontSmall);
    t.SetForeColor(Color(r.CsrLineColor));
    const double h = t.TextHeight("0");
    t.PrintText(r.PlotLeft + r.PlotWidth + 30, y - h / 2, Fixed(r.GrVal[c], 1));
    const std::string f = Fixed(std::pow(10.0, r.LogFrq[c]), 0);
    t.PrintText(x - t.TextWidth(f) / 2, r.PlotTop - h, f);
}

void GrpMark(PrdSurface& t, const FrqGraphRec& r) {
    if (!r.DataReady || !r.MarkOn || !ValidIdx(r.MarkIdx)) return;
    const int m = r.MarkIdx;
    if (!InsideX(r, r.LogFrq[m]) || !(r.LogFrq[m] < kTextLimit) || !std::isfinite(r.GrVal[m])) return;
    Circle(t, GrpX(r, m), GrpY(r, m), kCircle, Color(r.MarkColor), true);
}

void Frame(PrdSurface& t, const FrqGraphRec& r) {
    t.SetDrawWidth(1);
    t.SetFontName("Arial");
    Titles(t, r);
    Header(t, r);
    t.SetDrawStyle(t.IsPrinter() ? Qt::DashLine : Qt::DotLine);
    t.SetFontSize(r.FontSmall);
    GrpLinTick(t, r);
    GrpLogTicks(t, r);
    t.SetDrawStyle(Qt::SolidLine);
    GrpAxisLine(t, r);
}

} // namespace

double GrpX(const FrqGraphRec& r, int i) {
    return r.PlotLeft + r.XOrg + r.LogFrq[i] * r.XPerDec;
}
double GrpY(const FrqGraphRec& r, int i) {
    return r.PlotTop + r.YOrg - r.GrVal[i] * r.YPerUnit;
}

void GrpScale(PrdSurface& t, FrqGraphRec& r) {
    const PrdDevice* dev = t.Device();
    if (!dev) return;
    const QSizeF px = dev->SizePx();
    const double w = std::max(1.0, px.width());
    // The width in twips, the unit the sizes were made for.
    const double twips = w / dev->Dpi() * 1440.0;
    const double k = t.IsPrinter() ? 1.3 : 1.0;
    r.FontLarge = static_cast<int16_t>(std::lround(twips / 500 * k));
    // Labels never below the program's small font, however small the picture.
    r.FontSmall = static_cast<int16_t>(
        std::max<long>({1L, std::lround(twips / 1000 * k), std::lround(std::ceil(PrdSmallFontPt()))}));
    r.PenScale = static_cast<float>(twips / 10000 * k);

    // The plot keeps its units; where the margins of the plain scale are narrower than the labels at
    // that font, the plot gives up the width they need.
    t.SetFontName("Arial");
    t.SetFontSize(r.FontSmall);
    t.ScalePixels();
    const double gap = t.TextWidth("0");
    const double needLeft =
        gap / 2 + YLabelsWidth(t, r) + std::max(t.TextWidth(r.YTitle), t.TextWidth(r.YUnit));
    const double needRight = gap / 2 + t.TextWidth("-000.0");
    constexpr double kValGap = 30; // units between the plot and the cursor's value
    const double wUnits = 2 * r.PlotLeft + r.PlotWidth;
    const double u0 = wUnits / w;
    if (r.PlotLeft / u0 >= needLeft && (r.PlotLeft - kValGap) / u0 >= needRight) {
        t.Scale(0, 0, wUnits, wUnits * px.height() / w);
        return;
    }
    const double u = (r.PlotWidth + kValGap) / std::max(w - needLeft - needRight, w / 4);
    const double x1 = r.PlotLeft - needLeft * u;
    t.Scale(x1, 0, x1 + w * u, px.height() * u);
}

GrpRoom GrpLabelRoom(const PrdSurface& t, const FrqGraphRec& r) {
    // The title sits 2.5 lines above the plot, the cursor's frequency one line; below it the frequency
    // labels and the axis title, a line each.
    PrdSurface probe = t;
    probe.SetFontName("Arial");
    probe.SetFontSize(r.FontSmall);
    const double h = probe.TextHeight("0");
    const double pad = h / 4;
    const double titleLines =
        r.GrTitle.empty() ? 0.0 : static_cast<double>(TitleLines(probe, r.GrTitle).size());
    return GrpRoom{(r.GrTitle.empty() ? 1.0 : 1.5 + titleLines) * h + pad, 2 * h + pad};
}

void GrpDraw(PrdSurface& t, const FrqGraphRec& r, const FrqGraphRec& ref) {
    if (!r.DataReady && !ref.DataReady) return;
    Frame(t, r);
    GrpCurve(t, ref);
    GrpCurve(t, r);
    GrpCsrLine(t, r);
    GrpValText(t, r);
    GrpMark(t, r);
    t.SetFontSize(r.FontSmall);
}

void GrpDraw2(PrdSurface& t, const FrqGraphRec& r) {
    Frame(t, r);
}

void GrpCsrDraw(FrqGraphRec& r, int index) {
    if (ValidIdx(index)) r.FrqCsrIdx = static_cast<int16_t>(index);
}

std::optional<int> GrpFrqIdx(const FrqGraphRec& r, double x, double fftTime) {
    if (r.XPerDec == 0) return std::nullopt;
    const double f = std::min(std::pow(10.0, (x - r.PlotLeft - r.XOrg) / r.XPerDec), fftTime);
    const int last = std::min<int>(r.IdxLast, FrqPointCnt - 1);
    for (int i = 0; i <= last; ++i)
        if (std::pow(10.0, r.LogFrq[i]) >= f) return i;
    return std::nullopt;
}

void FrqDatCopy(FrqGraphRec& d, const FrqGraphRec& s) {
    d.PlotTop = s.PlotTop;
    d.PlotLeft = s.PlotLeft;
    d.PlotHeight = s.PlotHeight;
    d.PlotWidth = s.PlotWidth;
    d.XOrg = s.XOrg;
    d.YOrg = s.YOrg;
    d.XPerDec = s.XPerDec;
    d.YPerUnit = s.YPerUnit;
    // The last point stays the destination's own: it follows the point count of its own measurement.
    d.IdxFirst = s.IdxFirst;
    d.TickStep = s.TickStep;
    d.BoxColor = s.BoxColor;
    d.TickColor = s.TickColor;
    d.CsrLineColor = s.CsrLineColor;
    d.PenScale = s.PenScale;
    d.FontSmall = s.FontSmall;
    d.FontLarge = s.FontLarge;
    d.FrqCsrOn = s.FrqCsrOn;
    d.FrqCsrIdx = s.FrqCsrIdx;
}
