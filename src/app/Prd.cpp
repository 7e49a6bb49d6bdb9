#include "app/Prd.h"

#include "app/FileDlg.h"

#include "platform/Ask.h"
#include "platform/Numbers.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPaintEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QResizeEvent>

#include <algorithm>
#include <utility>
#include <cmath>

namespace {

constexpr double PointsPerInch = 72.0;
// A PDF has no unprintable border of its own, but it is printed on paper later: keep the margin of an
// ordinary printer so that nothing at the page's edge is cut there.
constexpr double PdfMarginMm = 10.0;

int DotsPerMeter(double dpi) {
    return static_cast<int>(std::lround(dpi / 0.0254));
}

void DrawTextAt(QPainter& p, QPointF topLeft, const QString& text, const QFont& font, const QColor& color) {
    p.setFont(font);
    p.setPen(color);
    const QFontMetricsF fm(font, p.device());
    p.drawText(QPointF(topLeft.x(), topLeft.y() + fm.ascent()), text);
}

QSizeF MeasureText(const QString& text, const QFont& font, const QPaintDevice* device) {
    const QFontMetricsF fm(font, device);
    return QSizeF(fm.horizontalAdvance(text), fm.height());
}

bool Contains(const std::string& s, const char* word) {
    return s.find(word) != std::string::npos;
}

} // namespace

// ---- picture in memory --------------------------------------------------------------------------------

PrdImageDevice::PrdImageDevice(QSize sizePx, double dpi) : dpi_(dpi) {
    Resize(sizePx);
}

PrdImageDevice::~PrdImageDevice() = default;

