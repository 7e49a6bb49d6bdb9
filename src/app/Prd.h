// Drawing for screen and paper. One drawing routine serves both: it draws on a PrdSurface, whose device
// is a window's picture area, the program's printer, or a recorder that tests read.
//
// A surface keeps user coordinates of its own and maps every position to device pixels itself. Fonts are
// sized in points and line widths in device pixels, whatever the user coordinates: a painter transform
// would scale pens and text along with the positions, which is not how these drawings are sized.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPen>
#include <QPointF>
#include <QSizeF>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QPainter;
class QPrinter;

// ---- devices ---------------------------------------------------------------------------------------

// What a surface draws on, in the device's own pixels (printer dots on paper).
class PrdDevice {
  public:
    virtual ~PrdDevice() = default;
    virtual QSizeF SizePx() const = 0; // the drawable area
    virtual double Dpi() const = 0;    // pixels per inch
    virtual bool IsPrinter() const { return false; }
    // Paper orientation: 1 portrait, 2 landscape. False when the device refuses the change.
    virtual int16_t Orientation() const { return 1; }
    virtual bool SetOrientation(int16_t) { return true; }
    virtual void Clear(const QColor& back) = 0;
    virtual void Line(QPointF a, QPointF b, const QPen& pen) = 0;
    // Text with its top left corner at topLeft.
    virtual void Text(QPointF topLeft, const QString& text, const QFont& font, const QColor& color) = 0;
    virtual QSizeF TextSize(const QString& text, const QFont& font) const = 0;
    // Paper only: a new sheet, and the end of the document (which hands it to the printer).
    virtual bool NewPage() { return true; }
    virtual bool EndDoc() { return true; }
};

// A picture held in memory: the drawing of a window's picture area.
class PrdImageDevice : public PrdDevice {
  public:
    PrdImageDevice(QSize sizePx, double dpi);
    ~PrdImageDevice() override;
    const QImage& Image() const { return image_; }
    // New size; what was drawn stays at the top left.
    void Resize(QSize sizePx);

    QSizeF SizePx() const override { return QSizeF(image_.size()); }
    double Dpi() const override { return dpi_; }
    void Clear(const QColor& back) override;
    void Line(QPointF a, QPointF b, const QPen& pen) override;
    void Text(QPointF topLeft, const QString& text, const QFont& font, const QColor& color) override;
    QSizeF TextSize(const QString& text, const QFont& font) const override;

  private:
    QImage image_;
    double dpi_;
};

// One drawing call as the recorder stored it. Positions and sizes are in device pixels.
struct PrdOp {
    enum Kind { Clear, Line, Text, NewPage, EndDoc } kind = Clear;
    QPointF a;   // start of a line; top left of a text
    QPointF b;   // end of a line
    QSizeF size; // measured size of a text
    QString text;
    QString fontName;
    double fontPt = 0;
    int penWidth = 0;
    Qt::PenStyle penStyle = Qt::SolidLine;
    QColor color;
    int16_t orientation = 1; // paper orientation in force
};

// Stores every drawing call instead of drawing; measures text as a device of its resolution would.
class PrdRecorder : public PrdDevice {
  public:
    // portraitPx: the page in portrait; landscape swaps its sides.
    PrdRecorder(QSizeF portraitPx, double dpi, bool printer = true);
    const std::vector<PrdOp>& Ops() const { return ops_; }
    void ClearOps() { ops_.clear(); }
    // Number of ended documents.
    int Documents() const;

    QSizeF SizePx() const override;
    double Dpi() const override { return dpi_; }
    bool IsPrinter() const override { return printer_; }
    int16_t Orientation() const override { return orientation_; }
    bool SetOrientation(int16_t o) override;
    void Clear(const QColor& back) override;
    void Line(QPointF a, QPointF b, const QPen& pen) override;
    void Text(QPointF topLeft, const QString& text, const QFont& font, const QColor& color) override;
    QSizeF TextSize(const QString& text, const QFont& font) const override;
    bool NewPage() override;
    bool EndDoc() override;

  private:
    void Push(PrdOp op);

    QSizeF portrait_;
    double dpi_;
    bool printer_;
    int16_t orientation_ = 1;
    QImage probe_; // gives the font metrics this resolution's
    std::vector<PrdOp> ops_;
};

// ---- surface ---------------------------------------------------------------------------------------

// A device with the drawing state of one surface: user coordinates, font, pen and colour.
class PrdSurface {
  public:
    explicit PrdSurface(PrdDevice* device = nullptr) : dev_(device) {}
    PrdDevice* Device() const { return dev_; }
    void SetDevice(PrdDevice* device) { dev_ = device; }
    bool IsPrinter() const { return dev_ && dev_->IsPrinter(); }

    // Coordinates: (x1, y1) at the top left and (x2, y2) at the bottom right of the drawable area; or the
    // device's points (72 an inch) or pixels, with (0, 0) at the top left.
    void Scale(double x1, double y1, double x2, double y2);
    void ScalePoints();
    void ScalePixels();
    double ScaleWidth() const;
    double ScaleHeight() const;
    QPointF ToDevice(double x, double y) const;
    // A device pixel in the current coordinates.
    QPointF FromDevice(QPointF px) const;

    void SetFontName(const std::string& name) { fontName_ = name; }
    const std::string& FontName() const { return fontName_; }
    void SetFontSize(double points);
    double FontSize() const { return fontPt_; }
    // Line width in device pixels, at least 1.
    void SetDrawWidth(int px) { drawWidth_ = px < 1 ? 1 : px; }
    int DrawWidth() const { return drawWidth_; }
    void SetDrawStyle(Qt::PenStyle style) { penStyle_ = style; }
    void SetForeColor(const QColor& c) { fore_ = c; }
    const QColor& ForeColor() const { return fore_; }
    void SetBackColor(const QColor& c) { back_ = c; }

