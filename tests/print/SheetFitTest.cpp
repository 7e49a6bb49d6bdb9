// Every ruled sheet on paper keeps its texts inside their cells, clear of the rules, and on the printable
// page: long names, extreme values and landscape sheets included.
#include "app/Glb.h"
#include "app/Prd.h"
#include "app/PrtTbl.h"
#include "data/PrmPrint.h"
#include "data/PrmTbl.h"
#include "positioning/PopGlb.h"
#include "positioning/PopPrint.h"

#include <QRectF>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A4 less its margins at 300 dots an inch.
const QSizeF PagePx(2244, 3272);
constexpr double Dpi = 300;

const char* const LongName =
    "A parameter name far too long for the name column of any of these sheets, even when its font is shrunk";

struct RedirectPrinter {
    explicit RedirectPrinter(PrdDevice* d) { PrdRedirectPrinter(d); }
    ~RedirectPrinter() { PrdRedirectPrinter(nullptr); }
};

QString Describe(const PrdOp& o) {
    return QString("\"%1\" at (%2, %3) %4 x %5")
        .arg(o.text)
        .arg(o.a.x(), 0, 'f', 1)
        .arg(o.a.y(), 0, 'f', 1)
        .arg(o.size.width(), 0, 'f', 1)
        .arg(o.size.height(), 0, 'f', 1);
}

// What is wrong with the recorded sheets, one line a fault: a text off the printable page, a text that a
// rule crosses or comes within a quarter of a point of (the box of a text holds the room for accents and
// descenders, so its letters stay further off), and texts drawn over each other.
std::vector<std::string> Faults(const PrdRecorder& rec) {
    std::vector<std::string> faults;
    const double gap = Dpi / 288;
    std::vector<PrdOp> texts, lines;
    int page = 1;
    auto check = [&] {
        for (size_t i = 0; i < texts.size(); ++i) {
            const PrdOp& t = texts[i];
            const QRectF box(t.a, t.size);
            const QSizeF paper = t.orientation == 2 ? PagePx.transposed() : PagePx;
            const auto fault = [&](const QString& what) {
                faults.push_back(QString("page %1: %2 %3").arg(page).arg(Describe(t), what).toStdString());
            };
            if (!QRectF(QPointF(0, 0), paper).contains(box)) fault("leaves the printable page");
            const QRectF clear = box.adjusted(-gap, -gap, gap, gap);
            for (const PrdOp& l : lines) {
                const QRectF rule = QRectF(l.a, l.b).normalized();
                const bool crosses = rule.left() < clear.right() && rule.right() > clear.left() &&
                                     rule.top() < clear.bottom() && rule.bottom() > clear.top();
                if (crosses) {
                    fault(QString("touches the rule (%1, %2)-(%3, %4)")
                              .arg(l.a.x(), 0, 'f', 1)
                              .arg(l.a.y(), 0, 'f', 1)
                              .arg(l.b.x(), 0, 'f', 1)
                              .arg(l.b.y(), 0, 'f', 1));
                    break;
                }
            }
            for (size_t j = i + 1; j < texts.size(); ++j)
                if (box.intersects(QRectF(texts[j].a, texts[j].size)))
                    fault("overlaps " + Describe(texts[j]));
        }
        texts.clear();
        lines.clear();
        ++page;
    };
    for (const PrdOp& o : rec.Ops()) {
        if (o.kind == PrdOp::Text && !o.text.isEmpty()) texts.push_back(o);
        if (o.kind == PrdOp::Line) lines.push_back(o);
        if (o.kind == PrdOp::NewPage || o.kind == PrdOp::EndDoc) check();
    }
    return faults;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines)
        out += l + "\n";
    return out;
}

const PrdOp* TextStarting(const PrdRecorder& rec, const QString& start) {
    for (const PrdOp& o : rec.Ops())
        if (o.kind == PrdOp::Text && o.text.startsWith(start)) return &o;
    return nullptr;
}

// Data as a drive engineer has it: long names from a real definition, values at the ends of their ranges,
// comments longer than their box.
class PrintedSheets : public ::testing::Test {
  protected:
    void SetUp() override {
        oldSwitch_ = ExtV25Opt[2];
        oldCode_ = KisyuCode;
        KisyuCode = 25;
        KisyuMei = "ZT040P______";
        for (int k = 0; k < CommentKinds; ++k)
            for (int i = 0; i < CommentLines; ++i)
                CommentTxt[k][i] =
                    "Axis 3 of the packing line, tuned on site by the commissioning engineer, line " +
                    std::to_string(i + 1) + " of the comment that runs on and on past the box";
        const char* names[] = {"Position loop gain", "Encoder output pulses per revolution",
                               "Speed integral time constant", "In-position range"};
        for (int n = 0; n < PrmCnt; ++n) {
            PrmAttr[n].name = names[n % 4];
            PrmVal[n] = n % 2 ? -32768 : 32767;
            Prm32Attr[n].name = names[n % 4];
            Prm32Val[n] = n % 2 ? -2147483647 - 1 : 2147483647;
        }
        PrmAttr[5].name = Prm32Attr[5].name = LongName;

        for (auto& col : PopItem)
            for (auto& r : col)
                r = PopItemRec{};
        const char* items[] = {"Speed 15 (3200 r/min)", "Acceleration 3 (200 ms)", "Deceleration 3 (200 ms)",
                               "Home return", "Continue"};
        for (int c = 0; c < 5; ++c)
            for (int r = 0; r < 16; ++r)
                PopItem[c][r] = {items[c], r, ""};
        PopStepCnt[1] = PopStepCnt[2] = PopStepCnt[3] = 40;
        Pop16Cnt[1] = Pop16Cnt[2] = Pop16Cnt[3] = 70;
        Pop32Cnt[1] = Pop32Cnt[2] = Pop32Cnt[3] = 40;
        for (int i = 0; i < 40; ++i) {
            PopStep[i] = PopStepRec{};
            PopStep[i].Position = i % 2 ? -2147483647 - 1 : 2147483647;
            PopStep[i].Vel = PopStep[i].Acc = PopStep[i].Dec = PopStep[i].Mod = PopStep[i].Blk = 3;
            PopStep[i].Comment =
                i % 3 ? "Pick up" : "Move to the far end of the conveyor and wait there for the sensor";
        }
        for (int i = 0; i < 70; ++i) {
            Pop16Prm[i].Name = "Home return creep speed";
            Pop16Prm[i].Value = -32768;
            Pop32Prm[i].Name = i == 3 ? LongName : "Forward software limit";
            Pop32Prm[i].Value = -2147483647 - 1;
        }
    }
    void TearDown() override {
        ExtV25Opt[2] = oldSwitch_;
        KisyuCode = oldCode_;
        PrdRedirectPrinter(nullptr);
    }

