// Reading and setting another window's title without letting its program hold
// the calling thread: every wait on that program has a bound.
#pragma once

#include <windows.h>

// The longest the calling thread (the host's) waits for another program to
// answer: a program busy for a moment still answers in time, and the host's
// hotkeys never stall for longer than a blink, well short of the 5 s after
// which Windows itself calls a program hung.
constexpr UINT TitleAnswerTimeoutMs = 2000;

// Reads at most `count` - 1 units of the window's title into `out`, always
// terminated; empty when it has none, is no window or does not answer.
void ReadWindowTitle(HWND window, wchar_t* out, int count);

// Gives the window its new title through a bounded WM_SETTEXT. A program that
// does not respond, or not in time, keeps its old title; false then.
bool SendWindowTitle(HWND window, const wchar_t* title);
