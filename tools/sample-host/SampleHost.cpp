// A small host for NuperoForTTB.dll: it loads the plugin as the resident tool
// host does, offers its two commands in a menu, shows the switch's check mark
// and relays middle-button clicks on its own title bar.
//
//   sample-host.exe [--plugin PATH]            a window for a person to use
//   sample-host.exe --script [--plugin PATH]   an unattended session, printed
//   ... --script --screenshot DIR              also saves host.bmp and dialog.bmp
#include "../../plugin/HostAbi.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <type_traits>
#include <vector>

namespace {

constexpr DWORD PluginId = 0x1001;
constexpr UINT CommandMenuBase = 100;  // menu item = base + command identifier
constexpr UINT StatusId = 200;

struct Plugin : PluginExports {
    HMODULE module = nullptr;
};

// What the plugin told about itself, kept for the menu.
struct CommandEntry {
    std::wstring caption;
    int id;
};
std::vector<CommandEntry> commands;

Plugin plugin;
HWND mainWindow;
HWND statusLine;
HMENU menuBar;
HMENU commandMenu;
UINT hmouseAction;
bool scripted;
std::string screenshotDir;  // empty: no pictures

std::string Utf8(const std::wstring& text) {
    std::string out(text.size() * 4 + 1, '\0');
    out.resize(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0],
                                   static_cast<int>(out.size()), nullptr, nullptr) -
               1);
    return out;
}

std::wstring FromCp932(const char* text) {
    wchar_t out[256];
    MultiByteToWideChar(932, 0, text, -1, out, 256);
    return out;
}

// Every step goes to stdout and to the window's status line.
void Say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    if (statusLine) {
        wchar_t text[512];
        MultiByteToWideChar(CP_UTF8, 0, line.c_str(), -1, text, 512);
        SetWindowTextW(statusLine, text);
    }
}

std::string Hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
    return text;
}

std::wstring TitleOf(HWND window) {
    wchar_t text[512];
    const int length = GetWindowTextW(window, text, 512);
    return std::wstring(text, length > 0 ? length : 0);
}

// Saves what the screen shows of `window` as a 24-bit BMP file.
bool SavePicture(HWND window, const std::string& path) {
    RECT r;
    if (!GetWindowRect(window, &r)) return false;
    const int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    const DWORD stride = (width * 3 + 3) & ~3u;
    std::string pixels(stride * height, '\0');
    GetDIBits(memory, bitmap, 0, height, &pixels[0], reinterpret_cast<BITMAPINFO*>(&header),
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&header, sizeof header, 1, out);
    std::fwrite(pixels.data(), 1, pixels.size(), out);
    std::fclose(out);
    return true;
}

void Picture(HWND window, const char* name) {
    if (screenshotDir.empty()) return;
    Sleep(500);  // let the window finish painting
    const std::string path = screenshotDir + "\\" + name;
    Say(std::string("  screenshot: ") + (SavePicture(window, path) ? path : "FAILED " + path));
}

}  // namespace

