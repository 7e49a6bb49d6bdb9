// The print layer through the recording device: sizes asked for, positions drawn, and the printer's state.
#include "app/FileDlg.h"
#include "app/Prd.h"
#include "app/PrtTbl.h"
#include "platform/Ask.h"

#include "PrintDialogAnswer.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

namespace {

// Points the program's printer at a recorder for one test.
struct RedirectPrinter {
    explicit RedirectPrinter(PrdDevice* d) { PrdRedirectPrinter(d); }
    ~RedirectPrinter() { PrdRedirectPrinter(nullptr); }
};

std::vector<PrdOp> OpsOf(const PrdRecorder& rec, PrdOp::Kind kind) {
    std::vector<PrdOp> out;
    for (const PrdOp& o : rec.Ops())
        if (o.kind == kind) out.push_back(o);
    return out;
}

const PrdOp* TextOp(const PrdRecorder& rec, const QString& text) {
    for (const PrdOp& o : rec.Ops())
        if (o.kind == PrdOp::Text && o.text == text) return &o;
    return nullptr;
}

bool HasLine(const PrdRecorder& rec, QPointF a, QPointF b) {
    const auto near = [](QPointF p, QPointF q) {
        return std::abs(p.x() - q.x()) < 1e-6 && std::abs(p.y() - q.y()) < 1e-6;
    };
    for (const PrdOp& o : OpsOf(rec, PrdOp::Line))
        if (near(o.a, a) && near(o.b, b)) return true;
    return false;
}

// A printer that refuses to turn its paper.
class StubbornPrinter : public PrdRecorder {
  public:
    StubbornPrinter() : PrdRecorder(QSizeF(595, 842), 72) {}
    bool SetOrientation(int16_t o) override { return o == Orientation(); }
};

} // namespace

TEST(PrintLayer, PrinterContextDrawsInLandscapeAndGivesTheOrientationBack) {
    PrdRecorder rec(QSizeF(595, 842), 72); // A4 at 72 dots an inch: one dot a point
    RedirectPrinter redirect(&rec);
    PrdCtx ctx;
    PrdInit(ctx, nullptr, 100, 50, "/PRINTER /TEXT");
    ASSERT_EQ(ctx.Obj, &Printer());
    EXPECT_EQ(ctx.Orientation, 1);
    EXPECT_EQ(rec.Orientation(), 2);
    EXPECT_FLOAT_EQ(ctx.WidthPt, 842);
    EXPECT_FLOAT_EQ(ctx.WidthPx, 842);
    EXPECT_NEAR(Printer().FontSize(), 842.0 / 80, 1e-4);

    PrdSetFontSize(ctx, 0.8f);
    Printer().PrintText(50, 25, "X"); // the middle of the caller's 100 x 50 coordinates
    PrdEnd(ctx);

    const PrdOp* x = TextOp(rec, "X");
    ASSERT_NE(x, nullptr);
    EXPECT_NEAR(x->fontPt, 842.0 / 85 * 0.8, 1e-4);
    EXPECT_NEAR(x->a.x(), 421, 1e-6);
    EXPECT_NEAR(x->a.y(), 297.5, 1e-6);
    EXPECT_EQ(x->orientation, 2);
    EXPECT_EQ(rec.Documents(), 1);
    EXPECT_EQ(rec.Orientation(), 1);
}

TEST(PrintLayer, PictureAreaIsClearedUnlessEditAndNeverEndsADocument) {
    PrdRecorder printer(QSizeF(595, 842), 72);
    RedirectPrinter redirect(&printer);
    PrdRecorder picture(QSizeF(550, 300), 96, false);
    PrdSurface surface(&picture);

    PrdCtx ctx;
    PrdInit(ctx, &surface, 10, 10, "");
    EXPECT_EQ(OpsOf(picture, PrdOp::Clear).size(), 1u);
    EXPECT_FLOAT_EQ(ctx.WidthPt, 412.5f); // 550 pixels at 96 an inch
    EXPECT_FLOAT_EQ(ctx.WidthPx, 550);
    EXPECT_NEAR(surface.FontSize(), 412.5 / 55, 1e-4);
    PrdSetFontSize(ctx, 1.0f);
    EXPECT_NEAR(surface.FontSize(), 412.5 / 50, 1e-4);
    PrdEnd(ctx);

    picture.ClearOps();
    PrdInit(ctx, &surface, 10, 10, "/EDIT /PRINTER");
    EXPECT_EQ(ctx.Obj, &surface) << "/EDIT keeps the surface even with /PRINTER";
    EXPECT_NEAR(surface.FontSize(), 412.5 / 80, 1e-4) << "the font follows /PRINTER alone";
    surface.Line(0, 0, 10, 10);
    PrdEnd(ctx);
    EXPECT_TRUE(OpsOf(picture, PrdOp::Clear).empty());
    EXPECT_TRUE(OpsOf(picture, PrdOp::EndDoc).empty());
    EXPECT_TRUE(printer.Ops().empty());
    EXPECT_EQ(printer.Orientation(), 1);
}

