// The text-fit log: for a process started with CE_TEXT_FIT_LOG naming a host file, every text drawn
// that leaves the rectangle it was laid out in (or the DC's clip, sideways), every text drawn into an
// empty rectangle and every text shortened from its front, is appended to that file as one line, so
// that a test can walk a program's screens and find cut or hidden texts without looking at them.
//
// A text drawn over another one on the same bitmap, which nothing was filled over in between, is
// noted as well: two texts in one place cannot both be read.
//
// A line: "<kind>\t<text>\tdrawn=l,t,r,b\tframe=l,t,r,b" in UTF-8; the coordinates are the DC's. The
// kind: "cut-both" for a text that stands out of its box at both sides, "cut-front" for one whose first
// characters are not drawn (it starts left of the box, or begins with an ellipsis: its caller dropped
// its beginning), "leaves" for one that runs out at its end or above or below, "empty" for a text in
// an empty rectangle. An overlap: "overlaps\t<text>\tdrawn=l,t,r,b\tover=<the other text>", in
// the bitmap's coordinates.
#pragma once

#include <string_view>

#include "gdi/DeviceContext.h"
#include "gdi/FontInstance.h"

namespace ce::gdi {

// A line of text drawn at (x, top) of the given width with the font of these metrics; frame is the
// rectangle it was drawn in (null for none).
void NoteDrawnText(const DeviceContext& dc, std::u16string_view text, int x, int top, int width,
                   const FontMetrics& metrics, const RECT* frame);
// Something was filled over this rectangle of the bitmap (its coordinates): the texts under it are gone.
void ForgetTextsUnder(Bitmap& bitmap, const RECT& area);

}  // namespace ce::gdi
