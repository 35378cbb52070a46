// Import hooks that record what the plugin asks of Windows, for the calls
// whose arguments the tests check.
#pragma once

#include "ImportHooks.h"

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

// Records AttachThreadInput, SetWindowTextW (outside the dialog) and
// GetProcAddress calls (passing
// each on), and counts dialogs; while `fakeDialogResult` is set the dialog is
// not shown and DialogBoxParamW returns that value instead.
struct PlatformRecorder {
    explicit PlatformRecorder(HMODULE plugin);
    ~PlatformRecorder();

    std::vector<AttachCall> attachCalls;
    std::vector<std::pair<HWND, std::wstring>> setTitleCalls;
    std::vector<std::string> procLookups;
    std::vector<HMODULE> procLookupModules;
    std::vector<FARPROC> procResults;
    int dialogsRequested = 0;
    bool fakeDialog = false;
    INT_PTR fakeDialogResult = IDCANCEL;

private:
    std::unique_ptr<ImportHook> attach_, setText_, getProc_, dialog_;
};
