// Import hooks that record what the plugin asks of Windows, for the calls
// whose arguments the tests check.
#pragma once

#include "ImportHooks.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct AttachCall {
    DWORD thread, otherThread;
    BOOL attach;
    bool operator==(const AttachCall& o) const {
        return thread == o.thread && otherThread == o.otherThread && attach == o.attach;
    }
};

// A WM_SETTEXT that the plugin sent with a bound on the wait.
struct BoundedSend {
    HWND window;
    UINT flags;
    UINT timeoutMs;
};

// Records AttachThreadInput, titles set outside the dialog (by
// SetWindowTextW or a WM_SETTEXT through SendMessageTimeoutW) and
// GetProcAddress calls (passing each on), and counts dialogs; `onDialog` runs
// as a dialog is asked for. While `fakeDialog` is set the dialog is not shown
// and DialogBoxParamW returns `fakeDialogResult` instead.
struct PlatformRecorder {
    explicit PlatformRecorder(HMODULE plugin);
    ~PlatformRecorder();

    std::vector<AttachCall> attachCalls;
    std::vector<std::pair<HWND, std::wstring>> setTitleCalls;
    std::vector<BoundedSend> boundedSends;
    std::function<void()> onDialog;
    std::vector<std::string> procLookups;
    std::vector<HMODULE> procLookupModules;
    std::vector<FARPROC> procResults;
    int dialogsRequested = 0;
    bool fakeDialog = false;
    INT_PTR fakeDialogResult = IDCANCEL;

private:
    std::unique_ptr<ImportHook> attach_, setText_, sendTimeout_, getProc_, dialog_;
};

// Fails the `failAt`-th HeapAlloc that `module` makes (counting from 1; 0
// fails none) while the object lives, passing the others on.
class HeapAllocFailure {
public:
    HeapAllocFailure(HMODULE module, int failAt);
    ~HeapAllocFailure();
    HeapAllocFailure(const HeapAllocFailure&) = delete;
    HeapAllocFailure& operator=(const HeapAllocFailure&) = delete;
    void FailAt(int n);  // and counts afresh
    int Calls() const;   // HeapAlloc calls since the count began

private:
    ImportHook hook_;
};
