// The title dialog as a person meets it, driven from a second thread: what it
// shows, how each way of closing it ends, the titles it reads and writes, and
// dialogs opened while another is still open.
#include "DialogDriver.h"
#include "PluginTest.h"

namespace {

const std::wstring Prompt =
    L"\u30BF\u30A4\u30C8\u30EB\u3092\u5909\u66F4(&T)";                 // タイトルを変更(&T)
const std::wstring CancelCaption = L"\u30AD\u30E3\u30F3\u30BB\u30EB";  // キャンセル

class DialogTest : public PluginTest {
protected:
    void SetUp() override { ASSERT_EQ(plugin.Init(PluginPath().c_str(), 1), ExpectedTrue); }

    // A host window in the foreground, owned by this thread.
    HWND ForegroundWindow(const std::wstring& title) {
        window_ = std::make_unique<HostWindow>(title.c_str());
        BringToForeground(window_->hwnd());
        return window_->hwnd();
    }

    // A relayed middle click on `window`, answered as a person would: `typed`
    // into the field, then Enter; `beforeEnter` runs just before the key.
    struct Answer {
        std::vector<std::string> problems;
        DWORD clicked = 0, shown = 0, enterPressed = 0, returned = 0;  // GetTickCount()
    };
    Answer ClickAndType(HWND window, const std::wstring& typed,
                        const std::function<void()>& beforeEnter = {}) {
        Answer answer;
        DialogDriver driver([&](DialogDriver& d) {
            HWND dialog = d.WaitForDialog();
            answer.shown = GetTickCount();
            d.Type(dialog, typed);
            if (beforeEnter) beforeEnter();
            answer.enterPressed = GetTickCount();
            d.Press(dialog, VK_RETURN);
            d.WaitClosed(dialog);
        });
        answer.clicked = GetTickCount();
        plugin.WindowsHook(HMouseActionMessage(), WM_NCMBUTTONDOWN,
                           reinterpret_cast<DWORD>(window));
        answer.returned = GetTickCount();
        answer.problems = driver.Finish();
        return answer;
    }

    void ExpectAttachedAndDetached(DWORD otherThread) {
        const DWORD self = GetCurrentThreadId();
        EXPECT_EQ(record.attachCalls,
                  (std::vector<AttachCall>{{self, otherThread, TRUE}, {self, otherThread, FALSE}}));
    }

