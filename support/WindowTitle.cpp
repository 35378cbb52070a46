#include "WindowTitle.h"

#include "Win32Handles.h"

#include <cwchar>

namespace {

bool OnAnotherThreadOfThisProcess(HWND window) {
    DWORD process = 0;
    const DWORD thread = GetWindowThreadProcessId(window, &process);
    return thread != 0 && thread != GetCurrentThreadId() && process == GetCurrentProcessId();
}

// WM_GETTEXT or WM_SETTEXT with a text of `units` code units, waiting at most
// the timeout; a program that does not respond is not waited for at all.
// Across threads of this process the receiver works on the sender's own
// memory (the system copies the text only for other processes), and a
// message that timed out may still be handled after the call has returned:
// there the text travels in a heap block, left to the receiver when it did
// not answer in time.
bool SendTextBounded(HWND window, UINT message, WPARAM wParam, wchar_t* text, std::size_t units) {
    DWORD_PTR ignored = 0;
    auto send = [&](wchar_t* buffer) {
        return SendMessageTimeoutW(window, message, wParam, reinterpret_cast<LPARAM>(buffer),
                                   SMTO_ABORTIFHUNG, TitleAnswerTimeoutMs, &ignored) != 0;
    };
    if (!OnAnotherThreadOfThisProcess(window)) return send(text);

    HeapBlock shared(GetProcessHeap(), units * sizeof(wchar_t));
    if (!shared) return false;
    wmemcpy(shared.get<wchar_t>(), text, units);
    if (!send(shared.get<wchar_t>())) {
        shared.release();
        return false;
    }
    if (message == WM_GETTEXT) wmemcpy(text, shared.get<wchar_t>(), units);
    return true;
}

}  // namespace

void ReadWindowTitle(HWND window, wchar_t* out, int count) {
    if (count <= 0) return;
    out[0] = L'\0';
    // GetWindowText reads another program's title without asking it, but
    // sends WM_GETTEXT, unbounded, to a window of another thread of this one.
    if (OnAnotherThreadOfThisProcess(window)) {
        if (!SendTextBounded(window, WM_GETTEXT, count, out, count)) out[0] = L'\0';
        out[count - 1] = L'\0';
    } else {
        GetWindowTextW(window, out, count);
    }
}

bool SendWindowTitle(HWND window, const wchar_t* title) {
    // Not SetWindowText: it waits for the window's program without limit.
    // The receiver only reads the text.
    return SendTextBounded(window, WM_SETTEXT, 0, const_cast<wchar_t*>(title), wcslen(title) + 1);
}