    void Cls();
    void Line(double x1, double y1, double x2, double y2);
    void Line(double x1, double y1, double x2, double y2, const QColor& color);
    // Text with its top left corner at (x, y).
    void PrintText(double x, double y, const std::string& text);
    // The text's measures in the current font, in the current coordinates.
    double TextWidth(const std::string& text) const;
    double TextHeight(const std::string& text) const;

    bool NewPage();
    bool EndDoc();
    int16_t Orientation() const { return dev_ ? dev_->Orientation() : 1; }
    bool SetOrientation(int16_t o) { return dev_ && dev_->SetOrientation(o); }

  private:
    enum class Unit { User, Points, Pixels };
    QFont Font() const;
    double UnitsPerPxX() const;
    double UnitsPerPxY() const;

    PrdDevice* dev_;
    Unit unit_ = Unit::Pixels;
    double x1_ = 0, y1_ = 0, x2_ = 1, y2_ = 1;
    std::string fontName_ = "Arial";
    double fontPt_ = 9;
    int drawWidth_ = 1;
    Qt::PenStyle penStyle_ = Qt::SolidLine;
    QColor fore_ = Qt::black;
    QColor back_ = Qt::white;
};

// A window's picture area: draws what its surface holds.
class PrdPictureBox : public QWidget {
  public:
    explicit PrdPictureBox(QWidget* parent = nullptr);
    ~PrdPictureBox() override;
    PrdSurface& Surface() { return surface_; }
    const QImage& Image() const { return device_.Image(); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    PrdImageDevice device_;
    PrdSurface surface_;
};

// ---- the program's printer ------------------------------------------------------------------------

// Name of the printer that writes PDF files; it is offered whether or not a printer is installed.
extern const char* const PrdPdfPrinterName;

// The installed printers by name, then the PDF printer.
std::vector<std::string> PrdPrinterNames();
// The program's printer: its name, and for the PDF printer the file its first document goes to (empty
// until the user named one; the PDF printer draws nothing before). Later documents of the same choice go
// to the same name with "-2", "-3", ... before ".pdf".
std::string PrdPrinterName();
std::string PrdPdfFile();
// Makes name the program's printer; false (and nothing changed) when no such printer exists.
bool PrdSetPrinter(const std::string& name, const std::string& pdfFile = {});
// Files the PDF printer has written since it was chosen, in order.
const std::vector<std::string>& PrdPdfDocuments();
// True when the program's printer could not start, continue or finish a document since the last call
// (a printer gone off line, a spooler error, a file that cannot be written); the call clears it.
bool PrdTakeError();

// The program's printer as a surface.
PrdSurface& Printer();
// Makes the program's printer draw on device instead (tests record with it); null goes back.
void PrdRedirectPrinter(PrdDevice* device);

// The printer set-up of the print commands: the platform's print dialog, with the system's printers and
// the PDF printer ("Print to File (PDF)"), whose file starts in the last print folder (key "pdf"). What the
// user sets there becomes the program's printer. False when the user cancelled. Tests install a chooser
// in place of the dialog.
struct PrdPrinterChoice {
    std::string name;
    std::string pdfFile;
};
bool PrdChoosePrinter(const std::string& title);
using PrinterChooser = std::function<bool(PrdPrinterChoice& choice)>;
// Replaces the dialog (an empty function restores it); returns the previous chooser.
PrinterChooser SetPrinterChooser(PrinterChooser chooser);

// ---- drawing context -------------------------------------------------------------------------------

struct PrdCtx {
    PrdSurface* Obj = nullptr; // where the drawing goes
    float WidthPt = 0;         // the surface's width in points
    float WidthPx = 0;         // and in pixels
    std::string Mode;          // the caller's option words
    int16_t Orientation = 0;   // the printer's orientation before the context took it; 0 when it did not
};

// True when the program's printer is there (the PDF printer always is; a system printer while its queue
// exists) and takes changes of its settings; otherwise tells the user, False. A printer whose queue went
// away gives way to the system's default printer, or the PDF printer, for the next print.
bool PrdCheckPrinter();
// Makes sure the program's printer has its device; the settings of the print dialog stay.
void PrdSelPrinter();
// Sets ctx up on surface, or on the printer (in landscape) when mode holds "/PRINTER"; "/EDIT" draws
// over the surface without clearing it. Afterwards the coordinates run from (0, 0) at the top left to
// (width, height) at the bottom right.
void PrdInit(PrdCtx& ctx, PrdSurface* surface, float width, float height, const std::string& mode);
// On the printer: ends the document and restores the orientation. Nothing on a picture area.
void PrdEnd(PrdCtx& ctx);
// Line width in ten-thousandths of the surface width.
void PrdSetDrawWidth(PrdCtx& ctx, float width);
// Font size: factor 1.0 for normal text, 0.8 for small text.
void PrdSetFontSize(PrdCtx& ctx, float factor);

// ---- labels of graphs ------------------------------------------------------------------------------

// The smallest size in points at which a graph draws a label: the program's small font. A size in points
// grows with the screen's scale as every other text of the program does.
double PrdSmallFontPt();
// PrdSetFontSize for labels: never below the small font, so that a small picture stays readable.
void PrdSetLabelFontSize(PrdCtx& ctx, float factor);
