// Drives the plugin's modal dialogs from a second thread, as a person at the
// keyboard would, while the test thread sits inside the plugin's modal loop.
// The dialogs are seen as they come and go through a window-procedure hook
// on the dialog thread (WH_CALLWNDPROCRET), which wakes the script: nothing
// polls or sleeps.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// True for a dialog box window (class #32770): the one test of what a dialog is.
bool IsDialogWindow(HWND window);

// What a person sees of one open dialog.
struct DialogView {
    std::wstring caption, prompt, text, okText, cancelText;
    DWORD selectionStart = 0, selectionEnd = 0;
    bool fieldHasFocus = false;
    bool okIsDefault = false;
    bool promptUnderlinesT = false;  // "&T" in the label text
    RECT frame = {};
};

class DialogDriver {
public:
    using Script = std::function<void(DialogDriver&)>;

    // Starts the script on its own thread; it watches the dialogs of
    // `dialogThread` (normally the calling thread).
    explicit DialogDriver(Script script, DWORD dialogThread = GetCurrentThreadId());
    // Waits for the script; cancels any dialog it left open.
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // Waits for the script to end and stops watching; the problems it met,
    // empty when none.
    std::vector<std::string> Finish();

    // For scripts. A wait that times out records a problem and returns null.
    HWND WaitForDialog(size_t openCount = 1);  // the newest of `openCount` open dialogs
    void WaitClosed(HWND dialog);
    DialogView View(HWND dialog);
    void Type(HWND dialog, const std::wstring& text);  // keystrokes into the field
    void Press(HWND dialog, UINT virtualKey);          // e.g. VK_RETURN, VK_ESCAPE
    void Click(HWND dialog, int buttonId);
    void CloseBox(HWND dialog);
    void Problem(const std::string& what);

    // How many drivers are running: a dialog with none to answer it would
    // hang the test program.
    static long Running();

private:
    static DWORD WINAPI Run(void* self);
    static LRESULT CALLBACK WatchDialogs(int code, WPARAM wParam, LPARAM lParam);
    void Saw(HWND dialog, bool shown);
    std::vector<HWND> OpenDialogs();
    // Waits until `ready` holds, waking at each dialog shown or destroyed.
    bool WaitUntil(const std::function<bool()>& ready);

    Script script_;
    DWORD dialogThread_;
    HHOOK hook_ = nullptr;
    HANDLE changed_ = nullptr;  // set by the hook, after it has recorded the change
    HANDLE thread_ = nullptr;
    CRITICAL_SECTION lock_;    // guards shown_ and destroyed_
    std::vector<HWND> shown_;  // in the order they appeared
    std::vector<HWND> destroyed_;
    std::vector<std::string> problems_;
};
