#include "skin/lum_slice.h"

#include <algorithm>

namespace vexa {

std::vector<LumSpan> SliceAxis(int cell, int lead, int tail_start, int target) {
    std::vector<LumSpan> spans;
    if (target <= 0 || cell <= 0)
        return spans;
    // Slice positions outside the cell would read outside it; keep them inside.
    lead = std::clamp(lead, 0, cell);
    tail_start = std::clamp(tail_start, lead, cell);
    const int tail = cell - tail_start;
    const int middle = target - lead - tail;
    auto add = [&spans](int dst, int dst_len, int src, int src_len) {
        if (dst_len > 0 && src_len > 0)
            spans.push_back(LumSpan{dst, dst_len, src, src_len});
    };
    if (middle >= 0) {
        add(0, lead, 0, lead);
        add(lead, middle, lead, tail_start - lead);
        add(lead + middle, tail, tail_start, tail);
    } else {
        const int shrunk_lead = static_cast<int>(static_cast<long long>(target) * lead / (lead + tail));
        add(0, shrunk_lead, 0, lead);
        add(shrunk_lead, target - shrunk_lead, tail_start, tail);
    }
    return spans;
}

std::vector<LumSlicePiece> SliceCell(int w, int h, int left, int right_start, int top, int bottom_start, int cx,
                                     int cy) {
    std::vector<LumSlicePiece> pieces;
    const std::vector<LumSpan> columns = SliceAxis(w, left, right_start, cx);
    const std::vector<LumSpan> rows = SliceAxis(h, top, bottom_start, cy);
    for (const LumSpan& row : rows) {
        for (const LumSpan& column : columns) {
            pieces.push_back(LumSlicePiece{column.dst, row.dst, column.dst_len, row.dst_len, column.src, row.src,
                                           column.src_len, row.src_len});
        }
    }
    return pieces;
}

}  // namespace vexa
