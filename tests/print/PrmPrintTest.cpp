// The parameter list on paper: PDF documents read back with pdftotext, and the drawing calls recorded.
#include "app/Glb.h"
#include "app/Prd.h"
#include "data/PrmPrint.h"
#include "data/PrmTbl.h"
#include "platform/Ask.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

std::string PdfText(const std::string& file) {
    std::string out;
    if (FILE* p = ::popen(("pdftotext -layout '" + file + "' - 2>/dev/null").c_str(), "r")) {
        char buf[4096];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
            out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

// pdftotext ends every page with a form feed.
int Pages(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\f'));
}

bool Has(const std::string& text, const std::string& what) {
    return text.find(what) != std::string::npos;
}

class PrmPrint : public ::testing::Test {
  protected:
    void SetUp() override {
        if (std::system("pdftotext -v >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdftotext is not installed";
        ASSERT_TRUE(dir_.isValid());
        oldSwitch_ = ExtV25Opt[2];
        KisyuMei = "ABC_*___";
        for (int i = 0; i < CommentLines; ++i)
            CommentTxt[0][i] = "Comment line " + std::to_string(i + 1);
        for (int n = 0; n < PrmCnt; ++n) {
            char name[16];
            std::snprintf(name, sizeof name, "Gain%02X", n);
            PrmAttr[n].name = name;
            PrmVal[n] = static_cast<int16_t>(n * 3 - 100);
            std::snprintf(name, sizeof name, "Speed%02X", n);
            Prm32Attr[n].name = name;
            Prm32Val[n] = 100000 + n;
        }
    }
    void TearDown() override {
        ExtV25Opt[2] = oldSwitch_;
        PrdRedirectPrinter(nullptr);
    }
    // Chooses the PDF printer with a file of this test's folder.
    std::string UsePdf(const std::string& name) {
        const std::string file = dir_.filePath(QString::fromStdString(name)).toStdString();
        EXPECT_TRUE(PrdSetPrinter(PrdPdfPrinterName, file));
        return file;
    }

    QTemporaryDir dir_;
    int16_t oldSwitch_ = 0;
};

} // namespace

TEST(PrmPrintSheets, SixtyFourParametersToASheetAndFourAtMost) {
    EXPECT_EQ(PrmPrintSheets(0), 1);
    EXPECT_EQ(PrmPrintSheets(64), 1);
    EXPECT_EQ(PrmPrintSheets(65), 2);
    EXPECT_EQ(PrmPrintSheets(192), 3);
    EXPECT_EQ(PrmPrintSheets(193), 4);
    EXPECT_EQ(PrmPrintSheets(257), 4);
    EXPECT_EQ(PrmPrintTitle16(25), "16bit Parameter list");
    EXPECT_EQ(PrmPrintTitle16(23), "16bit parameter list");
    EXPECT_EQ(PrmPrintTitle16(13), "");
    EXPECT_EQ(PrmPrintTitle32(25), "32bit parameter list");
    EXPECT_EQ(PrmPrintTitle32(19), "");
}

TEST_F(PrmPrint, OneJobPrintsASixteenBitListOfTwoSheetsAsOneDocument) {
    KisyuCode = 25;
    ExtV25Opt[2] = 1;
    const std::string file = UsePdf("list16.pdf");
    PrintPrm16(100);

    ASSERT_EQ(PrdPdfDocuments(), std::vector<std::string>{file});
    const std::string text = PdfText(file);
    EXPECT_EQ(Pages(text), 2);
    for (const char* s : {"16bit Parameter list", "Model name : ABC", "Comment line 5", "Number",
                          "16bit parameter", "Setting value", "Gain00", "-100", "Gain63", "197"})
        EXPECT_TRUE(Has(text, s)) << s;
    // Rows of the last sheet past the count show their number only.
    EXPECT_TRUE(Has(text, "Gain63"));
    EXPECT_FALSE(Has(text, "Gain64"));
    EXPECT_FALSE(Has(text, "Gain80"));
}

TEST_F(PrmPrint, WithoutOneJobEachSheetIsADocumentOfItsOwn) {
    KisyuCode = 23;
    ExtV25Opt[2] = 0;
    const std::string file = UsePdf("each.pdf");
    PrintPrm16(130);

    const std::vector<std::string> docs = PrdPdfDocuments();
    ASSERT_EQ(docs.size(), 3u);
    EXPECT_EQ(docs[1], dir_.filePath("each-2.pdf").toStdString());
    for (size_t i = 0; i < docs.size(); ++i) {
        const std::string text = PdfText(docs[i]);
        EXPECT_EQ(Pages(text), 1) << docs[i];
        EXPECT_TRUE(Has(text, "16bit parameter list"));
    }
    EXPECT_TRUE(Has(PdfText(docs[2]), "Gain81"));
    EXPECT_FALSE(Has(PdfText(docs[2]), "Gain82"));
}

TEST_F(PrmPrint, ThirtyTwoBitListShowsBareNumbersFromTheCountOn) {
    KisyuCode = 25;
    ExtV25Opt[2] = 1;
    const std::string file = UsePdf("list32.pdf");
    PrintPrm32(10);

    const std::string text = PdfText(file);
    EXPECT_EQ(Pages(text), 1);
    for (const char* s :
         {"32bit parameter list", "32bit parameter", "Speed00", "Speed09", "100009", "0A", "3F"})
        EXPECT_TRUE(Has(text, s)) << s;
    EXPECT_FALSE(Has(text, "Speed0A"));
    EXPECT_FALSE(Has(text, "100010"));
}

TEST_F(PrmPrint, ListsTurnThePaperAndGiveItBack) {
    PrdRecorder rec(QSizeF(595, 842), 72);
    PrdRedirectPrinter(&rec);
    rec.SetOrientation(2);
    ExtV25Opt[2] = 1;
    PrintPrm16(64);
    EXPECT_EQ(rec.Orientation(), 2);
    ASSERT_FALSE(rec.Ops().empty());
    EXPECT_TRUE(
        std::all_of(rec.Ops().begin(), rec.Ops().end(), [](const PrdOp& o) { return o.orientation == 1; }));

    rec.ClearOps();
    rec.SetOrientation(1);
    PrintPrm32(65);
    EXPECT_EQ(rec.Orientation(), 1);
    EXPECT_TRUE(
        std::all_of(rec.Ops().begin(), rec.Ops().end(), [](const PrdOp& o) { return o.orientation == 2; }));
    EXPECT_EQ(rec.Documents(), 1);
    EXPECT_EQ(std::count_if(rec.Ops().begin(), rec.Ops().end(),
                            [](const PrdOp& o) { return o.kind == PrdOp::NewPage; }),
              1);
    // The one-job 32-bit list asks for the smaller list font; on landscape paper its rows are lower than
    // that, and the text takes the size that keeps it inside its row.
    const auto value =
        std::find_if(rec.Ops().begin(), rec.Ops().end(), [](const PrdOp& o) { return o.text == "Speed01"; });
    ASSERT_NE(value, rec.Ops().end());
    EXPECT_LE(value->fontPt, 110 * 842 / 10000.0);
    EXPECT_GE(value->fontPt, 5.0);
    EXPECT_LE(value->size.height(), 25 * 595 / 1414.0);
}

TEST_F(PrmPrint, OneJobCountBeyondTheListIsToldAndTheListPrinted) {
    ExtV25Opt[2] = 1;
    const std::string file = UsePdf("all.pdf");
    plat::ScriptedAsker asker;
    PrintPrm16(257);

    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].title, "Print");
    const std::string text = PdfText(file);
    EXPECT_EQ(Pages(text), 4);
    EXPECT_TRUE(Has(text, "GainFF"));

    ExtV25Opt[2] = 0;
    asker.Clear();
    PrintPrm16(256);
    EXPECT_TRUE(asker.Asked().empty());
}