    int16_t oldSwitch_ = 0;
    int16_t oldCode_ = 0;
};

} // namespace

TEST_F(PrintedSheets, EveryTextStaysInItsCellAndOnThePage) {
    struct Sheet {
        const char* what;
        int16_t oneJob;
        void (*print)();
    };
    const Sheet sheets[] = {
        {"16-bit parameter list", 1, [] { PrintPrm16(128); }},
        {"32-bit parameter list, one job", 1, [] { PrintPrm32(100); }},
        {"32-bit parameter list, a job a sheet", 0, [] { PrintPrm32(100); }},
        {"positioning steps and parameters", 1, [] { PrintPop(" step_all pop16 pop32", 0, 39); }},
    };
    for (const Sheet& s : sheets) {
        PrdRecorder rec(PagePx, Dpi);
        RedirectPrinter redirect(&rec);
        ExtV25Opt[2] = s.oneJob;
        s.print();
        EXPECT_GT(rec.Documents(), 0) << s.what;
        const auto faults = Faults(rec);
        EXPECT_TRUE(faults.empty()) << s.what << ":\n" << Joined(faults);
    }
}

TEST_F(PrintedSheets, NamesFitTheirColumnsAndATextBeyondAnyColumnIsCutShort) {
    PrdRecorder rec(PagePx, Dpi);
    RedirectPrinter redirect(&rec);
    ExtV25Opt[2] = 1;
    PrintPop(" step_all pop32", 0, 39);

    // The step table's columns took the room their names need: the names print whole, at their row's size.
    const PrdOp* number = TextStarting(rec, "00");
    const PrdOp* speed = TextStarting(rec, "Speed 15");
    const PrdOp* acc = TextStarting(rec, "Acceleration 3");
    ASSERT_TRUE(number && speed && acc);
    EXPECT_EQ(speed->text, "Speed 15 (3200 r/min)");
    EXPECT_EQ(acc->text, "Acceleration 3 (200 ms)");
    EXPECT_DOUBLE_EQ(speed->fontPt, number->fontPt);

    // A name no column can hold is cut with an ellipsis, not drawn over its neighbours.
    const PrdOp* cut = TextStarting(rec, "A parameter name");
    ASSERT_NE(cut, nullptr);
    EXPECT_TRUE(cut->text.endsWith(QString::fromUtf8("\u2026"))) << cut->text.toStdString();
    EXPECT_TRUE(QString(LongName).startsWith(cut->text.chopped(1)));
    EXPECT_GT(cut->text.size(), 10);
    const PrdOp* other = TextStarting(rec, "Forward software limit");
    ASSERT_NE(other, nullptr);
    EXPECT_GE(cut->fontPt, other->fontPt * 0.69) << "shrunk no further than readable";
    EXPECT_TRUE(Faults(rec).empty()) << Joined(Faults(rec));
}

TEST(PrtTblFitColumns, NarrowColumnsTakeRoomFromWideOnesThenFromTheMargin) {
    PrdRecorder rec(QSizeF(1000, 1414), 1000 * 72.0 / 595); // a dot a page unit
    RedirectPrinter redirect(&rec);
    PrtTblRec t;
    t.RowHeight = 25;
    t.ColCount = 3;
    const int16_t edges[] = {0, 60, 350, 430};
    std::copy(std::begin(edges), std::end(edges), t.ColX);
    t.Pad = 4;
    PrtTblInit(t);
    t.FontScale = 130;

    // All fits: nothing moves.
    const double fits[] = {10, 100, 20};
    PrtTblFitColumns(t, fits, 430);
    EXPECT_EQ(std::vector<int16_t>(t.ColX, t.ColX + 4), std::vector<int16_t>(edges, edges + 4));

    // The last column needs 100, 8 of padding and one for rounding: its 29 missing come out of the others in
    // proportion to their slack.
    const double value[] = {10, 100, 100};
    PrtTblFitColumns(t, value, 430);
    EXPECT_EQ(std::vector<int16_t>(t.ColX, t.ColX + 4), (std::vector<int16_t>{0, 55, 321, 430}));

    // More than the others can give: the table grows up to its limit, and no further.
    std::copy(std::begin(edges), std::end(edges), t.ColX);
    const double wide[] = {51, 314, 150};
    PrtTblFitColumns(t, wide, 500);
    EXPECT_EQ(t.ColX[0], 0);
    EXPECT_EQ(t.ColX[3], 500);
    EXPECT_LT(t.ColX[1], t.ColX[2]);
    EXPECT_LT(t.ColX[2], t.ColX[3]);
    EXPECT_EQ(t.ColX[1], 60) << "a column that had just its room keeps it";
}
