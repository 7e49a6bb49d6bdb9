// The print command every printing screen runs: the order of its steps and how each way of ending is told.
// The printer is the real PDF printer; only the print dialog's hand is the test's (the screens' own tests
// go through the dialog itself).
#include "app/Frame.h"
#include "app/Prd.h"
#include "app/PrdPrint.h"
#include "platform/Ask.h"

#include "PrintDialogAnswer.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Journal = std::vector<std::string>;

// A printer that refuses to turn its paper: the printer check fails on it.
class StubbornPrinter : public PrdRecorder {
  public:
    StubbornPrinter() : PrdRecorder(QSizeF(595, 842), 72) {}
    bool SetOrientation(int16_t o) override { return o == Orientation(); }
};

// Writes every step the user sees (questions, dialogs, status, pointer) into one journal, in order.
class PrintCmd : public ::testing::Test {
  protected:
    void SetUp() override {
        keepFrame_ = Frame();
        Frame().updStat = [this](const std::string& t) { log.push_back("status:" + t); };
        Frame().hourglass = [this](bool busy) { log.push_back(busy ? "busy" : "idle"); };
        keepAsker_ = plat::SetAsker([this](const plat::AskRequest& r) {
            log.push_back("msg:" + r.text + "|" + r.title);
            return plat::Ok;
        });
        keepChooser_ = SetPrinterChooser([this](PrdPrinterChoice& c) {
            log.push_back("choose");
            c.name = PrdPdfPrinterName;
            c.pdfFile = file;
            return !file.empty();
        });
        ASSERT_TRUE(PrdSetPrinter(PrdPdfPrinterName, Pdf("earlier.pdf")));
    }
    void TearDown() override {
        PrdRedirectPrinter(nullptr);
        SetPrinterChooser(keepChooser_);
        plat::SetAsker(keepAsker_);
        Frame() = keepFrame_;
    }

    std::string Pdf(const char* name) const { return QDir(dir.path()).filePath(name).toStdString(); }

    // A command whose item dialog answers words and whose drawing writes text on one sheet, then runs fail.
    PrdPrintCmd Cmd(std::string words, std::string text = "on paper", std::function<void()> fail = {}) {
        PrdPrintCmd cmd;
        cmd.title = "Print of the test";
        cmd.ask = [this, words] {
            log.push_back("ask");
            return words;
        };
        cmd.print = [this, text, fail](const std::string& w) {
            log.push_back("print:" + w);
            PrdCtx ctx;
            PrdInit(ctx, nullptr, 100, 100, "/PRINTER");
            Printer().PrintText(10, 10, text);
            if (fail) fail();
            PrdEnd(ctx);
            return true;
        };
        return cmd;
    }

    QTemporaryDir dir;
    std::string file; // what the print dialog names; empty: the user cancels it
    Journal log;

  private:
    FrameHooks keepFrame_;
    plat::Asker keepAsker_;
    PrinterChooser keepChooser_;
};

} // namespace

TEST_F(PrintCmd, AsksWhatThenChoosesThePrinterThenPrintsAndSaysSoLast) {
    file = Pdf("sheet.pdf");
    PrdPrint(Cmd(" graph"));
    EXPECT_EQ(log, (Journal{"ask", "choose", "busy", "status:In-printing ", "print: graph", "idle",
                            "status:Print completed."}));
    ASSERT_EQ(PrdPdfDocuments(), std::vector<std::string>{file});
    EXPECT_TRUE(testmain::PdfText(QString::fromStdString(file)).contains("on paper"));

    // The screen's own word for it.
    log.clear();
    PrdPrintCmd cmd = Cmd("graph");
    cmd.completed = "Print completed,";
    PrdPrint(cmd);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "status:Print completed,");
}

TEST_F(PrintCmd, NothingChosenPrintsNothingAndSaysNothing) {
    file = Pdf("sheet.pdf");
    for (const char* words : {"cancel", " graph cancel", ""}) {
        log.clear();
        PrdPrint(Cmd(words));
        EXPECT_EQ(log, Journal{"ask"}) << '"' << words << '"';
    }

    // Cancel in the print dialog.
    file.clear();
    log.clear();
    PrdPrint(Cmd("graph"));
    EXPECT_EQ(log, (Journal{"ask", "choose"}));
    EXPECT_TRUE(PrdPdfDocuments().empty());

    // The user declined on the way (a preview answered No): not a failure, and not printed either.
    file = Pdf("sheet.pdf");
    log.clear();
    PrdPrintCmd declined = Cmd("graph");
    declined.print = [this](const std::string&) {
        log.push_back("print");
        return false;
    };
    PrdPrint(declined);
    EXPECT_EQ(log, (Journal{"ask", "choose", "busy", "status:In-printing ", "print", "idle", "status:"}));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(file)));
}

TEST_F(PrintCmd, APrinterThatCannotBeUsedIsToldAfterTheItemsAndBeforeTheDialog) {
    StubbornPrinter stubborn;
    PrdRedirectPrinter(&stubborn);
    file = Pdf("sheet.pdf");
    PrdPrint(Cmd("cancel"));
    EXPECT_EQ(log, Journal{"ask"}); // a user who wants nothing is not told about the printer

    log.clear();
    PrdPrint(Cmd("graph"));
    EXPECT_EQ(log, (Journal{"ask", "msg:Printer can't be used.|Print"}));
}

TEST_F(PrintCmd, AFailureThrownWhilePrintingIsToldAndEndsTheJob) {
    file = Pdf("sheet.pdf");
    const auto paperOut = [] { throw std::runtime_error("out of paper"); };
    PrdPrint(Cmd("graph", "half a sheet", paperOut));
    EXPECT_EQ(log, (Journal{"ask", "choose", "busy", "status:In-printing ", "print:graph", "idle",
                            "status:", "msg:Print error|Print of the test"}));

    // A screen that gives the reason.
    log.clear();
    PrdPrintCmd cmd = Cmd("graph", "half a sheet", paperOut);
    cmd.errorReason = true;
    PrdPrint(cmd);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "msg:Print error\nout of paper|Print of the test");

    // Whatever is thrown.
    log.clear();
    PrdPrint(Cmd("graph", "half a sheet", [] { throw 7; }));
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "msg:Print error|Print of the test");

    // The next print is a whole document of its own, without the broken one's sheet.
    log.clear();
    PrdPrint(Cmd("graph", "whole sheet"));
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "status:Print completed.");
    const QString text = testmain::PdfText(QString::fromStdString(file));
    EXPECT_TRUE(text.contains("whole sheet")) << text.toStdString();
    EXPECT_FALSE(text.contains("half a sheet")) << text.toStdString();
}

TEST_F(PrintCmd, APrinterErrorIsTold) {
    file = Pdf("no/such/folder/sheet.pdf");
    PrdPrint(Cmd("graph"));
    EXPECT_EQ(log, (Journal{"ask", "choose", "busy", "status:In-printing ", "print:graph", "idle",
                            "status:", "msg:Print error|Print of the test"}));
}
