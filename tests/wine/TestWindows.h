// Windows a test makes: one on the test's own thread that runs calls queued
// from another thread, and one on a thread of its own, as another program's.
// Nothing here knows the plugin.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// A top-level window on the calling thread whose window procedure runs
// queued callbacks, so another thread can make the host call into the plugin
// from inside the plugin's modal loop.
class HostWindow {
public:
    explicit HostWindow(const wchar_t* title);
    ~HostWindow();
    HWND hwnd() const { return hwnd_; }
    // Runs `call` on the window's thread the next time its messages are pumped.
    void Post(std::function<void()> call) const;
    // Runs `call` on the window's thread and returns once it has run.
    void Send(std::function<void()> call) const;

private:
    HWND hwnd_;
};

std::wstring WindowText(HWND window);

// A window owned by a thread of its own, as another program's window is;
// brought to the foreground on request.
class WindowOnOtherThread {
public:
    explicit WindowOnOtherThread(const wchar_t* title, bool foreground = false);
    ~WindowOnOtherThread();
    WindowOnOtherThread(const WindowOnOtherThread&) = delete;
    WindowOnOtherThread& operator=(const WindowOnOtherThread&) = delete;
    HWND hwnd() const { return hwnd_; }
    DWORD threadId() const { return threadId_; }

    // The window's thread reads no message for `ms`, as a program that is
    // busy, or stops responding once past 5 s; returns once it has stopped.
    void StopReading(DWORD ms) const;
    // Waits until the window's thread reads messages again.
    void WaitAnswering() const;

private:
    static DWORD WINAPI Run(void* self);
    const wchar_t* title_;
    HANDLE ready_, thread_;
    DWORD threadId_ = 0;
    const HostWindow* window_ = nullptr;  // lives on its own thread
    HWND hwnd_ = nullptr;
};

// Waits until Windows counts the window's program as not responding (no
// message read for 5 s), as it would a frozen program.
bool WaitUntilHung(HWND window);

// Brings `window` to the foreground; Wine under load may take a moment.
void BringToForeground(HWND window);

// How many characters of `text` beyond ASCII the control's font would draw as
// a box: the same as a character no font has, or as nothing at all.
size_t CharactersDrawnAsBoxes(HWND control, const std::wstring& text);
