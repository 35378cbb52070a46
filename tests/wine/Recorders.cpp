#include "Recorders.h"

#include "DialogDriver.h"

#include <gtest/gtest.h>

namespace {

PlatformRecorder* current;

int heapAllocCalls;
int failHeapAllocAt;

using AttachFn = BOOL(WINAPI*)(DWORD, DWORD, BOOL);
using SetTextFn = BOOL(WINAPI*)(HWND, LPCWSTR);
using GetProcFn = FARPROC(WINAPI*)(HMODULE, LPCSTR);
using DialogFn = INT_PTR(WINAPI*)(HINSTANCE, LPCWSTR, HWND, DLGPROC, LPARAM);

BOOL WINAPI RecordAttach(DWORD thread, DWORD other, BOOL attach) {
    current->attachCalls.push_back({thread, other, attach});
    return AttachThreadInput(thread, other, attach);
}

bool InsideADialog(HWND window) { return IsDialogWindow(GetAncestor(window, GA_ROOT)); }

BOOL WINAPI RecordSetText(HWND window, LPCWSTR text) {
    // The dialog's own captions go through the same import.
    if (!InsideADialog(window)) current->setTitleCalls.emplace_back(window, text ? text : L"");
    return SetWindowTextW(window, text);
}

LRESULT WINAPI RecordSendTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                 UINT flags, UINT timeout, PDWORD_PTR result) {
    if (message == WM_SETTEXT && !InsideADialog(window)) {
        const auto* text = reinterpret_cast<const wchar_t*>(lParam);
        current->setTitleCalls.emplace_back(window, text ? text : L"");
        current->boundedSends.push_back({window, flags, timeout});
    }
    return SendMessageTimeoutW(window, message, wParam, lParam, flags, timeout, result);
}

FARPROC WINAPI RecordGetProc(HMODULE module, LPCSTR name) {
    current->procLookups.push_back(HIWORD(name) ? name : "#ordinal");
    current->procLookupModules.push_back(module);
    FARPROC result = GetProcAddress(module, name);
    current->procResults.push_back(result);
    return result;
}

INT_PTR WINAPI RecordDialog(HINSTANCE instance, LPCWSTR name, HWND owner, DLGPROC proc,
                            LPARAM param) {
    ++current->dialogsRequested;
    if (current->onDialog) current->onDialog();
    if (current->fakeDialog) return current->fakeDialogResult;
    if (DialogDriver::Running() == 0) {
        ADD_FAILURE() << "the plugin opened a dialog that no test expected";
        return IDCANCEL;
    }
    return DialogBoxParamW(instance, name, owner, proc, param);
}

LPVOID WINAPI MaybeFailingHeapAlloc(HANDLE heap, DWORD flags, SIZE_T size) {
    if (++heapAllocCalls == failHeapAllocAt) return nullptr;
    return HeapAlloc(heap, flags, size);
}

}  // namespace

PlatformRecorder::PlatformRecorder(HMODULE plugin) {
    current = this;
    attach_ = std::make_unique<ImportHook>(plugin, "AttachThreadInput",
                                           reinterpret_cast<void*>(RecordAttach));
    setText_ = std::make_unique<ImportHook>(plugin, "SetWindowTextW",
                                            reinterpret_cast<void*>(RecordSetText));
    sendTimeout_ = std::make_unique<ImportHook>(plugin, "SendMessageTimeoutW",
                                                reinterpret_cast<void*>(RecordSendTimeout));
    getProc_ = std::make_unique<ImportHook>(plugin, "GetProcAddress",
                                            reinterpret_cast<void*>(RecordGetProc));
    dialog_ = std::make_unique<ImportHook>(plugin, "DialogBoxParamW",
                                           reinterpret_cast<void*>(RecordDialog));
}

PlatformRecorder::~PlatformRecorder() { current = nullptr; }

HeapAllocFailure::HeapAllocFailure(HMODULE module, int failAt)
    : hook_(module, "HeapAlloc", reinterpret_cast<void*>(MaybeFailingHeapAlloc)) {
    FailAt(failAt);
}

HeapAllocFailure::~HeapAllocFailure() { failHeapAllocAt = 0; }

void HeapAllocFailure::FailAt(int n) {
    failHeapAllocAt = n;
    heapAllocCalls = 0;
}

int HeapAllocFailure::Calls() const { return heapAllocCalls; }