    std::unique_ptr<HostWindow> window_;
};

TEST_F(DialogTest, CommandOneShowsTheForegroundTitleAndOkRenamesTheWindow) {
    HWND target = ForegroundWindow(L"Old title");
    ASSERT_EQ(GetForegroundWindow(), target);
    DialogView view;
    DialogDriver driver([&](DialogDriver& d) {
        HWND dialog = d.WaitForDialog();
        view = d.View(dialog);
        d.Type(dialog, L"New title");  // replaces the selected text
        d.Press(dialog, VK_RETURN);
        d.WaitClosed(dialog);
    });
    EXPECT_EQ(plugin.Execute(1, 0), ExpectedTrue);
    EXPECT_EQ(driver.Finish(), std::vector<std::string>{});

    EXPECT_EQ(view.caption, L"Nupero for TTBase");
    EXPECT_EQ(view.prompt, Prompt);
    EXPECT_TRUE(view.promptUnderlinesT);
    EXPECT_EQ(view.text, L"Old title");
    EXPECT_EQ(view.selectionStart, 0u);
    EXPECT_EQ(view.selectionEnd, 9u);
    EXPECT_TRUE(view.fieldHasFocus);
    EXPECT_TRUE(view.okIsDefault);
    EXPECT_EQ(view.okText, L"OK");
    EXPECT_EQ(view.cancelText, CancelCaption);
    EXPECT_EQ(WindowText(target), L"New title");
    ExpectAttachedAndDetached(GetCurrentThreadId());
}

TEST_F(DialogTest, DialogIsCentredOnTheWorkArea) {
    ForegroundWindow(L"Centre");
    RECT frame = {};
    DialogDriver driver([&](DialogDriver& d) {
        HWND dialog = d.WaitForDialog();
        frame = d.View(dialog).frame;
        d.Press(dialog, VK_ESCAPE);
        d.WaitClosed(dialog);
    });
    plugin.Execute(1, 0);
    driver.Finish();
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR((frame.left + frame.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, (work.top + work.bottom) / 2, 1);
}

TEST_F(DialogTest, TheJapaneseTextHasGlyphsInTheDialogsFont) {
    // On a prefix whose dialog font is not linked to a Japanese font, the
    // prompt and the Cancel button would show boxes.
    size_t boxes = 0;
    DialogDriver driver([&](DialogDriver& d) {
        HWND dialog = d.WaitForDialog();
        boxes = CharactersDrawnAsBoxes(FindWindowExW(dialog, nullptr, L"Static", nullptr), Prompt) +
                CharactersDrawnAsBoxes(GetDlgItem(dialog, IDCANCEL), CancelCaption);
        d.Press(dialog, VK_ESCAPE);
        d.WaitClosed(dialog);
    });
    plugin.Execute(1, 0);
    EXPECT_EQ(driver.Finish(), std::vector<std::string>{});
    EXPECT_EQ(boxes, 0u) << "characters of the prompt and button drawn as boxes";
}

enum class Dismissal { CancelButton, Escape, CloseBox };

class DialogDismissalTest : public DialogTest, public ::testing::WithParamInterface<Dismissal> {};

TEST_P(DialogDismissalTest, LeavesTheTitleAndStillDetaches) {
    HWND target = ForegroundWindow(L"Keep me");
    DialogDriver driver([&](DialogDriver& d) {
        HWND dialog = d.WaitForDialog();
        d.Type(dialog, L"Discarded");
        switch (GetParam()) {
        case Dismissal::CancelButton: d.Click(dialog, IDCANCEL); break;
        case Dismissal::Escape: d.Press(dialog, VK_ESCAPE); break;
        case Dismissal::CloseBox: d.CloseBox(dialog); break;
        }
        d.WaitClosed(dialog);
    });
    EXPECT_EQ(plugin.Execute(1, 0), ExpectedTrue) << "true whatever the outcome";
    EXPECT_EQ(driver.Finish(), std::vector<std::string>{});
    EXPECT_EQ(WindowText(target), L"Keep me");
    EXPECT_TRUE(record.setTitleCalls.empty());
    ExpectAttachedAndDetached(GetCurrentThreadId());
}

INSTANTIATE_TEST_SUITE_P(Ways, DialogDismissalTest,
                         ::testing::Values(Dismissal::CancelButton, Dismissal::Escape,
                                           Dismissal::CloseBox));

// Runs command 1 on `title` and confirms with OK after `edit`; returns the
// title the window ends with.
struct TitleCase {
    std::wstring title;
    std::wstring shown;     // what the field holds when it opens
    std::wstring typed;     // keystrokes before OK (empty: none)
    std::wstring expected;  // the title after OK
};

class TitleRoundTripTest : public DialogTest, public ::testing::WithParamInterface<TitleCase> {};

TEST_P(TitleRoundTripTest, ConfirmedTitleIsExact) {
    const TitleCase& c = GetParam();
    HWND target = ForegroundWindow(c.title);
    std::wstring shown;
    DialogDriver driver([&](DialogDriver& d) {
        HWND dialog = d.WaitForDialog();
        shown = d.View(dialog).text;
        if (!c.typed.empty()) d.Type(dialog, c.typed);
        d.Click(dialog, IDOK);
        d.WaitClosed(dialog);
    });
    plugin.Execute(1, 0);
    EXPECT_EQ(driver.Finish(), std::vector<std::string>{});
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(WindowText(target), c.expected);
    // OK sets the title even when it is unchanged.
    ASSERT_EQ(record.setTitleCalls.size(), 1u);
    EXPECT_EQ(record.setTitleCalls[0].first, target);
}

const std::wstring Mixed = L"Caf\u00E9 \U0001F3B5 \u30C6\u30B9\u30C8";  // Café 🎵 テスト
const std::wstring Long300(300, L'a');
const std::wstring Cut254(254, L'a');
// A surrogate pair straddling the 254-unit cut loses both halves.
const std::wstring Straddling = std::wstring(253, L'b') + L"\U0001F3B5" + L"tail";

INSTANTIATE_TEST_SUITE_P(
    Titles, TitleRoundTripTest,
    ::testing::Values(TitleCase{Mixed, Mixed, L"", Mixed},
                      TitleCase{L"Unchanged", L"Unchanged", L"", L"Unchanged"},
                      TitleCase{L"To be emptied", L"To be emptied", L"\b", L""},
                      TitleCase{Long300, Cut254, L"", Cut254},
                      TitleCase{Straddling, std::wstring(253, L'b'), L"", std::wstring(253, L'b')},
                      TitleCase{L"", L"", std::wstring(300, L'z'), std::wstring(255, L'z')},
                      TitleCase{L"x", L"x", Mixed, Mixed}));

TEST_F(DialogTest, ClickOnAWindowNotInTheForegroundRetitlesTheClickedWindow) {
    HostWindow clicked(L"Clicked");
    WindowOnOtherThread foreground(L"Foreground elsewhere", true);
    ASSERT_EQ(GetForegroundWindow(), foreground.hwnd());
    DialogView view;
    DialogDriver driver([&](DialogDriver& d) {
        HWND dialog = d.WaitForDialog();
        view = d.View(dialog);
        d.Type(dialog, L"Renamed");
        d.Press(dialog, VK_RETURN);
        d.WaitClosed(dialog);
    });
    plugin.WindowsHook(HMouseActionMessage(), WM_NCMBUTTONDOWN,
                       reinterpret_cast<DWORD>(clicked.hwnd()));
    EXPECT_EQ(driver.Finish(), std::vector<std::string>{});
    EXPECT_EQ(view.text, L"Clicked");
    EXPECT_EQ(WindowText(clicked.hwnd()), L"Renamed");
    EXPECT_EQ(WindowText(foreground.hwnd()), L"Foreground elsewhere");
    ExpectAttachedAndDetached(foreground.threadId());
}

TEST_F(DialogTest, DoubleClickSettingOpensOnTheDoubleClickOnly) {
    InitWithSettings("[OPTION]\nMouseClickType=1\n");
    HostWindow clicked(L"Double");
    DialogDriver driver([&](DialogDriver& d) {
        HWND dialog = d.WaitForDialog();
        d.Type(dialog, L"Doubled");
        d.Press(dialog, VK_RETURN);
        d.WaitClosed(dialog);
    });
    const DWORD hwnd = reinterpret_cast<DWORD>(clicked.hwnd());
    plugin.WindowsHook(HMouseActionMessage(), WM_NCMBUTTONDOWN, hwnd);  // ignored
    EXPECT_EQ(record.dialogsRequested, 0);
    plugin.WindowsHook(HMouseActionMessage(), WM_NCMBUTTONDBLCLK, hwnd);
    EXPECT_EQ(driver.Finish(), std::vector<std::string>{});
    EXPECT_EQ(WindowText(clicked.hwnd()), L"Doubled");
}

TEST_F(DialogTest, ParameterThatIsNoWindowStillOpensAnEmptyDialog) {
    std::wstring shown = L"unset";
    DialogDriver driver([&](DialogDriver& d) {
        HWND dialog = d.WaitForDialog();
        shown = d.View(dialog).text;
        d.Type(dialog, L"Nowhere");
        d.Press(dialog, VK_RETURN);
        d.WaitClosed(dialog);
    });
    plugin.WindowsHook(HMouseActionMessage(), WM_NCMBUTTONDOWN, 0x0BADF00D);
    EXPECT_EQ(driver.Finish(), std::vector<std::string>{});
    EXPECT_EQ(shown, L"");
    ASSERT_EQ(record.setTitleCalls.size(), 1u) << "OK still tries to set the title";
    EXPECT_EQ(record.setTitleCalls[0].first, reinterpret_cast<HWND>(0x0BADF00D));
}

TEST_F(DialogTest, DialogThatCannotBeCreatedStillDetaches) {
    HWND target = ForegroundWindow(L"Untouched");
    record.fakeDialog = true;
    record.fakeDialogResult = -1;  // what DialogBoxParam returns when creation fails
    EXPECT_EQ(plugin.Execute(1, 0), ExpectedTrue);
    EXPECT_EQ(record.dialogsRequested, 1);
    EXPECT_EQ(WindowText(target), L"Untouched");
    EXPECT_TRUE(record.setTitleCalls.empty());
    ExpectAttachedAndDetached(GetCurrentThreadId());
}

TEST_F(DialogTest, CallsWhileADialogIsOpenRunNestedInsideIt) {
    HostWindow first(L"First");
    HostWindow second(L"Second");
    const UINT hmouse = HMouseActionMessage();
    DialogDriver driver([&](DialogDriver& d) {
        HWND outer = d.WaitForDialog(1);
        // The host relays another click while the first dialog is open.
        first.Post([&] {
            plugin.WindowsHook(hmouse, WM_NCMBUTTONDOWN, reinterpret_cast<DWORD>(second.hwnd()));
        });
        HWND inner = d.WaitForDialog(2);
        if (inner == outer) d.Problem("no second dialog");
        d.Type(inner, L"Second renamed");
        d.Press(inner, VK_RETURN);
        d.WaitClosed(inner);
        // Switching off does not stop the open dialog from completing.
        first.Send([&] { plugin.Execute(0, 0); });
        d.Type(outer, L"First renamed");
        d.Click(outer, IDOK);
        d.WaitClosed(outer);
    });
    plugin.WindowsHook(hmouse, WM_NCMBUTTONDOWN, reinterpret_cast<DWORD>(first.hwnd()));
    EXPECT_EQ(driver.Finish(), std::vector<std::string>{});
    EXPECT_EQ(WindowText(first.hwnd()), L"First renamed");
    EXPECT_EQ(WindowText(second.hwnd()), L"Second renamed");
    EXPECT_EQ(LastFlags(), 0);
    ASSERT_EQ(record.attachCalls.size(), 4u);
    EXPECT_TRUE(record.attachCalls[0].attach && record.attachCalls[1].attach);
    EXPECT_FALSE(record.attachCalls[2].attach || record.attachCalls[3].attach);
}

// A program that stops responding must never hold the host's thread.

TEST_F(DialogTest, TitlesAreSetWithABoundedWaitThatSkipsAHungProgram) {
    HostWindow target(L"Bounded");
    EXPECT_EQ(ClickAndType(target.hwnd(), L"Set").problems, std::vector<std::string>{});
    EXPECT_EQ(WindowText(target.hwnd()), L"Set") << "a window of this thread is set at once";
    ASSERT_EQ(record.boundedSends.size(), 1u);
    EXPECT_TRUE(record.boundedSends[0].flags & SMTO_ABORTIFHUNG);
    EXPECT_GE(record.boundedSends[0].timeoutMs, 1000u);
    EXPECT_LE(record.boundedSends[0].timeoutMs, 2000u);
}

TEST_F(DialogTest, AProgramThatStoppedRespondingNeverHoldsTheHost) {
    WindowOnOtherThread frozen(L"Frozen");
    frozen.StopReading(10000);
    ASSERT_TRUE(WaitUntilHung(frozen.hwnd()));

    const Answer answer = ClickAndType(frozen.hwnd(), L"Never set");
    EXPECT_EQ(answer.problems, std::vector<std::string>{});
    EXPECT_LE(answer.shown - answer.clicked, 3000u)
        << "reading the title waited for the frozen program";
    EXPECT_LE(answer.returned - answer.enterPressed, 3000u)
        << "setting the title waited for the frozen program";

    frozen.WaitAnswering();
    EXPECT_EQ(WindowText(frozen.hwnd()), L"Frozen")
        << "a program that does not respond keeps its title";

    // Afterwards the plugin renames another window as usual.
    HostWindow other(L"Other");
    EXPECT_EQ(ClickAndType(other.hwnd(), L"Renamed after").problems, std::vector<std::string>{});
    EXPECT_EQ(WindowText(other.hwnd()), L"Renamed after");
}

TEST_F(DialogTest, AProgramBusyForAMomentStillGetsItsTitle) {
    WindowOnOtherThread busy(L"Busy");
    const Answer answer =
        ClickAndType(busy.hwnd(), L"Worth the wait", [&] { busy.StopReading(1000); });
    EXPECT_EQ(answer.problems, std::vector<std::string>{});
    EXPECT_EQ(WindowText(busy.hwnd()), L"Worth the wait");
    EXPECT_GE(answer.returned - answer.enterPressed, 500u)
        << "the program was busy when its title was sent";
}

TEST_F(DialogTest, NoInputAttachmentToAForegroundProgramThatStoppedResponding) {
    HostWindow clicked(L"Clicked while frozen");
    WindowOnOtherThread foreground(L"Frozen foreground", true);
    ASSERT_EQ(GetForegroundWindow(), foreground.hwnd());
    foreground.StopReading(7000);
    ASSERT_TRUE(WaitUntilHung(foreground.hwnd()));

    EXPECT_EQ(ClickAndType(clicked.hwnd(), L"Renamed anyway").problems, std::vector<std::string>{});
    EXPECT_TRUE(record.attachCalls.empty());
    EXPECT_EQ(WindowText(clicked.hwnd()), L"Renamed anyway");
}

// The dialog is modal to the host: its other windows are disabled while it is
// open and given back, exactly, on every way out.

enum class Ending { Ok, CancelButton, Escape, CloseBox, CannotBeCreated };

class ModalDialogTest : public DialogTest, public ::testing::WithParamInterface<Ending> {};

TEST_P(ModalDialogTest, DisablesTheHostsWindowsAndGivesExactlyThoseBack) {
    HostWindow host(L"Host");
    HostWindow disabledBefore(L"Disabled before");
    EnableWindow(disabledBefore.hwnd(), FALSE);
    int hostEnabledDuring = -1;
    auto lookAtTheHost = [&] { hostEnabledDuring = IsWindowEnabled(host.hwnd()) ? 1 : 0; };

    std::unique_ptr<DialogDriver> driver;
    if (GetParam() == Ending::CannotBeCreated) {
        record.fakeDialog = true;
        record.fakeDialogResult = -1;
        record.onDialog = lookAtTheHost;
    } else {
        driver = std::make_unique<DialogDriver>([&](DialogDriver& d) {
            HWND dialog = d.WaitForDialog();
            lookAtTheHost();
            if (IsWindowEnabled(disabledBefore.hwnd()))
                d.Problem("enabled a window disabled before");
            switch (GetParam()) {
            case Ending::Ok: d.Click(dialog, IDOK); break;
            case Ending::CancelButton: d.Click(dialog, IDCANCEL); break;
            case Ending::Escape: d.Press(dialog, VK_ESCAPE); break;
            default: d.CloseBox(dialog); break;
            }
            d.WaitClosed(dialog);
        });
    }
    EXPECT_EQ(plugin.Execute(1, 0), ExpectedTrue);
    if (driver) {
        EXPECT_EQ(driver->Finish(), std::vector<std::string>{});
    }
    EXPECT_EQ(hostEnabledDuring, 0) << "the host stayed usable under the dialog";
    EXPECT_TRUE(IsWindowEnabled(host.hwnd()));
    EXPECT_FALSE(IsWindowEnabled(disabledBefore.hwnd()));
}

INSTANTIATE_TEST_SUITE_P(Endings, ModalDialogTest,
                         ::testing::Values(Ending::Ok, Ending::CancelButton, Ending::Escape,
                                           Ending::CloseBox, Ending::CannotBeCreated));

TEST_F(DialogTest, ANestedDialogDisablesTheOneBelowAndGivesItBack) {
    HostWindow host(L"Host");
    HostWindow first(L"First");
    HostWindow second(L"Second");
    const UINT hmouse = HMouseActionMessage();
    bool outerEnabledUnderInner = true, hostEnabledUnderInner = true, outerEnabledAfter = false;
    DialogDriver driver([&](DialogDriver& d) {
        HWND outer = d.WaitForDialog(1);
        host.Post([&] {
            plugin.WindowsHook(hmouse, WM_NCMBUTTONDOWN, reinterpret_cast<DWORD>(second.hwnd()));
        });
        HWND inner = d.WaitForDialog(2);
        outerEnabledUnderInner = IsWindowEnabled(outer) != FALSE;
        hostEnabledUnderInner = IsWindowEnabled(host.hwnd()) != FALSE;
        d.Click(inner, IDOK);
        d.WaitClosed(inner);
        outerEnabledAfter = IsWindowEnabled(outer) != FALSE;
        d.Type(outer, L"First renamed");
        d.Press(outer, VK_RETURN);
        d.WaitClosed(outer);
    });
    plugin.WindowsHook(hmouse, WM_NCMBUTTONDOWN, reinterpret_cast<DWORD>(first.hwnd()));
    EXPECT_EQ(driver.Finish(), std::vector<std::string>{});
    EXPECT_FALSE(outerEnabledUnderInner);
    EXPECT_FALSE(hostEnabledUnderInner);
    EXPECT_TRUE(outerEnabledAfter);
    EXPECT_EQ(WindowText(first.hwnd()), L"First renamed") << "the dialog below works again";
    EXPECT_TRUE(IsWindowEnabled(host.hwnd()));
}

}  // namespace