TEST(PrintLayer, LineWidthScalesWithTheSurfaceAndIsAtLeastOnePixel) {
    struct Case {
        double widthPx;
        float width;
        int pen;
    } cases[] = {{8000, 3, 2}, {8000, 5, 4}, {1000, 0.5f, 1}, {1000, 25, 2}};
    for (const Case& c : cases) {
        PrdRecorder picture(QSizeF(c.widthPx, 100), 72, false);
        PrdSurface surface(&picture);
        PrdCtx ctx;
        PrdInit(ctx, &surface, 1, 1, "");
        PrdSetDrawWidth(ctx, c.width);
        surface.Line(0, 0, 1, 1);
        const auto lines = OpsOf(picture, PrdOp::Line);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].penWidth, c.pen) << c.width << " on " << c.widthPx;
        EXPECT_NEAR(lines[0].b.x(), c.widthPx, 1e-6);
    }
}

TEST(PrintLayer, PrinterThatCannotTurnItsPaperIsRefused) {
    StubbornPrinter stubborn;
    RedirectPrinter redirect(&stubborn);
    plat::ScriptedAsker asker;
    EXPECT_FALSE(PrdCheckPrinter());
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].text, "Printer can't be used.");
    EXPECT_EQ(asker.Asked()[0].title, "Print");

    PrdRecorder good(QSizeF(595, 842), 72);
    PrdRedirectPrinter(&good);
    good.SetOrientation(2);
    EXPECT_TRUE(PrdCheckPrinter());
    EXPECT_EQ(good.Orientation(), 2);
    EXPECT_EQ(asker.Asked().size(), 1u);
}

TEST(PrintLayer, ThePdfPrinterIsThereAndThePrintDialogNamesItsFile) {
    if (!QPrinterInfo::availablePrinterNames().isEmpty()) GTEST_SKIP() << "a printer is installed here";
    plat::ScriptedAsker asker;
    QTemporaryDir dir;
    const QString last = dir.filePath("last");
    const QString next = dir.filePath("next");
    QDir().mkpath(last);
    QDir().mkpath(next);
    PathSet("pdf", last.toStdString());
    EXPECT_TRUE(PrdCheckPrinter()); // no printer queue: the PDF printer stands ready
    EXPECT_TRUE(asker.Asked().empty());

    {
        testmain::PrintDialogAnswer cancel({});
        EXPECT_FALSE(PrdChoosePrinter("Print of the parameter"));
        ASSERT_EQ(cancel.Shown(), 1);
        EXPECT_EQ(cancel.Title(), "Print of the parameter");
        EXPECT_EQ(QFileInfo(cancel.Offered()).absolutePath(), last); // the last print folder
    }
    const QString file = QDir(next).filePath("sheet.pdf");
    {
        testmain::PrintDialogAnswer print(file);
        ASSERT_TRUE(PrdChoosePrinter("Print of the parameter"));
        EXPECT_EQ(print.Shown(), 1);
    }
    EXPECT_EQ(PrdPrinterName(), PrdPdfPrinterName);
    EXPECT_EQ(PrdPdfFile(), file.toStdString());
    EXPECT_EQ(PathGet("pdf", ""), next.toStdString());
    EXPECT_TRUE(asker.Asked().empty());

    // The page keeps a margin: a real printer would cut what sits at the sheet's edge.
    PrdTakeError();
    PrdCtx ctx;
    PrdInit(ctx, nullptr, 100, 100, "/PRINTER");
    const PrdDevice* dev = Printer().Device();
    const double mm = dev->Dpi() / 25.4;
    EXPECT_LE(dev->SizePx().width(), (297 - 2 * 9.5) * mm);
    EXPECT_LE(dev->SizePx().height(), (210 - 2 * 9.5) * mm);
    Printer().PrintText(0, 0, "corner text");
    PrdEnd(ctx);
    EXPECT_FALSE(PrdTakeError());
    ASSERT_EQ(PrdPdfDocuments(), std::vector<std::string>{file.toStdString()});
    EXPECT_TRUE(testmain::PdfText(file).contains("corner text"));

    // A file that cannot be written is a failure of the print, not a silent nothing.
    ASSERT_TRUE(PrdSetPrinter(PrdPdfPrinterName, dir.filePath("no/such/folder/x.pdf").toStdString()));
    PrdInit(ctx, nullptr, 100, 100, "/PRINTER");
    Printer().PrintText(0, 0, "lost");
    PrdEnd(ctx);
    EXPECT_TRUE(PrdTakeError());
    EXPECT_FALSE(PrdTakeError()); // taken once
    EXPECT_TRUE(PrdPdfDocuments().empty());
}

