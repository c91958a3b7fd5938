// Slicing of one image cell for stretched drawing: which source rectangle goes to which
// target rectangle when corners and caps keep their size and only edges and centre grow.
//
//   LumSpan        one piece along one axis (target offset and length, source offset and
//                  length)
//   SliceAxis      the pieces along one axis
//   LumSlicePiece  one target rectangle with its source rectangle
//   SliceCell      the pieces of a whole cell, row by row
#pragma once

#include <vector>

namespace vexa {

struct LumSpan {
    int dst;
    int dst_len;
    int src;
    int src_len;
};

// Pieces along one axis of a cell |cell| long whose fixed lead is |lead| long and whose
// fixed tail starts at |tail_start|, drawn |target| long. Pieces of length 0 are left out.
// When the target is shorter than lead and tail together, the middle is dropped and lead
// and tail are shrunk in proportion, so nothing is drawn outside the target and no piece
// has a negative size. A target of 0 or less gives no piece.
std::vector<LumSpan> SliceAxis(int cell, int lead, int tail_start, int target);

struct LumSlicePiece {
    int dx, dy, dw, dh;  // target, relative to the draw position
    int sx, sy, sw, sh;  // source, relative to the cell's origin
    bool OneToOne() const { return dw == sw && dh == sh; }
};

// Nine-slice pieces of a w x h cell drawn at cx x cy: rows top, middle, bottom; within a
// row left, middle, right. Three-slice drawing is the case top = 0, bottom start = h,
// cy = h.
std::vector<LumSlicePiece> SliceCell(int w, int h, int left, int right_start, int top, int bottom_start, int cx,
                                     int cy);

}  // namespace vexa