void PrdImageDevice::Resize(QSize sizePx) {
    QImage next(sizePx.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    next.setDotsPerMeterX(DotsPerMeter(dpi_));
    next.setDotsPerMeterY(DotsPerMeter(dpi_));
    next.fill(Qt::white);
    if (!image_.isNull()) {
        QPainter p(&next);
        p.drawImage(0, 0, image_);
    }
    image_ = std::move(next);
}

void PrdImageDevice::Clear(const QColor& back) {
    image_.fill(back);
}

void PrdImageDevice::Line(QPointF a, QPointF b, const QPen& pen) {
    QPainter p(&image_);
    p.setPen(pen);
    p.drawLine(a, b);
}

void PrdImageDevice::Text(QPointF topLeft, const QString& text, const QFont& font, const QColor& color) {
    QPainter p(&image_);
    DrawTextAt(p, topLeft, text, font, color);
}

QSizeF PrdImageDevice::TextSize(const QString& text, const QFont& font) const {
    return MeasureText(text, font, &image_);
}

// ---- recorder ----------------------------------------------------------------------------------------

PrdRecorder::PrdRecorder(QSizeF portraitPx, double dpi, bool printer)
    : portrait_(portraitPx), dpi_(dpi), printer_(printer), probe_(1, 1, QImage::Format_ARGB32_Premultiplied) {
    probe_.setDotsPerMeterX(DotsPerMeter(dpi));
    probe_.setDotsPerMeterY(DotsPerMeter(dpi));
}

int PrdRecorder::Documents() const {
    return static_cast<int>(
        std::count_if(ops_.begin(), ops_.end(), [](const PrdOp& o) { return o.kind == PrdOp::EndDoc; }));
}

QSizeF PrdRecorder::SizePx() const {
    return orientation_ == 2 ? portrait_.transposed() : portrait_;
}

bool PrdRecorder::SetOrientation(int16_t o) {
    if (o != 1 && o != 2) return false;
    orientation_ = o;
    return true;
}

void PrdRecorder::Push(PrdOp op) {
    op.orientation = orientation_;
    ops_.push_back(std::move(op));
}

void PrdRecorder::Clear(const QColor& back) {
    PrdOp op;
    op.kind = PrdOp::Clear;
    op.color = back;
    Push(std::move(op));
}

void PrdRecorder::Line(QPointF a, QPointF b, const QPen& pen) {
    PrdOp op;
    op.kind = PrdOp::Line;
    op.a = a;
    op.b = b;
    op.penWidth = pen.width();
    op.penStyle = pen.style();
    op.color = pen.color();
    Push(std::move(op));
}

void PrdRecorder::Text(QPointF topLeft, const QString& text, const QFont& font, const QColor& color) {
    PrdOp op;
    op.kind = PrdOp::Text;
    op.a = topLeft;
    op.size = TextSize(text, font);
    op.text = text;
    op.fontName = font.family();
    op.fontPt = font.pointSizeF();
    op.color = color;
    Push(std::move(op));
}

QSizeF PrdRecorder::TextSize(const QString& text, const QFont& font) const {
    return MeasureText(text, font, &probe_);
}

bool PrdRecorder::NewPage() {
    PrdOp op;
    op.kind = PrdOp::NewPage;
    Push(std::move(op));
    return true;
}

bool PrdRecorder::EndDoc() {
    PrdOp op;
    op.kind = PrdOp::EndDoc;
    Push(std::move(op));
    return true;
}

// ---- surface -----------------------------------------------------------------------------------------

void PrdSurface::Scale(double x1, double y1, double x2, double y2) {
    unit_ = Unit::User;
    x1_ = x1;
    y1_ = y1;
    x2_ = x2 == x1 ? x1 + 1 : x2;
    y2_ = y2 == y1 ? y1 + 1 : y2;
}

void PrdSurface::ScalePoints() {
    unit_ = Unit::Points;
}
void PrdSurface::ScalePixels() {
    unit_ = Unit::Pixels;
}

double PrdSurface::UnitsPerPxX() const {
    if (!dev_) return 1;
    switch (unit_) {
    case Unit::User:
        return (x2_ - x1_) / std::max(1.0, dev_->SizePx().width());
    case Unit::Points:
        return PointsPerInch / dev_->Dpi();
    case Unit::Pixels:
        break;
    }
    return 1;
}

double PrdSurface::UnitsPerPxY() const {
    if (!dev_) return 1;
    switch (unit_) {
    case Unit::User:
        return (y2_ - y1_) / std::max(1.0, dev_->SizePx().height());
    case Unit::Points:
        return PointsPerInch / dev_->Dpi();
    case Unit::Pixels:
        break;
    }
    return 1;
}

double PrdSurface::ScaleWidth() const {
    return dev_ ? dev_->SizePx().width() * UnitsPerPxX() : 0;
}

double PrdSurface::ScaleHeight() const {
    return dev_ ? dev_->SizePx().height() * UnitsPerPxY() : 0;
}

QPointF PrdSurface::ToDevice(double x, double y) const {
    const double ox = unit_ == Unit::User ? x1_ : 0;
    const double oy = unit_ == Unit::User ? y1_ : 0;
    return QPointF((x - ox) / UnitsPerPxX(), (y - oy) / UnitsPerPxY());
}

QPointF PrdSurface::FromDevice(QPointF px) const {
    const double ox = unit_ == Unit::User ? x1_ : 0;
    const double oy = unit_ == Unit::User ? y1_ : 0;
    return QPointF(px.x() * UnitsPerPxX() + ox, px.y() * UnitsPerPxY() + oy);
}

void PrdSurface::SetFontSize(double points) {
    if (points > 0) fontPt_ = points;
}

QFont PrdSurface::Font() const {
    QFont f(QString::fromStdString(fontName_));
    f.setPointSizeF(fontPt_);
    return f;
}

void PrdSurface::Cls() {
    if (dev_) dev_->Clear(back_);
}

void PrdSurface::Line(double x1, double y1, double x2, double y2) {
    Line(x1, y1, x2, y2, fore_);
}

void PrdSurface::Line(double x1, double y1, double x2, double y2, const QColor& color) {
    if (!dev_) return;
    QPen pen(color, drawWidth_, penStyle_, Qt::FlatCap);
    dev_->Line(ToDevice(x1, y1), ToDevice(x2, y2), pen);
}

void PrdSurface::PrintText(double x, double y, const std::string& text) {
    if (dev_) dev_->Text(ToDevice(x, y), QString::fromStdString(text), Font(), fore_);
}

double PrdSurface::TextWidth(const std::string& text) const {
    return dev_ ? dev_->TextSize(QString::fromStdString(text), Font()).width() * std::abs(UnitsPerPxX()) : 0;
}

double PrdSurface::TextHeight(const std::string& text) const {
    return dev_ ? dev_->TextSize(QString::fromStdString(text), Font()).height() * std::abs(UnitsPerPxY()) : 0;
}

bool PrdSurface::NewPage() {
    return dev_ && dev_->NewPage();
}
bool PrdSurface::EndDoc() {
    return dev_ && dev_->EndDoc();
}

// ---- picture box -------------------------------------------------------------------------------------

PrdPictureBox::PrdPictureBox(QWidget* parent)
    : QWidget(parent), device_(QSize(1, 1), logicalDpiX()), surface_(&device_) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

PrdPictureBox::~PrdPictureBox() = default;

void PrdPictureBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, device_.Image());
}

void PrdPictureBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    device_.Resize(event->size());
}

// ---- the program's printer ---------------------------------------------------------------------------

const char* const PrdPdfPrinterName = "PDF file";

namespace {

// A printer of the system, or the PDF printer. A document begins with the first drawing on it.
class PrdPrinterDevice : public PrdDevice {
  public:
    PrdPrinterDevice(const std::string& name, const std::string& pdfBase, std::vector<std::string>* docs)
        : pdf_(name == PrdPdfPrinterName), pdfBase_(pdfBase), docs_(docs) {
        if (pdf_) {
            printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer_->setOutputFormat(QPrinter::PdfFormat);
            printer_->setPageSize(QPageSize(QPageSize::A4));
            KeepPdfMargins();
        } else {
            printer_ = std::make_unique<QPrinter>(QPrinterInfo::printerInfo(QString::fromStdString(name)),
                                                  QPrinter::HighResolution);
        }
        printer_->setDocName("Mevalo");
    }
    ~PrdPrinterDevice() override {
        if (painter_.isActive()) painter_.end();
    }

    QSizeF SizePx() const override {
        return QSizeF(printer_->pageLayout().paintRectPixels(printer_->resolution()).size());
    }
    double Dpi() const override { return printer_->resolution(); }
    bool IsPrinter() const override { return true; }
    int16_t Orientation() const override {
        return printer_->pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
    }
    bool SetOrientation(int16_t o) override {
        if (o != 1 && o != 2) return false;
        // While a document is open the change applies from its next page.
        return printer_->setPageOrientation(o == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    }
    void Clear(const QColor&) override {}
    void Line(QPointF a, QPointF b, const QPen& pen) override {
        if (!Begin()) return;
        painter_.setPen(pen);
        painter_.drawLine(a, b);
    }
    void Text(QPointF topLeft, const QString& text, const QFont& font, const QColor& color) override {
        if (Begin()) DrawTextAt(painter_, topLeft, text, font, color);
    }
    QSizeF TextSize(const QString& text, const QFont& font) const override {
        return MeasureText(text, font, printer_.get());
    }
    bool NewPage() override {
        const bool ok = Begin() && printer_->newPage();
        failed_ = failed_ || !ok;
        return ok;
    }
    bool InDocument() const { return painter_.isActive(); }
    bool EndDoc() override {
        if (!painter_.isActive()) return true;
        // The print system reports a spooler or device failure only through the printer's state.
        const bool ok = painter_.end() && printer_->printerState() != QPrinter::Error;
        if (pdf_ && ok) docs_->push_back(printer_->outputFileName().toStdString());
        failed_ = failed_ || !ok;
        return ok;
    }
    // True when a document could not be started, continued or finished since the last call.
    bool TakeFailed() { return std::exchange(failed_, false); }

    // The printer itself, for the print dialog to set up.
    QPrinter& Qt() { return *printer_; }
    // What the print dialog chose: the PDF printer with its file, or the system printer it set up.
    void Retarget(bool pdf, const std::string& pdfBase) {
        EndDoc();
        pdf_ = pdf;
        pdfBase_ = pdf ? pdfBase : std::string();
        if (pdf_) KeepPdfMargins();
    }

  private:
    void KeepPdfMargins() {
        const QMarginsF m = printer_->pageLayout().margins(QPageLayout::Millimeter);
        const auto atLeast = [](qreal v) { return std::max<qreal>(v, PdfMarginMm); };
        printer_->setPageMargins(
            QMarginsF(atLeast(m.left()), atLeast(m.top()), atLeast(m.right()), atLeast(m.bottom())),
            QPageLayout::Millimeter);
    }
    bool Begin() {
        if (painter_.isActive()) return true;
        // Nothing goes to a PDF file that the user has not named; the drawing is lost, which is a failure.
        if (pdf_ && pdfBase_.empty()) {
            failed_ = true;
            return false;
        }
        if (pdf_) printer_->setOutputFileName(QString::fromStdString(DocFile(docs_->size() + 1)));
        const bool ok = painter_.begin(printer_.get()) && printer_->printerState() != QPrinter::Error;
        failed_ = failed_ || !ok;
        return ok;
    }
    std::string DocFile(size_t n) const {
        if (n == 1) return pdfBase_;
        const std::string suffix = "-" + std::to_string(n);
        const size_t dot = pdfBase_.size() >= 4 ? pdfBase_.size() - 4 : std::string::npos;
        if (dot != std::string::npos &&
            QString::fromStdString(pdfBase_.substr(dot)).compare(".pdf", Qt::CaseInsensitive) == 0)
            return pdfBase_.substr(0, dot) + suffix + pdfBase_.substr(dot);
        return pdfBase_ + suffix;
    }

    bool pdf_;
    std::string pdfBase_;
    std::vector<std::string>* docs_;
    std::unique_ptr<QPrinter> printer_;
    QPainter painter_;
    bool failed_ = false;
};

struct PrinterState {
    std::string name;
    std::string pdfFile;
    std::vector<std::string> pdfDocs;
    std::unique_ptr<PrdPrinterDevice> device;
    PrdDevice* redirect = nullptr;
    PrdSurface surface;
    PrinterChooser chooser;
};

PrinterState& State() {
    static PrinterState s;
    return s;
}

void OpenPrinter(PrinterState& s) {
    s.surface.SetDevice(nullptr);
    s.device.reset();
    s.pdfDocs.clear();
    s.device = std::make_unique<PrdPrinterDevice>(s.name, s.pdfFile, &s.pdfDocs);
    s.surface.SetDevice(s.redirect ? s.redirect : s.device.get());
}

bool Installed(const std::string& name) {
    return QPrinterInfo::availablePrinterNames().contains(QString::fromStdString(name));
}

// The printer the system offers by default, else the PDF printer.
void OpenDefaultPrinter(PrinterState& s) {
    const QString def = QPrinterInfo::defaultPrinterName();
    s.name = def.isEmpty() ? PrdPdfPrinterName : def.toStdString();
    s.pdfFile.clear();
    OpenPrinter(s);
}

PrinterState& Current() {
    PrinterState& s = State();
    if (s.name.empty()) {
        // The printer goes before the application does: its print system plugin is gone after that.
        qAddPostRoutine([] {
            State().surface.SetDevice(State().redirect);
            State().device.reset();
        });
        OpenDefaultPrinter(s);
    }
    return s;
}

// The printer set-up dialog: the platform's own print dialog over the program's printer, so that what the
// user sets there (printer, file, paper, copies) is what prints. The PDF file starts in the last print
// folder.
bool ShowPrintDialog(PrinterState& s, const std::string& title) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return true;
    s.device->EndDoc(); // the dialog changes the printer; an open document would take half of it
    QPrinter& printer = s.device->Qt();
    if (s.name == PrdPdfPrinterName) {
        const std::string folder = ExistingFolder(PathGet("pdf", QDir::homePath().toStdString()));
        const QString name = s.pdfFile.empty() ? QStringLiteral("mevalo.pdf")
                                               : QFileInfo(QString::fromStdString(s.pdfFile)).fileName();
        printer.setOutputFileName(QDir(QString::fromStdString(folder)).filePath(name));
    }
    QPrintDialog dlg(&printer, QApplication::activeWindow());
    dlg.setWindowTitle(QString::fromStdString(title));
    dlg.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    if (dlg.exec() != QDialog::Accepted) return false;
    const bool pdf = printer.outputFormat() == QPrinter::PdfFormat;
    const std::string file = printer.outputFileName().toStdString();
    if (pdf && file.empty()) return false;
    s.device->Retarget(pdf, file);
    s.pdfDocs.clear();
    if (pdf) {
        s.name = PrdPdfPrinterName;
        s.pdfFile = file;
        PathSet("pdf", QFileInfo(printer.outputFileName()).absolutePath().toStdString());
    } else {
        s.name = printer.printerName().toStdString();
    }
    return true;
}

} // namespace

