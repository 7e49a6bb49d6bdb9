// Answers the print dialog that the program really shows: picks "Print to File (PDF)" with a file name and
// presses Print, or cancels. The dialog, the printer and the PDF engine all run as for a user; only the
// hand on the dialog is the test's. Keeps what the dialog offered.
#pragma once

#include "app/Prd.h"
#include "platform/Ask.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QPrintDialog>
#include <QProcess>
#include <QString>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace testmain {

class PrintDialogAnswer {
  public:
    // An empty file cancels the dialog.
    explicit PrintDialogAnswer(QString file) : file_(std::move(file)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start(5);
    }
    PrintDialogAnswer(const PrintDialogAnswer&) = delete;
    PrintDialogAnswer& operator=(const PrintDialogAnswer&) = delete;

    int Shown() const { return shown_; }
    const QString& Title() const { return title_; }
    // The file name the dialog offered before the answer.
    const QString& Offered() const { return offered_; }

  private:
    void Poll() {
        auto* d = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (!d || d == last_) return;
        last_ = d;
        ++shown_;
        title_ = d->windowTitle();
        auto* printers = d->findChild<QComboBox*>("printers");
        auto* name = d->findChild<QLineEdit*>("filename");
        offered_ = name ? name->text() : QString();
        if (file_.isEmpty() || !printers || !name) {
            d->reject();
            return;
        }
        const int pdf = printers->findText("Print to File (PDF)");
        printers->setCurrentIndex(pdf >= 0 ? pdf : printers->count() - 1);
        name->setText(file_);
        d->accept();
    }

    QString file_;
    QTimer timer_;
    QPointer<QPrintDialog> last_;
    int shown_ = 0;
    QString title_;
    QString offered_;
};

// The text of a PDF as pdftotext reads it (with its layout); empty when it cannot be read.
inline QString PdfText(const QString& file) {
    QProcess p;
    p.start("pdftotext", {"-layout", file, "-"});
    if (!p.waitForFinished(20000)) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Prints one screen three ways, as a user can: cancelled in the print dialog (nothing written, nothing said),
// printed to the PDF file named there ("completed" in the status strip, nothing asked), and sent to a PDF
// file that cannot be written (the screen's own "Print error" under its title, no word of completion).
// Returns the text of every sheet the good print wrote, for the caller to look for its screen's values.
inline QString PrintThreeWays(const std::function<void()>& print, const QString& folder, const std::string& title,
                              const std::string& completed, const plat::ScriptedAsker& asker,
                              std::vector<std::string>& status) {
    const QString file = folder + "/print.pdf";
    status.clear();
    {
        PrintDialogAnswer cancel({});
        print();
        EXPECT_EQ(cancel.Shown(), 1);
    }
    EXPECT_TRUE(asker.Asked().empty());
    EXPECT_EQ(std::count(status.begin(), status.end(), completed), 0);
    EXPECT_FALSE(QFileInfo::exists(file));
    {
        PrintDialogAnswer answer(file);
        print();
        EXPECT_EQ(answer.Title().toStdString(), title);
    }
    EXPECT_TRUE(asker.Asked().empty());
    EXPECT_FALSE(status.empty() || status.back() != completed) << "no \"" << completed << "\"";
    QString text;
    const std::vector<std::string> docs = PrdPdfDocuments();
    EXPECT_FALSE(docs.empty());
    if (!docs.empty()) {
        EXPECT_EQ(docs.front(), file.toStdString());
    }
    for (const std::string& doc : docs)
        text += PdfText(QString::fromStdString(doc));

    status.clear();
    const std::string bad = (folder + "/gone/print.pdf").toStdString();
    const auto prevChooser = SetPrinterChooser([&bad](PrdPrinterChoice& c) {
        c.name = PrdPdfPrinterName;
        c.pdfFile = bad;
        return true;
    });
    print();
    SetPrinterChooser(prevChooser);
    EXPECT_EQ(asker.Asked().size(), 1u);
    if (!asker.Asked().empty()) {
        EXPECT_EQ(asker.Asked()[0].text, "Print error");
        EXPECT_EQ(asker.Asked()[0].title, title);
    }
    EXPECT_EQ(std::count(status.begin(), status.end(), completed), 0);
    return text;
}

} // namespace testmain
