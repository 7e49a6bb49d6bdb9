// Drawing of one gain or phase graph with its reference curve, on a window's picture area or on paper:
// logarithmic frequency axis, linear value axis, titles, frame, curves, cursor cross with its values,
// the cut-off mark and on demand a header with date and comment.
#pragma once

#include <optional>

#include "frequency/FrqGlb.h"

class PrdSurface;

// Sets the surface's coordinates to the record's drawing units, keeping the aspect ratio, and the
// record's font sizes and pen scale for that surface.
void GrpScale(PrdSurface& target, FrqGraphRec& rec);
// The whole graph; nothing at all when neither record holds data.
void GrpDraw(PrdSurface& target, const FrqGraphRec& rec, const FrqGraphRec& ref);
// Titles, grid, ticks and frame only.
void GrpDraw2(PrdSurface& target, const FrqGraphRec& rec);
// Moves the cursor to point index (the picture is drawn anew by the caller).
void GrpCsrDraw(FrqGraphRec& rec, int index);
// The first point whose frequency reaches the frequency at x (limited to fftTime); none when no point
// does.
std::optional<int> GrpFrqIdx(const FrqGraphRec& rec, double x, double fftTime);
// Copies the view of src into dst (geometry, scales, colours of frame, ticks and cursor, cursor). The
// points drawn follow from each record's own sample count and stay, as do the curve and mark colours,
// titles, flags and memo lines.
void FrqDatCopy(FrqGraphRec& dst, const FrqGraphRec& src);

// Room the labels of rec take above and below its plot on target, in drawing units, at the font and
// scale GrpScale set.
struct GrpRoom {
    double above = 0, below = 0;
};
GrpRoom GrpLabelRoom(const PrdSurface& target, const FrqGraphRec& rec);

// x and y of a point in drawing units.
double GrpX(const FrqGraphRec& rec, int i);
double GrpY(const FrqGraphRec& rec, int i);