std::vector<std::string> PrdPrinterNames() {
    std::vector<std::string> names;
    for (const QString& n : QPrinterInfo::availablePrinterNames())
        names.push_back(n.toStdString());
    names.emplace_back(PrdPdfPrinterName);
    return names;
}

std::string PrdPrinterName() {
    return Current().name;
}
std::string PrdPdfFile() {
    return Current().pdfFile;
}
const std::vector<std::string>& PrdPdfDocuments() {
    return Current().pdfDocs;
}
bool PrdTakeError() {
    PrinterState& s = Current();
    return s.device && !s.redirect && s.device->TakeFailed();
}

bool PrdSetPrinter(const std::string& name, const std::string& pdfFile) {
    const std::vector<std::string> names = PrdPrinterNames();
    if (std::find(names.begin(), names.end(), name) == names.end()) return false;
    PrinterState& s = Current();
    s.name = name;
    if (!pdfFile.empty()) s.pdfFile = pdfFile;
    OpenPrinter(s);
    return true;
}

PrdSurface& Printer() {
    return Current().surface;
}

void PrdRedirectPrinter(PrdDevice* device) {
    PrinterState& s = Current();
    s.redirect = device;
    s.surface.SetDevice(device ? device : s.device.get());
}

bool PrdChoosePrinter(const std::string& title) {
    PrinterState& s = Current();
    if (!s.chooser) return ShowPrintDialog(s, title);
    PrdPrinterChoice choice{s.name, s.pdfFile};
    const bool ok = s.chooser(choice);
    // The PDF printer without a file the user named prints nothing.
    if (!ok || (choice.name == PrdPdfPrinterName && choice.pdfFile.empty())) return false;
    if (!PrdSetPrinter(choice.name, choice.pdfFile)) {
        plat::MsgBox("Printer is not connected.", plat::Buttons::Ok, plat::Icon::None, "Print");
        return false;
    }
    return true;
}

