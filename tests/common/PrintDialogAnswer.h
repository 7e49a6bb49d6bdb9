// Answers the print dialog that the program really shows: picks "Print to File (PDF)" with a file name and
// presses Print, or cancels. The dialog, the printer and the PDF engine all run as for a user; only the
// hand on the dialog is the test's. Keeps what the dialog offered.
#pragma once

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPrintDialog>
#include <QProcess>
#include <QString>
#include <QTimer>

#include <utility>

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

} // namespace testmain
