#include "app/MainLogic.h"

#include "app/Glb.h"
#include "app/Uty.h"
#include "app/Variant.h"
#include "comm/ComGlb.h"

#include <algorithm>
#include <cmath>
#include <climits>

// ---- capability masks --------------------------------------------------------------------------

int16_t FuncEnableFor(uint32_t comHandle, int32_t linkKind, const int16_t masks[3])
{
    if (comHandle == 0)
        return masks[2];
    switch (linkKind) {
    case 1: return masks[0];
    case 2: return masks[1];
    default: return 0;
    }
}

int16_t GetFuncEnable() { return FuncEnableFor(ComHandle, LinkKind, MenuMask); }

namespace {

// Display item / panel button index -> capability bit. The order of the items is not the order of the bits.
constexpr std::array<uint16_t, 9> HyoujiBit = {
    0,                // 0 window menu: always
    FuncParameter,    // 1
    FuncMonitor,      // 2
    FuncAlarm,        // 3
    FuncWaveform,     // 4
    FuncAutoTuning,   // 5
    FuncFrequency,    // 6
    FuncPopParameter, // 7
    FuncPopMonitor,   // 8
};

} // namespace

bool HyoujiEnabled(int16_t mask, int index)
{
    if (index < 1 || index > 8)
        return true;
    const uint16_t low = static_cast<uint16_t>(mask) & 0x00FF;
    return (low & HyoujiBit[static_cast<size_t>(index)]) != 0;
}

bool SeTteiEnabled(int16_t mask, int index, int16_t comPortNo)
{
    switch (index) {
    case 0: return CmdAxisVisible(mask);
    case 1: return CmdModelVisible(mask);
    case 3: return comPortNo != 0;
    default: return true;
    }
}

// ---- caption and status strip ------------------------------------------------------------------

std::string CaptionText(const std::string& kisyuMei, int16_t comPortNo, int32_t linkKind, int16_t axisNo,
                        int32_t comBaud, int16_t userLevel)
{
    std::string s = DelMark(kisyuMei) + " ";
    if (comPortNo != 0) {
        if (linkKind == 2)
            s += "Axis address(ID):" + std::to_string(axisNo);
        s += " Communication port(COM" + std::to_string(comPortNo) + " " + std::to_string(comBaud) + "bps)";
    } else {
        s += " Communication port(not in use)";
    }
    switch (userLevel) {
    case 1: s += " "; break;
    case 2: s += " MAKER"; break;
    case 3: s += " SE"; break;
    default: break;
    }
    return s;
}

std::string BuildCaption() { return CaptionText(KisyuMei, ComPortNo, LinkKind, AxisNo, ComBaud, UserLevel); }

PbarRange PbarFor(long cur, long max)
{
    const int m = max < 1 ? 1 : static_cast<int>(std::min<long>(max, INT_MAX));
    const long v = std::clamp<long>(cur, 0, m);
    return {m, static_cast<int>(v)};
}

// ---- close-all ---------------------------------------------------------------------------------

const std::array<const char*, 8> HideOrder = {"FrmAuto", "FrmAlm", "FrmGraph", "FrmPara",
                                              "FrmFft",  "FrmMoni", "FrmPop",  "FrmPom"};
const std::array<const char*, 8> UnloadOrder = {"FrmAuto", "FrmMoni", "FrmPom", "FrmAlm",
                                                "FrmGraph", "FrmPop", "FrmPara", "FrmFft"};

bool CloseAllSequence::Start(int16_t kind)
{
    if (running_)
        return false;
    closeGoing_ = true;
    closeKind_ = kind;
    return true;
}

CloseAllSequence::Tick CloseAllSequence::OnTimer(CloseAllHost& host, int16_t busy)
{
    if (!closeGoing_ || running_)
        return Tick::Idle;
    if (busy != 0)
        return Tick::Wait;
    ExecAllClose(host);
    return Tick::Done;
}

void CloseAllSequence::ExecAllClose(CloseAllHost& host)
{
    running_ = true;
    host.EnableAllMenu(false);
    host.Pump();

    // HideAllChild: take every screen off the display first, so none is seen half taken down.
    bool going = false;
    for (const char* form : HideOrder) {
        if (host.IsLoaded(form)) {
            host.HideForm(form);
            going = true;
        }
    }
    RetVar = Variant(going);

    // UnloadAllChild
    for (const char* form : UnloadOrder) {
        if (host.IsLoaded(form)) {
            host.UnloadForm(form);
            host.Pump();
        }
    }

    host.Pump();
    host.EnableAllMenu(true);
    closeGoing_ = false;
    running_ = false;
    host.AfterAllClose(closeKind_);
}

// ---- window arrangement ------------------------------------------------------------------------

std::vector<QRect> TileRects(int n, const QRect& area, bool horizontally)
{
    std::vector<QRect> out;
    if (n <= 0 || area.isEmpty())
        return out;
    // Lines along the stacking direction: up to three windows get a line each, more form a near-square grid.
    const int lines = n <= 3 ? n : static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n))));
    const int span = horizontally ? area.height() : area.width();
    const int across = horizontally ? area.width() : area.height();
    for (int line = 0; line < lines; ++line) {
        // The later lines take one window more when n does not divide evenly.
        const int inLine = n / lines + (line >= lines - n % lines ? 1 : 0);
        const int a0 = span * line / lines;
        const int a1 = span * (line + 1) / lines;
        for (int k = 0; k < inLine; ++k) {
            const int b0 = across * k / inLine;
            const int b1 = across * (k + 1) / inLine;
            QRect r = horizontally ? QRect(area.left() + b0, area.top() + a0, b1 - b0, a1 - a0)
                                   : QRect(area.left() + a0, area.top() + b0, a1 - a0, b1 - b0);
            out.push_back(r);
        }
    }
    return out;
}

// ---- frame size ----------------------------------------------------------------------------------

const std::array<ScreenOpeningSize, 8> ScreenOpeningSizes = {{
    {"FrmPara", 777, 495},
    {"FrmMoni", 600, 520},
    {"FrmAlm", 506, 501},
    {"FrmGraph", 792, 690},
    {"FrmAuto", 737, 363},
    {"FrmFft", 718, 545},
    {"FrmPop", 1009, 455},
    {"FrmPom", 570, 601},
}};

QSize LargestScreen(int fontHeight)
{
    const double f = std::max(1.0, static_cast<double>(fontHeight) / ScreenFontHeight);
    QSize out(0, 0);
    for (const ScreenOpeningSize& s : ScreenOpeningSizes)
        out = out.expandedTo(
            QSize(static_cast<int>(std::ceil(s.width * f)), static_cast<int>(std::ceil(s.height * f))));
    return out;
}

QRect FrameOpeningRect(const QSize& need, const QRect& available)
{
    if (available.isEmpty())
        return QRect(QPoint(0, 0), need);
    const QSize size = need.boundedTo(available.size());
    QRect r(QPoint(0, 0), size);
    r.moveTopLeft(available.topLeft() + QPoint((available.width() - size.width()) / 2,
                                               (available.height() - size.height()) / 2));
    return r;
}

// ---- windows of other parts ---------------------------------------------------------------------

MainLinks& Links()
{
    static MainLinks links;
    return links;
}