TEST(PrintLayer, TableCellsAndRulesSitWhereTheLayoutPutsThem) {
    // A page of 1000 x 1414 dots whose width is 595 points: page units and dots coincide.
    PrdRecorder rec(QSizeF(1000, 1414), 1000 * 72.0 / 595);
    RedirectPrinter redirect(&rec);
    PrtTblRec t;
    t.OffsetX = 5;
    t.OffsetY = 200;
    t.RowHeight = 25;
    t.ColCount = 3;
    const int16_t edges[] = {0, 60, 350, 430};
    std::copy(std::begin(edges), std::end(edges), t.ColX);
    t.HeadText[0] = "Number";
    t.HeadText[1] = "16bit parameter";
    t.HeadText[2] = "Setting value";
    t.ColKind[0] = 1;
    t.ColKind[1] = 3;
    t.ColKind[2] = 2;
    t.Pad = 4;

    PrtTblInit(t);
    EXPECT_EQ(t.PageWidthPt, 595);
    EXPECT_NEAR(Printer().FontSize(), 8.925, 1e-9);
    t.FontScale = 130;
    PrtTblHead(t, 0);
    EXPECT_EQ(t.CellText[1], "16bit parameter") << "the heading stays in the cells";
    t.CellText[0] = "1A";
    t.CellText[1] = "Gain";
    t.CellText[2] = "-12";
    PrtTblRow(t, 1);
    t.ColKind[1] = 0; // a column without text keeps its rules
    t.CellText[1] = "Hidden";
    PrtTblRow(t, 2);
    PrtTblWaku(t, 3);

    std::set<double> verticals;
    for (const PrdOp& o : OpsOf(rec, PrdOp::Line))
        if (o.a.x() == o.b.x()) verticals.insert(o.a.x());
    EXPECT_EQ(verticals, (std::set<double>{5, 65, 355, 435}));
    EXPECT_TRUE(HasLine(rec, {5, 200}, {65, 200}));
    EXPECT_TRUE(HasLine(rec, {435, 250}, {435, 275})) << "right border of row 2";
    EXPECT_TRUE(HasLine(rec, {65, 250}, {65, 275})) << "rule of the column without text";
    EXPECT_TRUE(HasLine(rec, {355, 275}, {435, 275})) << "bottom rule";
    EXPECT_EQ(TextOp(rec, "Hidden"), nullptr);

    const PrdOp* head = TextOp(rec, "Setting value");
    const PrdOp* num = TextOp(rec, "1A");
    const PrdOp* name = TextOp(rec, "Gain");
    const PrdOp* value = TextOp(rec, "-12");
    ASSERT_TRUE(head && num && name && value);
    EXPECT_NEAR(head->a.x() + head->size.width() / 2, 5 + 390, 1e-6) << "headings are centred";
    EXPECT_NEAR(num->a.x() + num->size.width() / 2, 5 + 30, 1e-6);
    EXPECT_NEAR(name->a.x(), 5 + 60 + 4, 1e-6);
    EXPECT_NEAR(value->a.x() + value->size.width(), 5 + 430 - 4, 1e-6);
    EXPECT_NEAR(value->a.y() + value->size.height() / 2, 200 + 25 + 12.5, 1e-6);
    EXPECT_NEAR(value->fontPt, 7.735, 1e-9);
    EXPECT_EQ(value->fontName, "Arial");
}

TEST(PrintLayer, OneColumnBoxPrintsOneCellWithItsFrame) {
    PrdRecorder rec(QSizeF(1000, 1414), 1000 * 72.0 / 595);
    RedirectPrinter redirect(&rec);
    PrtTblRec t;
    t.OffsetY = 50;
    t.RowHeight = 100;
    t.ColCount = 1;
    t.ColX[0] = 100;
    t.ColX[1] = 900;
    t.ColKind[0] = 1;
    PrtTblInit(t);
    t.FontScale = 400;
    t.CellText[0] = "Title";
    PrtTblRow(t, 0);

    ASSERT_EQ(OpsOf(rec, PrdOp::Text).size(), 1u);
    EXPECT_NEAR(OpsOf(rec, PrdOp::Text)[0].fontPt, 23.8, 1e-9);
    ASSERT_EQ(OpsOf(rec, PrdOp::Line).size(), 3u);
    EXPECT_TRUE(HasLine(rec, {100, 50}, {900, 50}));
    EXPECT_TRUE(HasLine(rec, {100, 50}, {100, 150}));
    EXPECT_TRUE(HasLine(rec, {900, 50}, {900, 150}));
}
