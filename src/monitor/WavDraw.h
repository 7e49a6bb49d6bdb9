// Drawing of the waveform graph: frame, grid, time and value axes, the twelve curves, the two cursors
// and, on paper, the text panel. Everything is drawn through the print layer's surfaces, so the same
// code serves the window's picture, the printer and the recorder of the tests.
//
// Coordinates run from (0, 0) to (620, H): H is 615 without the text panel, 815 with it and 915 with it
// and the cursor read-out. One value division is 50 units; the graph spans five divisions above and
// five below the zero line.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QLineF>
#include <QList>

#include <cstdint>
#include <string>

#include "app/Prd.h"
#include "monitor/MonGlb.h"

// A device that draws with one painter held for the whole drawing: the window's cached picture and the
// cursor overlay painted over it.
class WavPainterDevice : public PrdDevice {
  public:
    WavPainterDevice(QPainter& painter, QSizeF sizePx, double dpi) : p_(painter), size_(sizePx), dpi_(dpi) {}
    ~WavPainterDevice() override;
    // Draws the lines still held back; the painter must not end before.
    void Flush();
    QSizeF SizePx() const override { return size_; }
    double Dpi() const override { return dpi_; }
    void Clear(const QColor& back) override;
    void Line(QPointF a, QPointF b, const QPen& pen) override;
    void Text(QPointF topLeft, const QString& text, const QFont& font, const QColor& color) override;
    QSizeF TextSize(const QString& text, const QFont& font) const override;

  private:
    QPainter& p_;
    QSizeF size_;
    double dpi_;
    QPen pen_;
    QList<QLineF> run_; // lines of one pen, not drawn yet
};

// 0x00BBGGRR as stored in the records and files.
QColor WavColor(int32_t bgr);

// What the text panel of a print-out reads of the graph window.
struct WgdPanelInfo {
    bool trgOn = false;
    std::string trgPosText;
    std::string trgSlopeText;
    // Cursor read-out texts [column][row]: columns time, actual speed, commanded speed, torque, position
    // error, full-closed error; rows cursor 1, cursor 2, difference, heading.
    std::string readout[6][4];
};

// Legend name of display index d (as printed).
const char* WgdLegendName(int d);

void WgdAxisInit(WavChRec& rec);
// DataValid of display index d's measured record (kind other than 1) or reference record (kind 1).
void WgdSetCh(int kind, int d, int16_t value);
void WgdCurSet(int16_t flag);
int16_t WgdCurGet(int n, const WavChRec& rec);
// Time of cursor n in ms.
double WgdCurVal(int n);
// Range, offset and value per division of the measured axes from the data shown.
void WgdAutoScale();
// The display sample of a raw one.
int16_t WgdDisp(int16_t raw, float factor);
// Value to y, clamped to the graph.
double WgdValToY(double v, const WavChRec& rec);
// Step of the time axis for a span in ms.
double WgdNiceStep(double span);

// Where a drawing put the graph: the drawing units at the target's corners. The frame keeps its units
// (500 across, one value division 50); the room around it is made to hold the labels at their font.
struct WgdView {
    double x1 = 0, y1 = 0, x2 = 620, y2 = 615;
    // Drawing units at a point of a target of size px.
    QPointF Units(QPointF at, QSizeF px) const;
};

// The whole graph on target ("/PRINTER" takes the printer instead, "/TEXT" adds the text panel).
// withCursors false leaves the cursors to an overlay (the window's picture). Returns where it drew.
WgdView WgdDraw(PrdSurface* target, int16_t dataFlag, const std::string& options, const WgdPanelInfo& info,
                bool withCursors);
// The cursors alone, over a picture drawn with the 620 x 615 scale, in the view the picture was drawn in
// (or, without one, in the view the graph would take now).
void WgdCursors(PrdSurface* target);
void WgdCursors(PrdSurface* target, const WgdView& view);
