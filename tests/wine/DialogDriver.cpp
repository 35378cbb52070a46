#include "DialogDriver.h"

#include <algorithm>

namespace {

constexpr DWORD TimeoutMs = 10000;
volatile LONG running;

bool IsDialog(HWND hwnd) {
    wchar_t cls[16];
    return GetClassNameW(hwnd, cls, 16) && wcscmp(cls, L"#32770") == 0 && IsWindowVisible(hwnd);
}

std::wstring Text(HWND hwnd) {
    wchar_t text[1024];
    const int length = static_cast<int>(
        SendMessageW(hwnd, WM_GETTEXT, ARRAYSIZE(text), reinterpret_cast<LPARAM>(text)));
    return std::wstring(text, length > 0 ? length : 0);
}

}  // namespace

DialogDriver::DialogDriver(Script script, DWORD dialogThread)
    : script_(std::move(script)), dialogThread_(dialogThread) {
    InterlockedIncrement(&running);
    thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
}

DialogDriver::~DialogDriver() { Finish(); }

std::vector<std::string> DialogDriver::Finish() {
    if (thread_) {
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        thread_ = nullptr;
        InterlockedDecrement(&running);
    }
    return problems_;
}

DWORD WINAPI DialogDriver::Run(void* self) {
    auto& driver = *static_cast<DialogDriver*>(self);
    driver.script_(driver);
    // Never leave the test thread stuck in a modal loop.
    for (HWND dialog : driver.OpenDialogs()) {
        driver.Problem("a dialog was left open");
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }
    return 0;
}

static BOOL CALLBACK CollectDialog(HWND hwnd, LPARAM list) {
    if (IsDialog(hwnd)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}

std::vector<HWND> DialogDriver::OpenDialogs() const {
    std::vector<HWND> open;
    EnumThreadWindows(dialogThread_, CollectDialog, reinterpret_cast<LPARAM>(&open));
    return open;
}

long DialogDriver::Running() { return running; }

void DialogDriver::Problem(const std::string& what) { problems_.push_back(what); }

HWND DialogDriver::WaitForDialog(size_t openCount) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < TimeoutMs) {
        const std::vector<HWND> open = OpenDialogs();
        for (HWND dialog : open) {
            if (std::find(seen_.begin(), seen_.end(), dialog) == seen_.end()) seen_.push_back(dialog);
        }
        if (open.size() >= openCount) {
            // The newest one still open.
            for (auto it = seen_.rbegin(); it != seen_.rend(); ++it) {
                if (std::find(open.begin(), open.end(), *it) != open.end()) return *it;
            }
        }
        Sleep(10);
    }
    Problem("no dialog appeared");
    return nullptr;
}

void DialogDriver::WaitClosed(HWND dialog) {
    const DWORD start = GetTickCount();
    while (IsWindow(dialog)) {
        if (GetTickCount() - start > TimeoutMs) return Problem("the dialog did not close");
        Sleep(10);
    }
}

DialogView DialogDriver::View(HWND dialog) {
    DialogView view;
    if (!dialog) return view;
    HWND prompt = nullptr, field = nullptr;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[32];
        GetClassNameW(child, cls, 32);
        if (!_wcsicmp(cls, L"Static")) prompt = child;
        if (!_wcsicmp(cls, L"Edit")) field = child;
    }
    view.caption = Text(dialog);
    if (prompt) view.prompt = Text(prompt);
    if (field) {
        view.text = Text(field);
        SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&view.selectionStart),
                     reinterpret_cast<LPARAM>(&view.selectionEnd));
    }
    view.okText = Text(GetDlgItem(dialog, IDOK));
    view.cancelText = Text(GetDlgItem(dialog, IDCANCEL));
    const LRESULT defId = SendMessageW(dialog, DM_GETDEFID, 0, 0);
    view.okIsDefault = HIWORD(defId) == DC_HASDEFID && LOWORD(defId) == IDOK;
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    view.fieldHasFocus = field && GetGUIThreadInfo(dialogThread_, &gui) && gui.hwndFocus == field;
    view.promptUnderlinesT = view.prompt.find(L"(&T)") != std::wstring::npos &&
                             !(GetWindowLongW(prompt, GWL_STYLE) & SS_NOPREFIX);
    GetWindowRect(dialog, &view.frame);
    return view;
}

void DialogDriver::Type(HWND dialog, const std::wstring& text) {
    HWND field = GetWindow(dialog, GW_CHILD);
    while (field) {
        wchar_t cls[16];
        GetClassNameW(field, cls, 16);
        if (!_wcsicmp(cls, L"Edit")) break;
        field = GetWindow(field, GW_HWNDNEXT);
    }
    // Sent, not posted: each key is in the field before the next step.
    for (wchar_t c : text) SendMessageW(field, WM_CHAR, c, 1);
}

void DialogDriver::Press(HWND dialog, UINT virtualKey) {
    // Posted to the focused control, as the keyboard would; the dialog's
    // modal loop routes Enter and Esc to its buttons.
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    HWND target = GetGUIThreadInfo(dialogThread_, &gui) && gui.hwndFocus ? gui.hwndFocus : dialog;
    PostMessageW(target, WM_KEYDOWN, virtualKey, 1);
    PostMessageW(target, WM_KEYUP, virtualKey, 0xC0000001);
}

void DialogDriver::Click(HWND dialog, int buttonId) {
    PostMessageW(GetDlgItem(dialog, buttonId), BM_CLICK, 0, 0);
}

void DialogDriver::CloseBox(HWND dialog) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }
