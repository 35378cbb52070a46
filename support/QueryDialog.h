// The modal query dialog: a caption, a prompt, one edit field, OK and Cancel.
#pragma once

#include <windows.h>

// Longest text the field accepts, in UTF-16 code units.
constexpr int QueryTextLimit = 255;

// Shows the dialog centred on the work area of the monitor that holds
// `placeNear` (the primary monitor when that is no window), with `text` in the
// field, selected. Returns true and replaces `text` (QueryTextLimit + 1 units)
// only when the user confirms with OK; false for Cancel, Esc, the close box,
// or a dialog that could not be created. Runs a modal loop on this thread.
bool InputQuery(const wchar_t* caption, const wchar_t* prompt, wchar_t* text, HWND placeNear);
