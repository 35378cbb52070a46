// Where the dialog goes: centred in a work area, kept inside it where it can
// be. A plain function so it tests without Windows (or a second monitor).
#pragma once

struct ScreenRect {
    long left, top, right, bottom;
};

struct ScreenPoint {
    long x, y;
};

// Top-left corner for a box of `width` x `height` centred in `work`. A box
// larger than the work area keeps its top-left corner (and title bar) inside.
ScreenPoint CentredIn(const ScreenRect& work, long width, long height);
