// The plugin's Windows pieces that need no 32-bit host ABI, under 64-bit Wine:
// titles read and set without letting another thread hold the caller, and
// the query dialog, modal to its thread, driven as a person would.
#include "../wine/DialogDriver.h"
#include "../wine/TestWindows.h"
#include "QueryDialog.h"
#include "WindowTitle.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::wstring ReadTitle(HWND window) {
    wchar_t title[QueryTextLimit] = {};
    ReadWindowTitle(window, title, QueryTextLimit);
    return title;
}

TEST(BoundedTitle, AThreadThatStoppedRespondingIsNotWaitedFor) {
    WindowOnOtherThread frozen(L"Frozen");
    frozen.StopReading(9000);
    ASSERT_TRUE(WaitUntilHung(frozen.hwnd()));

    DWORD start = GetTickCount();
    EXPECT_EQ(ReadTitle(frozen.hwnd()), L"");
    EXPECT_LE(GetTickCount() - start, 3000u) << "reading waited";
    start = GetTickCount();
    EXPECT_FALSE(SendWindowTitle(frozen.hwnd(), L"Never set"));
    EXPECT_LE(GetTickCount() - start, 3000u) << "setting waited";

    frozen.WaitAnswering();
    EXPECT_EQ(WindowText(frozen.hwnd()), L"Frozen");
}

TEST(BoundedTitle, ABusyThreadIsWaitedForAtMostTheTimeout) {
    struct Case {
        DWORD busyMs;
        bool set;
    } const cases[] = {{1000, true}, {3500, false}};
    for (const Case& c : cases) {
        WindowOnOtherThread busy(L"Busy");
        EXPECT_EQ(ReadTitle(busy.hwnd()), L"Busy");
        busy.StopReading(c.busyMs);
        const DWORD start = GetTickCount();
        EXPECT_EQ(SendWindowTitle(busy.hwnd(), L"Arrived"), c.set) << c.busyMs;
        const DWORD waited = GetTickCount() - start;
        EXPECT_GE(waited, 500u) << c.busyMs;
        EXPECT_LE(waited, TitleAnswerTimeoutMs + 500) << c.busyMs;
        busy.WaitAnswering();
        EXPECT_EQ(WindowText(busy.hwnd()), c.set ? L"Arrived" : L"Busy") << c.busyMs;
    }
}

TEST(BoundedTitle, ThisThreadsWindowAtOnceAndNoWindowNotAtAll) {
    HostWindow own(L"Own");
    EXPECT_TRUE(SendWindowTitle(own.hwnd(), L"Own set"));
    EXPECT_EQ(ReadTitle(own.hwnd()), L"Own set");
    const HWND none = reinterpret_cast<HWND>(0x0BADF00D);
    EXPECT_EQ(ReadTitle(none), L"");
    EXPECT_FALSE(SendWindowTitle(none, L"x"));
}

enum class Ending { Ok, Enter, CancelButton, Escape, CloseBox };

class QueryDialogTest : public ::testing::TestWithParam<Ending> {};

TEST_P(QueryDialogTest, EndsAsAskedAndIsModalToItsThread) {
    HostWindow host(L"Host");
    HostWindow disabledBefore(L"Disabled before");
    EnableWindow(disabledBefore.hwnd(), FALSE);
    bool hostEnabledDuring = true;
    DialogView view;
    DialogDriver driver([&](DialogDriver& d) {
        HWND dialog = d.WaitForDialog();
        hostEnabledDuring = IsWindowEnabled(host.hwnd()) != FALSE;
        view = d.View(dialog);
        d.Type(dialog, L"Typed");
        switch (GetParam()) {
        case Ending::Ok: d.Click(dialog, IDOK); break;
        case Ending::Enter: d.Press(dialog, VK_RETURN); break;
        case Ending::CancelButton: d.Click(dialog, IDCANCEL); break;
        case Ending::Escape: d.Press(dialog, VK_ESCAPE); break;
        case Ending::CloseBox: d.CloseBox(dialog); break;
        }
        d.WaitClosed(dialog);
    });
    wchar_t text[QueryTextLimit + 1] = L"Initial";
    const bool confirmed = InputQuery(L"Caption", L"Prompt (&T)", text, nullptr);
    EXPECT_EQ(driver.Finish(), std::vector<std::string>{});

    const bool ok = GetParam() == Ending::Ok || GetParam() == Ending::Enter;
    EXPECT_EQ(confirmed, ok);
    EXPECT_EQ(std::wstring(text), ok ? L"Typed" : L"Initial");
    EXPECT_EQ(view.caption, L"Caption");
    EXPECT_EQ(view.text, L"Initial");
    EXPECT_EQ(view.selectionEnd, 7u);
    EXPECT_TRUE(view.fieldHasFocus);
    EXPECT_TRUE(view.okIsDefault);
    EXPECT_FALSE(hostEnabledDuring);
    EXPECT_TRUE(IsWindowEnabled(host.hwnd()));
    EXPECT_FALSE(IsWindowEnabled(disabledBefore.hwnd()));
}

INSTANTIATE_TEST_SUITE_P(Endings, QueryDialogTest,
                         ::testing::Values(Ending::Ok, Ending::Enter, Ending::CancelButton,
                                           Ending::Escape, Ending::CloseBox));

TEST(QueryDialog, TheJapaneseTextHasGlyphsInTheDialogsFont) {
    // On a prefix whose dialog font is not linked to a Japanese font, the
    // prompt and the Cancel button would show boxes.
    const std::wstring prompt =
        L"\u30BF\u30A4\u30C8\u30EB\u3092\u5909\u66F4(&T)";  // タイトルを変更(&T)
    size_t boxes = 0, cancelLength = 0;
    DialogDriver driver([&](DialogDriver& d) {
        HWND dialog = d.WaitForDialog();
        const std::wstring cancel = d.View(dialog).cancelText;
        cancelLength = cancel.size();
        boxes = CharactersDrawnAsBoxes(FindWindowExW(dialog, nullptr, L"Static", nullptr), prompt) +
                CharactersDrawnAsBoxes(GetDlgItem(dialog, IDCANCEL), cancel);
        d.Press(dialog, VK_ESCAPE);
        d.WaitClosed(dialog);
    });
    wchar_t text[QueryTextLimit + 1] = L"";
    InputQuery(L"Caption", prompt.c_str(), text, nullptr);
    EXPECT_EQ(driver.Finish(), std::vector<std::string>{});
    EXPECT_EQ(cancelLength, 5u) << "the Cancel caption from the string table";
    EXPECT_EQ(boxes, 0u) << "characters of the prompt and button drawn as boxes";
}

TEST(QueryDialog, ANestedDialogDisablesTheOneBelowAndGivesItBack) {
    HostWindow host(L"Host");
    wchar_t inner[QueryTextLimit + 1] = L"";
    bool outerEnabledUnderInner = true, outerEnabledAfter = false;
    DialogDriver driver([&](DialogDriver& d) {
        HWND outer = d.WaitForDialog(1);
        host.Post([&] { InputQuery(L"Inner", L"Prompt", inner, nullptr); });
        HWND nested = d.WaitForDialog(2);
        outerEnabledUnderInner = IsWindowEnabled(outer) != FALSE;
        d.Type(nested, L"Inner text");
        d.Click(nested, IDOK);
        d.WaitClosed(nested);
        outerEnabledAfter = IsWindowEnabled(outer) != FALSE;
        d.Type(outer, L"Outer text");
        d.Press(outer, VK_RETURN);
        d.WaitClosed(outer);
    });
    wchar_t text[QueryTextLimit + 1] = L"";
    EXPECT_TRUE(InputQuery(L"Outer", L"Prompt", text, nullptr));
    EXPECT_EQ(driver.Finish(), std::vector<std::string>{});
    EXPECT_EQ(std::wstring(text), L"Outer text");
    EXPECT_EQ(std::wstring(inner), L"Inner text");
    EXPECT_FALSE(outerEnabledUnderInner);
    EXPECT_TRUE(outerEnabledAfter);
    EXPECT_TRUE(IsWindowEnabled(host.hwnd()));
}

}  // namespace