// The host's services, exported under their plain names (sample-host.def).
extern "C" std::int32_t __stdcall TTBPlugin_SetMenuProperty(std::uint32_t pluginId,
                                                            std::int32_t commandId,
                                                            std::uint32_t mask,
                                                            std::uint32_t flags) {
    const bool checked = (flags & CheckedFlag) != 0;
    if (commandMenu && (mask & CheckMarkMask)) {
        CheckMenuItem(commandMenu, CommandMenuBase + commandId,
                      MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
    }
    Say("  host: TTBPlugin_SetMenuProperty(" + Hex(pluginId) + ", " + std::to_string(commandId) +
        ", " + std::to_string(mask) + ", " + std::to_string(flags) + ") -> command " +
        std::to_string(commandId) + (checked ? " checked" : " unchecked"));
    return TRUE;
}

static_assert(std::is_same_v<decltype(&TTBPlugin_SetMenuProperty), TTBPlugin_SetMenuPropertyFn>,
              "the service as the plugin calls it");

#define UNUSED_SERVICE(name) \
    extern "C" void WINAPI name() { Say("  host: unexpected call to " #name); }
UNUSED_SERVICE(TTBPlugin_GetAllPluginInfo)
UNUSED_SERVICE(TTBPlugin_FreePluginInfoArray)
UNUSED_SERVICE(TTBPlugin_GetPluginInfo)
UNUSED_SERVICE(TTBPlugin_SetPluginInfo)
UNUSED_SERVICE(TTBPlugin_FreePluginInfo)
UNUSED_SERVICE(TTBPlugin_SetTaskTrayIcon)
UNUSED_SERVICE(TTBPlugin_WriteLog)
UNUSED_SERVICE(TTBPlugin_ExecuteCommand)

namespace {

bool LoadPlugin(const std::string& path) {
    plugin.module = LoadLibraryA(path.c_str());
    if (!plugin.module) {
        Say("load: cannot load " + path + " (error " + std::to_string(GetLastError()) + ")");
        return false;
    }
    Say("load: " + path);
    return FindPluginExports(
        plugin, [](const char* name) { return GetProcAddress(plugin.module, name); },
        [](const char* name) { Say(std::string("the plugin does not export ") + name); });
}

// Asks the plugin what it is, prints it and hands the record back.
bool ReadPluginInfo(const std::string& path) {
    PluginInfo* info = plugin.InitPluginInfo(path.c_str());
    if (!info) {
        Say("TTBEvent_InitPluginInfo -> null");
        return false;
    }
    char version[32];
    std::snprintf(version, sizeof version, "%lu.%lu.%lu.%lu",
                  static_cast<unsigned long>(HIWORD(info->VersionMS)),
                  static_cast<unsigned long>(LOWORD(info->VersionMS)),
                  static_cast<unsigned long>(HIWORD(info->VersionLS)),
                  static_cast<unsigned long>(LOWORD(info->VersionLS)));
    Say("TTBEvent_InitPluginInfo: name \"" + std::string(info->Name) + "\", file \"" +
        info->FileName + "\", version " + version + ", " + std::to_string(info->CommandCount) +
        " commands");
    for (int i = 0; i < info->CommandCount; ++i) {
        const PluginCommandInfo& c = info->Commands[i];
        const std::wstring caption = FromCp932(c.Caption);
        Say("  command " + std::to_string(c.CommandId) + ": " + c.Name + " \"" + Utf8(caption) +
            "\"");
        commands.push_back({caption, c.CommandId});
    }
    plugin.FreePluginInfo(info);
    Say("TTBEvent_FreePluginInfo: record handed back");
    return true;
}

HostBool Execute(int command) {
    const HostBool result = plugin.Execute(command, 0);
    Say("TTBEvent_Execute(" + std::to_string(command) + ") -> " + Hex(result));
    return result;
}

LRESULT CALLBACK HostWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONDBLCLK:
        // What the host relays: the mouse message and the window under it.
        Say(std::string("relay: ") +
            (message == WM_NCMBUTTONDOWN ? "WM_NCMBUTTONDOWN" : "WM_NCMBUTTONDBLCLK") +
            " on the title bar -> TTBEvent_WindowsHook");
        plugin.WindowsHook(hmouseAction, message, reinterpret_cast<DWORD>(hwnd));
        Say("relay: returned; title is now \"" + Utf8(TitleOf(hwnd)) + "\"");
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) >= CommandMenuBase && LOWORD(wParam) < CommandMenuBase + 100) {
            Execute(LOWORD(wParam) - CommandMenuBase);
            return 0;
        }
        break;
    case WM_ENABLE:
        // Disabled while the plugin's dialog is open: shown greyed out.
        EnableWindow(statusLine, static_cast<BOOL>(wParam));
        EnableMenuItem(menuBar, 0, MF_BYPOSITION | (wParam ? MF_ENABLED : MF_GRAYED));
        DrawMenuBar(hwnd);
        return 0;
    case WM_SIZE:
        if (statusLine) MoveWindow(statusLine, 0, HIWORD(lParam) - 24, LOWORD(lParam), 24, TRUE);
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void CreateHostWindow() {
    WNDCLASSW wc = {};
    wc.style = CS_DBLCLKS;  // without it Windows sends no WM_NCMBUTTONDBLCLK
    wc.lpfnWndProc = HostWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"NuperoSampleHost";
    RegisterClassW(&wc);

    HMENU bar = menuBar = CreateMenu();
    commandMenu = CreatePopupMenu();
    for (const CommandEntry& c : commands) {
        AppendMenuW(commandMenu, MF_STRING, CommandMenuBase + c.id, c.caption.c_str());
    }
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(commandMenu), L"&Plugin");

    mainWindow = CreateWindowExW(0, wc.lpszClassName, L"Sample host window",
                                 WS_OVERLAPPEDWINDOW | WS_VISIBLE, 80, 80, 560, 200, nullptr, bar,
                                 wc.hInstance, nullptr);
    statusLine =
        CreateWindowExW(WS_EX_STATICEDGE, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 0, 0,
                        0, mainWindow, reinterpret_cast<HMENU>(StatusId), wc.hInstance, nullptr);
    RECT client;
    GetClientRect(mainWindow, &client);
    SendMessageW(mainWindow, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
    SetForegroundWindow(mainWindow);
}

// The scripted session's "person": waits for the plugin's dialog on the host
// thread, reports what it shows, types a new title and presses Enter.
struct TypedAnswer {
    std::wstring text;
    DWORD hostThread;
    DWORD enterPressedAt = 0;  // GetTickCount()
};

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM found) {
    wchar_t cls[16];
    if (IsWindowVisible(hwnd) && GetClassNameW(hwnd, cls, 16) && !wcscmp(cls, L"#32770")) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

DWORD WINAPI TypeIntoDialog(void* param) {
    auto* answer = static_cast<TypedAnswer*>(param);
    HWND dialog = nullptr;
    for (int i = 0; i < 1000 && !dialog; ++i) {
        EnumThreadWindows(answer->hostThread, FindDialog, reinterpret_cast<LPARAM>(&dialog));
        if (!dialog) Sleep(10);
    }
    if (!dialog) {
        Say("  person: no dialog appeared");
        return 1;
    }
    HWND field = FindWindowExW(dialog, nullptr, L"Edit", nullptr);
    HWND prompt = FindWindowExW(dialog, nullptr, L"Static", nullptr);
    Say("  dialog: \"" + Utf8(TitleOf(dialog)) + "\", prompt \"" + Utf8(TitleOf(prompt)) +
        "\", field \"" + Utf8(TitleOf(field)) + "\", buttons \"" +
        Utf8(TitleOf(GetDlgItem(dialog, IDOK))) + "\" / \"" +
        Utf8(TitleOf(GetDlgItem(dialog, IDCANCEL))) + "\"");
    static bool pictured;
    if (!pictured) Picture(dialog, "dialog.bmp");
    pictured = true;
    Say("  person: types \"" + Utf8(answer->text) + "\" and presses Enter");
    Say(std::string("  host window: ") + (IsWindowEnabled(mainWindow) ? "enabled" : "greyed out") +
        " while the dialog is open");
    for (wchar_t c : answer->text) SendMessageW(field, WM_CHAR, c, 1);
    answer->enterPressedAt = GetTickCount();
    PostMessageW(field, WM_KEYDOWN, VK_RETURN, 1);
    return 0;
}

// Runs `action` (which opens the dialog) while a second thread answers it;
// returns how long the host waited after Enter, in milliseconds.
DWORD AnswerDialog(const std::wstring& newTitle, void (*action)()) {
    TypedAnswer answer = {newTitle, GetCurrentThreadId()};
    HANDLE person = CreateThread(nullptr, 0, TypeIntoDialog, &answer, 0, nullptr);
    action();
    const DWORD returned = GetTickCount();
    WaitForSingleObject(person, INFINITE);
    CloseHandle(person);
    return answer.enterPressedAt ? returned - answer.enterPressedAt : 0;
}

// Another program's window whose thread stops reading its messages.
HWND frozenWindow;
DWORD frozenThreadId;

LRESULT CALLBACK FrozenWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
        Sleep(static_cast<DWORD>(wParam));  // reads nothing meanwhile
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

DWORD WINAPI RunFrozenProgram(void* ready) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = FrozenWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"NuperoSampleFrozen";
    RegisterClassW(&wc);
    frozenWindow = CreateWindowExW(0, wc.lpszClassName, L"A program that stops responding",
                                   WS_OVERLAPPEDWINDOW | WS_VISIBLE, 120, 320, 420, 120, nullptr,
                                   nullptr, wc.hInstance, nullptr);
    SetEvent(ready);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    DestroyWindow(frozenWindow);
    return 0;
}

int RunScript() {
    CreateHostWindow();
    bool ok = true;
    Say("window: \"" + Utf8(TitleOf(mainWindow)) + "\"");
    if (!screenshotDir.empty()) {
        // Pump so the window paints before its picture is taken.
        MSG msg;
        for (int i = 0; i < 20; ++i) {
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            Sleep(25);
        }
        Picture(mainWindow, "host.bmp");
    }

    Say("toggle: command 0 switches the feature off");
    ok &= Execute(0) == HostTrue;
    Say("command 1 while off:");
    ok &= Execute(1) == 0;
    Say("toggle: command 0 switches it on again");
    ok &= Execute(0) == HostTrue;

    const std::wstring first = L"Renamed by command 1 \u2014 \u30C6\u30B9\u30C8";
    Say("command 1: opens the dialog for the foreground window");
    AnswerDialog(first, [] { Execute(1); });
    const std::wstring afterCommand = TitleOf(mainWindow);
    Say("read back: \"" + Utf8(afterCommand) + "\"");
    ok &= afterCommand == first;

    const std::wstring second = L"Renamed by a middle click";
    Say("middle click on the title bar:");
    AnswerDialog(second, [] { SendMessageW(mainWindow, WM_NCMBUTTONDOWN, HTCAPTION, 0); });
    const std::wstring afterClick = TitleOf(mainWindow);
    Say("read back: \"" + Utf8(afterClick) + "\"");
    ok &= afterClick == second;

    Say("a program that stops responding: its thread reads no message for 8 s");
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE frozenThread = CreateThread(nullptr, 0, RunFrozenProgram, ready, 0, &frozenThreadId);
    WaitForSingleObject(ready, INFINITE);
    CloseHandle(ready);
    const std::wstring frozenTitle = TitleOf(frozenWindow);
    PostMessageW(frozenWindow, WM_APP, 8000, 0);
    PostMessageW(frozenWindow, WM_NULL, 0, 0);  // left waiting, as for a frozen program
    for (int i = 0; i < 70 && !IsHungAppWindow(frozenWindow); ++i) Sleep(100);
    Say(std::string("  Windows counts it as ") +
        (IsHungAppWindow(frozenWindow) ? "not responding" : "still responding"));
    Say("middle click on its title bar:");
    const DWORD waited = AnswerDialog(L"Never arrives", [] {
        Say("relay: WM_NCMBUTTONDOWN on the frozen window -> TTBEvent_WindowsHook");
        plugin.WindowsHook(hmouseAction, WM_NCMBUTTONDOWN, reinterpret_cast<DWORD>(frozenWindow));
    });
    Say("relay: returned; the host waited " + std::to_string(waited) + " ms after Enter");
    ok &= waited < 3000;
    SendMessageW(frozenWindow, WM_NULL, 0, 0);  // until it reads messages again
    const std::wstring afterFrozen = TitleOf(frozenWindow);
    Say("read back once it responds again: \"" + Utf8(afterFrozen) + "\" (kept)");
    ok &= afterFrozen == frozenTitle;
    PostThreadMessageW(frozenThreadId, WM_QUIT, 0, 0);
    WaitForSingleObject(frozenThread, INFINITE);
    CloseHandle(frozenThread);

    Say(ok ? "session: every step gave what was expected" : "session: FAILED");
    return ok ? 0 : 1;
}

int RunInteractive() {
    CreateHostWindow();
    Say("Middle-click this window's title bar, or use the Plugin menu.");
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string path;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--script")
            scripted = true;
        else if (arg == "--plugin" && i + 1 < argc)
            path = argv[++i];
        else if (arg == "--screenshot" && i + 1 < argc)
            screenshotDir = argv[++i];
    }
    if (path.empty()) {
        char self[MAX_PATH];
        std::string dir(self, GetModuleFileNameA(nullptr, self, MAX_PATH));
        path = dir.substr(0, dir.find_last_of('\\') + 1) + "NuperoForTTB.dll";
    }

    hmouseAction =
        RegisterWindowMessageA(HostMessageNames[static_cast<int>(HostMessage::HMouseAction)]);
    if (!LoadPlugin(path) || !ReadPluginInfo(path)) return 2;
    const HostBool initResult = plugin.Init(path.c_str(), PluginId);
    Say("TTBEvent_Init(\"" + path + "\", " + Hex(PluginId) + ") -> " + Hex(initResult));

    const int status = scripted ? RunScript() : RunInteractive();

    plugin.Unload();
    Say("TTBEvent_Unload()");
    FreeLibrary(plugin.module);
    Say("unload: done");
    return status;
}
