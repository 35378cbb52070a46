#include "TestWindows.h"

#include <stdexcept>
#include <vector>

namespace {

// The pixels `c` leaves when drawn alone with `font`, black on white.
std::vector<unsigned char> Drawn(HFONT font, wchar_t c) {
    constexpr int size = 48;
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HGDIOBJ oldFont = SelectObject(dc, font);
    RECT all = {0, 0, size, size};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    TextOutW(dc, 4, 4, &c, 1);
    GdiFlush();
    std::vector<unsigned char> pixels(static_cast<unsigned char*>(bits),
                                      static_cast<unsigned char*>(bits) + size * size * 4);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return pixels;
}

constexpr UINT RunQueuedCall = WM_APP + 1;

LRESULT CALLBACK HostWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == RunQueuedCall) {
        auto* call = reinterpret_cast<std::function<void()>*>(lParam);
        (*call)();
        delete call;
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

const wchar_t* HostWindowClass() {
    static const wchar_t* name = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = HostWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"NuperoTestHostWindow";
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        RegisterClassW(&wc);
        return wc.lpszClassName;
    }();
    return name;
}

}  // namespace

HostWindow::HostWindow(const wchar_t* title) {
    hwnd_ = CreateWindowExW(0, HostWindowClass(), title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                            400, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!hwnd_) throw std::runtime_error("cannot create a window");
}

HostWindow::~HostWindow() { DestroyWindow(hwnd_); }

void HostWindow::Post(std::function<void()> call) const {
    PostMessageW(hwnd_, RunQueuedCall, 0,
                 reinterpret_cast<LPARAM>(new std::function<void()>(std::move(call))));
}

void HostWindow::Send(std::function<void()> call) const {
    SendMessageW(hwnd_, RunQueuedCall, 0,
                 reinterpret_cast<LPARAM>(new std::function<void()>(std::move(call))));
}

std::wstring WindowText(HWND window) {
    wchar_t text[1024];
    const int length = GetWindowTextW(window, text, 1024);
    return std::wstring(text, length > 0 ? length : 0);
}

WindowOnOtherThread::WindowOnOtherThread(const wchar_t* title, bool foreground) : title_(title) {
    ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, Run, this, 0, &threadId_);
    WaitForSingleObject(ready_, INFINITE);
    if (foreground) BringToForeground(hwnd_);
}

WindowOnOtherThread::~WindowOnOtherThread() {
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    CloseHandle(ready_);
}

DWORD WINAPI WindowOnOtherThread::Run(void* p) {
    auto* self = static_cast<WindowOnOtherThread*>(p);
    HostWindow window(self->title_);
    self->window_ = &window;
    self->hwnd_ = window.hwnd();
    SetEvent(self->ready_);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}

void WindowOnOtherThread::StopReading(DWORD ms) const {
    HANDLE stopped = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    window_->Post([ms, stopped] {
        SetEvent(stopped);
        Sleep(ms);
    });
    // Left waiting meanwhile: newer Wine counts a thread as hung only while a
    // message waits for it, as Windows does for a frozen program.
    PostMessageW(hwnd_, WM_NULL, 0, 0);
    WaitForSingleObject(stopped, INFINITE);
    CloseHandle(stopped);
}

void WindowOnOtherThread::WaitAnswering() const { SendMessageW(hwnd_, WM_NULL, 0, 0); }

bool WaitUntilHung(HWND window) {
    for (int i = 0; i < 100 && !IsHungAppWindow(window); ++i) Sleep(100);
    return IsHungAppWindow(window) != FALSE;
}

void BringToForeground(HWND window) {
    for (int i = 0; i < 200 && GetForegroundWindow() != window; ++i) {
        SetForegroundWindow(window);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(10);
    }
}

size_t CharactersDrawnAsBoxes(HWND control, const std::wstring& text) {
    const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    const std::vector<unsigned char> notdef = Drawn(font, L'\xFFFF');
    const std::vector<unsigned char> blank = Drawn(font, L' ');
    size_t boxes = 0;
    for (wchar_t c : text) {
        if (c < 0x80) continue;
        const std::vector<unsigned char> glyph = Drawn(font, c);
        if (glyph == notdef || glyph == blank) ++boxes;
    }
    return boxes;
}
