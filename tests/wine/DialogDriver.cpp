#include "DialogDriver.h"

#include <algorithm>

namespace {

constexpr DWORD TimeoutMs = 10000;
volatile LONG running;

// The drivers watching now; the hook, which has no context of its own, tells
// each of them.
struct Watching {
    Watching() { InitializeCriticalSection(&lock); }
    CRITICAL_SECTION lock;
    std::vector<DialogDriver*> drivers;
};
Watching& Drivers() {
    static Watching watching;
    return watching;
}

std::wstring Text(HWND hwnd) {
    wchar_t text[1024];
    const int length = static_cast<int>(
        SendMessageW(hwnd, WM_GETTEXT, ARRAYSIZE(text), reinterpret_cast<LPARAM>(text)));
    return std::wstring(text, length > 0 ? length : 0);
}

bool Contains(const std::vector<HWND>& list, HWND window) {
    return std::find(list.begin(), list.end(), window) != list.end();
}

}  // namespace

bool IsDialogWindow(HWND window) {
    wchar_t cls[16];
    return window && GetClassNameW(window, cls, 16) && wcscmp(cls, L"#32770") == 0;
}

DialogDriver::DialogDriver(Script script, DWORD dialogThread)
    : script_(std::move(script)), dialogThread_(dialogThread) {
    InitializeCriticalSection(&lock_);
    changed_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    EnterCriticalSection(&Drivers().lock);
    Drivers().drivers.push_back(this);
    LeaveCriticalSection(&Drivers().lock);
    hook_ = SetWindowsHookExW(WH_CALLWNDPROCRET, WatchDialogs, nullptr, dialogThread_);
    if (!hook_) Problem("cannot watch the dialog thread");
    InterlockedIncrement(&running);
    thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
}

DialogDriver::~DialogDriver() {
    Finish();
    DeleteCriticalSection(&lock_);
    CloseHandle(changed_);
}

std::vector<std::string> DialogDriver::Finish() {
    if (thread_) {
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        thread_ = nullptr;
        InterlockedDecrement(&running);
        if (hook_) UnhookWindowsHookEx(hook_);
        hook_ = nullptr;
        Watching& watching = Drivers();
        EnterCriticalSection(&watching.lock);
        watching.drivers.erase(std::remove(watching.drivers.begin(), watching.drivers.end(), this),
                               watching.drivers.end());
        LeaveCriticalSection(&watching.lock);
    }
    return problems_;
}

// Runs on the dialog thread after a window procedure has handled a sent
// message: a dialog that has just become visible (its WM_INITDIALOG done),
// or is gone for good.
LRESULT CALLBACK DialogDriver::WatchDialogs(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        const bool shown =
            call->message == WM_WINDOWPOSCHANGED &&
            (reinterpret_cast<const WINDOWPOS*>(call->lParam)->flags & SWP_SHOWWINDOW);
        if ((shown || call->message == WM_NCDESTROY) && IsDialogWindow(call->hwnd)) {
            Watching& watching = Drivers();
            EnterCriticalSection(&watching.lock);
            for (DialogDriver* driver : watching.drivers) {
                if (driver->dialogThread_ == GetCurrentThreadId()) driver->Saw(call->hwnd, shown);
            }
            LeaveCriticalSection(&watching.lock);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void DialogDriver::Saw(HWND dialog, bool shown) {
    EnterCriticalSection(&lock_);
    if (shown && !Contains(shown_, dialog)) shown_.push_back(dialog);
    if (!shown) destroyed_.push_back(dialog);
    LeaveCriticalSection(&lock_);
    SetEvent(changed_);
}

std::vector<HWND> DialogDriver::OpenDialogs() {
    std::vector<HWND> open;
    EnterCriticalSection(&lock_);
    for (HWND dialog : shown_) {
        if (!Contains(destroyed_, dialog)) open.push_back(dialog);
    }
    LeaveCriticalSection(&lock_);
    return open;
}

bool DialogDriver::WaitUntil(const std::function<bool()>& ready) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (ready()) return true;
        const DWORD waited = GetTickCount() - start;
        if (waited >= TimeoutMs ||
            WaitForSingleObject(changed_, TimeoutMs - waited) == WAIT_TIMEOUT) {
            return ready();
        }
    }
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

long DialogDriver::Running() { return running; }

void DialogDriver::Problem(const std::string& what) { problems_.push_back(what); }

HWND DialogDriver::WaitForDialog(size_t openCount) {
    HWND newest = nullptr;
    const bool found = WaitUntil([&] {
        const std::vector<HWND> open = OpenDialogs();
        if (open.size() < openCount) return false;
        newest = open.back();
        return true;
    });
    if (!found) Problem("no dialog appeared");
    return found ? newest : nullptr;
}

void DialogDriver::WaitClosed(HWND dialog) {
    if (!dialog) return;
    const bool closed = WaitUntil([&] {
        EnterCriticalSection(&lock_);
        const bool gone = Contains(destroyed_, dialog);
        LeaveCriticalSection(&lock_);
        return gone;
    });
    if (!closed) Problem("the dialog did not close");
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