PrinterChooser SetPrinterChooser(PrinterChooser chooser) {
    PrinterChooser previous = std::move(State().chooser);
    State().chooser = std::move(chooser);
    return previous;
}

// ---- drawing context ---------------------------------------------------------------------------------

bool PrdCheckPrinter() {
    // The PDF printer is always there; a system printer's queue may have gone since it was chosen.
    PrinterState& s = Current();
    if (!s.redirect && s.name != PrdPdfPrinterName && !Installed(s.name)) {
        plat::MsgBox("Printer is not connected.", plat::Buttons::Ok, plat::Icon::None, "Print");
        // The next print starts from what the system offers now rather than from the lost queue.
        OpenDefaultPrinter(s);
        return false;
    }
    PrdSurface& p = Printer();
    const int16_t was = p.Orientation();
    const bool ok = p.SetOrientation(1) && p.SetOrientation(2) && p.SetOrientation(was);
    if (!ok) {
        plat::MsgBox("Printer can't be used.", plat::Buttons::Ok, plat::Icon::None, "Print");
        p.SetOrientation(was);
        p.EndDoc();
        return false;
    }
    return true;
}

void PrdSelPrinter() {
    // The printer keeps what the user set up in the print dialog; it is opened afresh only when it has
    // no device yet.
    PrinterState& s = Current();
    if (!s.device) OpenPrinter(s);
}

void PrdInit(PrdCtx& ctx, PrdSurface* surface, float width, float height, const std::string& mode) {
    ctx.Mode = mode;
    ctx.Obj = surface;
    ctx.Orientation = 0;
    const bool printer = Contains(mode, "/PRINTER");
    if (!Contains(mode, "/EDIT")) {
        if (printer) {
            PrdSelPrinter();
            ctx.Obj = &Printer();
            ctx.Orientation = ctx.Obj->Orientation();
            ctx.Obj->SetOrientation(2);
        } else if (surface) {
            surface->Cls();
        }
    }
    PrdSurface* o = ctx.Obj;
    if (!o) return;
    o->Scale(0, 0, width, height);
    o->ScalePoints();
    ctx.WidthPt = static_cast<float>(o->ScaleWidth());
    o->SetFontName("Arial");
    o->SetFontSize(ctx.WidthPt / (printer ? 80.0f : 55.0f));
    o->ScalePixels();
    ctx.WidthPx = static_cast<float>(o->ScaleWidth());
    o->Scale(0, 0, width, height);
}

void PrdEnd(PrdCtx& ctx) {
    // Only a context that took the printer has a document to end and an orientation to give back.
    if (!Contains(ctx.Mode, "/PRINTER") || ctx.Orientation == 0 || !ctx.Obj) return;
    ctx.Obj->EndDoc();
    ctx.Obj->SetOrientation(ctx.Orientation);
}

void PrdSetDrawWidth(PrdCtx& ctx, float width) {
    if (!ctx.Obj) return;
    float w = width * ctx.WidthPx / 10000.0f;
    if (w < 1) w = 1;
    ctx.Obj->SetDrawWidth(static_cast<int>(plat::RoundHalfEven(w)));
}

void PrdSetFontSize(PrdCtx& ctx, float factor) {
    if (!ctx.Obj) return;
    const float base = ctx.WidthPt / (Contains(ctx.Mode, "/PRINTER") ? 85.0f : 50.0f);
    const float size = base * factor;
    ctx.Obj->SetFontSize(size < 1 ? 1.0 : size);
}

// ---- labels of graphs --------------------------------------------------------------------------------

double PrdSmallFontPt() {
    constexpr double fallback = 8.0;
    if (!QCoreApplication::instance() || !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return fallback;
    // The desktop's smallest readable font; where the desktop names none, the program's own font.
    double pt = QFontDatabase::systemFont(QFontDatabase::SmallestReadableFont).pointSizeF();
    if (pt <= 0) pt = QGuiApplication::font().pointSizeF();
    return pt > 0 ? pt : fallback;
}

void PrdSetLabelFontSize(PrdCtx& ctx, float factor) {
    PrdSetFontSize(ctx, factor);
    if (ctx.Obj && ctx.Obj->FontSize() < PrdSmallFontPt()) ctx.Obj->SetFontSize(PrdSmallFontPt());
}
