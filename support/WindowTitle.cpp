#include "WindowTitle.h"

#include "Win32Handles.h"

#include <cwchar>

namespace {

bool OnAnotherThreadOfThisProcess(HWND window) {
    DWORD process = 0;
    const DWORD thread = GetWindowThreadProcessId(window, &process);
    return thread != 0 && thread != GetCurrentThreadId() && process == GetCurrentProcessId();
}

// A text message that waits at most the timeout, and not at all for a program
// that does not respond.
bool SendBounded(HWND window, UINT message, WPARAM wParam, const wchar_t* text) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(window, message, wParam, reinterpret_cast<LPARAM>(text),
                               SMTO_ABORTIFHUNG, TitleAnswerTimeoutMs, &ignored) != 0;
}

// The same for a window of another thread of this process. The receiver
// works on the sender's own memory there (the system copies the text only
// for other processes), and a message that timed out may still be handled
// after the call has returned: so the text travels in a heap block, left to
// the receiver when it did not answer in time. `units` code units of `text`
// go out; for WM_GETTEXT the answer comes back into `answer`.
bool SendThroughOwnBlock(HWND window, UINT message, WPARAM wParam, const wchar_t* text,
                         std::size_t units, wchar_t* answer = nullptr) {
    HeapBlock shared(GetProcessHeap(), units * sizeof(wchar_t));
    if (!shared) return false;
    wmemcpy(shared.get<wchar_t>(), text, units);
    if (!SendBounded(window, message, wParam, shared.get<wchar_t>())) {
        shared.release();
        return false;
    }
    if (answer) wmemcpy(answer, shared.get<wchar_t>(), units);
    return true;
}

}  // namespace

void ReadWindowTitle(HWND window, wchar_t* out, int count) {
    if (count <= 0) return;
    out[0] = L'\0';
    // GetWindowText reads another program's title without asking it, but
    // sends WM_GETTEXT, unbounded, to a window of another thread of this one.
    if (!OnAnotherThreadOfThisProcess(window)) {
        GetWindowTextW(window, out, count);
        return;
    }
    SendThroughOwnBlock(window, WM_GETTEXT, count, out, count, out);
    out[count - 1] = L'\0';
}

bool SendWindowTitle(HWND window, const wchar_t* title) {
    // Not SetWindowText: it waits for the window's program without limit.
    if (!OnAnotherThreadOfThisProcess(window)) return SendBounded(window, WM_SETTEXT, 0, title);
    return SendThroughOwnBlock(window, WM_SETTEXT, 0, title, wcslen(title) + 1);
}
