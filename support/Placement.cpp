#include "Placement.h"

ScreenPoint CentredIn(const ScreenRect& work, long width, long height) {
    // Halve the spare room rather than the sum of the edges, which stays
    // exact for work areas left of or above the primary monitor.
    ScreenPoint p = {work.left + (work.right - work.left - width) / 2,
                     work.top + (work.bottom - work.top - height) / 2};
    if (p.x < work.left) p.x = work.left;
    if (p.y < work.top) p.y = work.top;
    return p;
}
