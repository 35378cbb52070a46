#include "QueryDialog.h"

#include "Placement.h"
#include "QueryDialogIds.h"

#include <cwchar>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

HINSTANCE ThisModule() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

// Makes the dialog modal to its thread, as the host's own modal dialogs are:
// every other visible, enabled top-level window of the thread is disabled
// while it is open, so nothing in the host (unloading the plugin, say) can be
// used under it. Exactly those are enabled again, before the dialog goes, so
// that the host, not another program, takes the activation back. Hidden
// windows (the thread's input-method window among them) are left alone.
class ThreadWindowsDisabled {
public:
    ThreadWindowsDisabled() {
        EnumThreadWindows(GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(this));
    }
    ThreadWindowsDisabled(const ThreadWindowsDisabled&) = delete;
    ThreadWindowsDisabled& operator=(const ThreadWindowsDisabled&) = delete;
    ~ThreadWindowsDisabled() { Restore(); }

    void Restore() {
        for (; count_ > 0; --count_) {
            HWND window = windows_[count_ - 1];
            if (IsWindow(window)) EnableWindow(window, TRUE);
        }
    }

private:
    static BOOL CALLBACK Collect(HWND window, LPARAM self) {
        auto& disabled = *reinterpret_cast<ThreadWindowsDisabled*>(self);
        if (disabled.count_ == MaxWindows) return FALSE;
        if (IsWindowVisible(window) && IsWindowEnabled(window)) {
            EnableWindow(window, FALSE);
            disabled.windows_[disabled.count_++] = window;
        }
        return TRUE;
    }

    // A host has a handful of top-level windows; a fixed table needs no
    // allocation that could fail.
    static constexpr int MaxWindows = 256;
    HWND windows_[MaxWindows];
    int count_ = 0;
};

struct QueryState {
    const wchar_t* caption;
    const wchar_t* prompt;
    const wchar_t* initialText;
    HWND placeNear;
    ThreadWindowsDisabled* modal;
    wchar_t confirmedText[QueryTextLimit + 1];
};

void SetCaptionFromStringTable(HWND dialog, int control, UINT stringId) {
    wchar_t caption[64];
    if (LoadStringW(ThisModule(), stringId, caption, ARRAYSIZE(caption)) > 0) {
        SetDlgItemTextW(dialog, control, caption);
    }
}

void CentreOnMonitorOf(HWND dialog, HWND placeNear) {
    RECT work;
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    HMONITOR monitor =
        MonitorFromWindow(IsWindow(placeNear) ? placeNear : nullptr, MONITOR_DEFAULTTOPRIMARY);
    if (monitor && GetMonitorInfoW(monitor, &info)) {
        work = info.rcWork;
    } else if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) {
        return;
    }

    RECT box;
    if (!GetWindowRect(dialog, &box)) return;
    const ScreenPoint at = CentredIn({work.left, work.top, work.right, work.bottom},
                                     box.right - box.left, box.bottom - box.top);
    SetWindowPos(dialog, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

QueryState* StateOf(HWND dialog) {
    return reinterpret_cast<QueryState*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

// The host's windows come back before the dialog goes, so that the host takes
// the activation.
void EndQuery(HWND dialog, INT_PTR result) {
    StateOf(dialog)->modal->Restore();
    EndDialog(dialog, result);
}

INT_PTR CALLBACK QueryDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        auto* state = reinterpret_cast<QueryState*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SetWindowTextW(dialog, state->caption);
        SetDlgItemTextW(dialog, IDC_QUERY_PROMPT, state->prompt);
        SetCaptionFromStringTable(dialog, IDOK, IDS_QUERY_OK);
        SetCaptionFromStringTable(dialog, IDCANCEL, IDS_QUERY_CANCEL);

        HWND edit = GetDlgItem(dialog, IDC_QUERY_TEXT);
        SendMessageW(edit, EM_LIMITTEXT, QueryTextLimit, 0);
        SetWindowTextW(edit, state->initialText);
        CentreOnMonitorOf(dialog, state->placeNear);

        // The input is attached to the foreground thread, so the dialog may
        // take the foreground and the keyboard.
        SetForegroundWindow(dialog);
        SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, 0, -1);
        return FALSE;  // focus was set here
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            GetDlgItemTextW(dialog, IDC_QUERY_TEXT, StateOf(dialog)->confirmedText,
                            QueryTextLimit + 1);
            EndQuery(dialog, IDOK);
            return TRUE;
        case IDCANCEL:  // the Cancel button, Esc and the close box all end here
            EndQuery(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

bool InputQuery(const wchar_t* caption, const wchar_t* prompt, wchar_t* text, HWND placeNear) {
    ThreadWindowsDisabled modal;
    QueryState state = {caption, prompt, text, placeNear, &modal, {}};
    const INT_PTR result = DialogBoxParamW(ThisModule(), MAKEINTRESOURCEW(IDD_QUERY), nullptr,
                                           QueryDialogProc, reinterpret_cast<LPARAM>(&state));
    if (result != IDOK) return false;
    wmemcpy(text, state.confirmedText, QueryTextLimit + 1);
    return true;
}
