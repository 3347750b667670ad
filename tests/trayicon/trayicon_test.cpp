// The tray icon against a recording shell: what reaches the notification area, when, and
// what the icon's window does with the shell's callbacks.

#include "trayicon/trayicon.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "framework/core/streams.h"
#include "framework/win32/menus.h"

namespace pogoda {
namespace {

struct TShellCall {
    DWORD message;
    HWND window;
    UINT flags;
    UINT callback;
    HICON icon;
    std::string tip;
};

class TRecordingShell : public TTrayShell {
public:
    bool NotifyIcon(DWORD message, const NOTIFYICONDATAA& data) override {
        EXPECT_EQ(data.cbSize, NOTIFYICONDATAA_V1_SIZE);
        calls.push_back({message, data.hWnd, data.uFlags, data.uCallbackMessage, data.hIcon,
                         std::string(data.szTip, strnlen(data.szTip, sizeof(data.szTip)))});
        return true;
    }
    void Broadcast(UINT message) override { broadcasts.push_back(message); }
    void EndProcess() override { ++ends; }

    std::vector<DWORD> Messages() const {
        std::vector<DWORD> result;
        for (const TShellCall& call : calls) result.push_back(call.message);
        return result;
    }

    std::vector<TShellCall> calls;
    std::vector<UINT> broadcasts;
    int ends = 0;
};

// Handles what is queued for the thread, as the program's message loop would.
void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

int QueuedRefreshes(HWND window) {
    int count = 0;
    MSG msg;
    while (PeekMessageW(&msg, window, WM_TRAYREFRESH, WM_TRAYREFRESH, PM_REMOVE)) ++count;
    return count;
}

// A 16 x 16, 32-bit icon file.
TIcon MakeIcon() {
    constexpr uint32_t kImageBytes = 40 + 16 * 16 * 4 + 16 * 4;
    std::vector<uint8_t> file(6 + 16 + kImageBytes, 0);
    auto put = [&file](size_t at, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) file[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    put(2, 1, 2);                           // type: icon
    put(4, 1, 2);                           // one image
    file[6] = 16;                           // width
    file[7] = 16;                           // height
    put(6 + 4, 1, 2);                       // planes
    put(6 + 6, 32, 2);                      // bits per pixel
    put(6 + 8, kImageBytes, 4);
    put(6 + 12, 22, 4);                     // image offset
    put(22, 40, 4);                         // header size
    put(22 + 4, 16, 4);                     // width
    put(22 + 8, 32, 4);                     // height of colour and mask together
    put(22 + 12, 1, 2);
    put(22 + 14, 32, 2);
    for (size_t i = 22 + 40; i < 22 + 40 + 16 * 16 * 4; i += 4) put(i, 0xFF3366CCu, 4);
    TMemoryStream stream;
    stream.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
    stream.SetPosition(0);
    TIcon icon;
    icon.LoadFromStream(stream);
    return icon;
}

class TrayIconTest : public ::testing::Test {
protected:
    TRecordingShell shell;
    TComponent owner{nullptr};
};

TEST_F(TrayIconTest, ToolTipKeepsAtMost62Characters) {
    const std::string full(70, 'x');
    for (size_t length : {0u, 1u, 61u, 62u, 63u, 64u, 70u}) {
        TTrayIcon tray(&owner, shell);
        tray.SetToolTip(full.substr(0, length) );
        const size_t expected = length < 62 ? length : 62;
        EXPECT_EQ(tray.ToolTip().size(), expected) << length;
        EXPECT_EQ(std::string(tray.IconData().szTip), full.substr(0, expected)) << length;
    }
    EXPECT_TRUE(shell.calls.empty()) << "an inactive icon sends nothing";
}

TEST_F(TrayIconTest, AddWithoutToolTipRefreshesOnceWithTheImage) {
    TTrayIcon tray(&owner, shell);
    tray.SetActive(true);
    ASSERT_EQ(shell.Messages(), std::vector<DWORD>{NIM_ADD});
    EXPECT_EQ(shell.calls[0].window, tray.WindowHandle());
    EXPECT_EQ(shell.calls[0].flags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(shell.calls[0].callback, 1025u);
    EXPECT_EQ(shell.calls[0].icon, nullptr);

    // The image is read after the add (as a stored definition does) and reaches the shell
    // with the refresh alone.
    TIcon icon = MakeIcon();
    tray.Icon()->Assign(&icon);
    EXPECT_EQ(QueuedRefreshes(tray.WindowHandle()), 1);
    PostMessageW(tray.WindowHandle(), WM_TRAYREFRESH, 0, 0);
    Pump();
    ASSERT_EQ(shell.Messages(), (std::vector<DWORD>{NIM_ADD, NIM_MODIFY}));
    EXPECT_EQ(shell.calls[1].icon, icon.Handle());
}

TEST_F(TrayIconTest, AddWithToolTipPostsNoRefresh) {
    TTrayIcon tray(&owner, shell);
    tray.SetToolTip("Погода");
    tray.SetActive(true);
    EXPECT_EQ(QueuedRefreshes(tray.WindowHandle()), 0);
    ASSERT_EQ(shell.Messages(), std::vector<DWORD>{NIM_ADD});
    EXPECT_EQ(shell.calls[0].tip, "Погода");
}

TEST_F(TrayIconTest, ActiveSequences) {
    struct Case {
        std::vector<bool> settings;
        std::vector<DWORD> sent;
    };
    const Case cases[] = {
        {{true, true}, {NIM_ADD}},
        {{true, false, true}, {NIM_ADD, NIM_DELETE, NIM_ADD}},
        {{false}, {}},
        {{true, false, false}, {NIM_ADD, NIM_DELETE}},
    };
    for (const Case& c : cases) {
        TRecordingShell recorder;
        {
            TTrayIcon tray(&owner, recorder);
            for (bool value : c.settings) tray.SetActive(value);
            EXPECT_EQ(recorder.Messages(), c.sent);
            recorder.calls.clear();
            QueuedRefreshes(tray.WindowHandle());
        }
        // Destroying removes an icon that is shown, and sends nothing otherwise.
        const std::vector<DWORD> onDestroy =
            c.settings.back() ? std::vector<DWORD>{NIM_DELETE} : std::vector<DWORD>{};
        EXPECT_EQ(recorder.Messages(), onDestroy);
    }
}

TEST_F(TrayIconTest, ChangesWhileInactiveWaitForTheNextAdd) {
    TTrayIcon tray(&owner, shell);
    TIcon icon = MakeIcon();
    tray.SetIcon(&icon);
    tray.SetToolTip("later");
    EXPECT_TRUE(shell.calls.empty());

    tray.SetActive(true);
    ASSERT_EQ(shell.Messages(), std::vector<DWORD>{NIM_ADD});
    EXPECT_EQ(shell.calls[0].icon, icon.Handle());
    EXPECT_EQ(shell.calls[0].tip, "later");

    tray.SetToolTip("now");
    tray.SetIcon(tray.Icon());  // its own icon: nothing to do
    ASSERT_EQ(shell.Messages(), (std::vector<DWORD>{NIM_ADD, NIM_MODIFY}));
    EXPECT_EQ(shell.calls[1].tip, "now");
}

TEST_F(TrayIconTest, DesignModeShowsTheIconOnlyThroughShowDesigning) {
    owner.SetDesigning(true);
    TTrayIcon tray(&owner, shell);
    tray.SetDesigning(true);
    tray.SetActive(true);
    EXPECT_TRUE(tray.Active());
    EXPECT_TRUE(shell.calls.empty());
    tray.SetShowDesigning(true);
    tray.SetShowDesigning(true);
    EXPECT_EQ(shell.Messages(), std::vector<DWORD>{NIM_ADD});

    TTrayIcon running(&owner, shell);
    running.SetShowDesigning(true);
    EXPECT_FALSE(running.ShowDesigning()) << "outside design mode the setting is not stored";
}

TEST_F(TrayIconTest, MouseNotificationsRaiseEvents) {
    TTrayIcon tray(&owner, shell);
    std::string trace;
    tray.OnClick = [&](TObject* sender) {
        EXPECT_EQ(sender, &tray);
        trace += "click ";
    };
    tray.OnDblClick = [&](TObject* sender) {
        EXPECT_EQ(sender, &tray);
        trace += "double ";
    };
    tray.OnRightClick = [&](TObject*, TMouseButton, TShiftState, int, int) { trace += "right "; };
    // What the shell sends for a double click, then notifications that mean nothing here.
    for (UINT mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP,
                       WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK, WM_MBUTTONUP}) {
        EXPECT_EQ(SendMessageW(tray.WindowHandle(), WM_TRAYICON, 0, mouse), 0);
    }
    EXPECT_EQ(trace, "click double click ");
}

// A menu that notes where it was asked to open and moves the pointer, as a person would.
class TRecordingMenu : public TPopupMenu {
public:
    using TPopupMenu::TPopupMenu;
    void Popup(int x, int y) override {
        trace->push_back("popup " + std::to_string(x) + "," + std::to_string(y));
        SetCursorPos(x + 40, y + 30);
    }
    std::vector<std::string>* trace = nullptr;
};

TEST_F(TrayIconTest, RightClickShowsTheMenuThenRaisesOnRightClick) {
    std::vector<std::string> trace;
    TTrayIcon tray(&owner, shell);
    tray.OnRightClick = [&](TObject* sender, TMouseButton button, TShiftState shift, int x,
                            int y) {
        EXPECT_EQ(sender, &tray);
        EXPECT_EQ(button, mbRight);
        EXPECT_EQ(shift, TShiftState{});
        trace.push_back("right " + std::to_string(x) + "," + std::to_string(y));
    };

    ASSERT_TRUE(SetCursorPos(100, 120));
    POINT start{};
    GetCursorPos(&start);
    const std::string at = std::to_string(start.x) + "," + std::to_string(start.y);

    SendMessageW(tray.WindowHandle(), WM_TRAYICON, 0, WM_RBUTTONUP);
    EXPECT_EQ(trace, std::vector<std::string>{"right " + at}) << "without a menu";

    trace.clear();
    TRecordingMenu menu(&owner);
    menu.trace = &trace;
    tray.SetPopupMenu(&menu);
    SetCursorPos(start.x, start.y);
    SendMessageW(tray.WindowHandle(), WM_TRAYICON, 0, WM_RBUTTONUP);
    // The position is the one read before the menu opened, not where the pointer went.
    EXPECT_EQ(trace, (std::vector<std::string>{"popup " + at, "right " + at}));
}

TEST_F(TrayIconTest, SecondCopyBroadcastsAndEnds) {
    const std::string id = "PogodaTrayTest" + std::to_string(GetCurrentProcessId());
    TTrayIcon first(&owner, shell);
    first.SetIDMessage(id);
    first.BeginLoading();
    first.Loaded();
    EXPECT_EQ(shell.ends, 0);
    EXPECT_TRUE(shell.broadcasts.empty());
    EXPECT_NE(first.InstanceMessageID(), 0u);
    EXPECT_EQ(first.InstanceMessageID(), RegisterWindowMessageA(id.c_str()));

    TTrayIcon second(&owner, shell);
    second.SetIDMessage(id);
    second.Loaded();
    EXPECT_EQ(shell.broadcasts, std::vector<UINT>{first.InstanceMessageID()});
    EXPECT_EQ(shell.ends, 1);

    // In a designer the second copy neither broadcasts nor ends.
    TTrayIcon designed(&owner, shell);
    designed.SetDesigning(true);
    designed.SetIDMessage(id);
    designed.Loaded();
    EXPECT_EQ(shell.ends, 1);
    EXPECT_EQ(shell.broadcasts.size(), 1u);

    // Without an ID there is no guard at all.
    TTrayIcon unguarded(&owner, shell);
    unguarded.Loaded();
    EXPECT_EQ(unguarded.InstanceMessageID(), 0u);
    EXPECT_EQ(shell.ends, 1);
}

TEST_F(TrayIconTest, GuardEndsWithTheFirstCopy) {
    const std::string id = "PogodaTrayTestGone" + std::to_string(GetCurrentProcessId());
    {
        TTrayIcon first(&owner, shell);
        first.SetIDMessage(id);
        first.Loaded();
    }
    TTrayIcon next(&owner, shell);
    next.SetIDMessage(id);
    next.Loaded();
    EXPECT_EQ(shell.ends, 0) << "the marker is closed with the component that made it";
}

TEST_F(TrayIconTest, TaskbarCreatedAddsTheShownIconAgain) {
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    TTrayIcon tray(&owner, shell);
    tray.SetToolTip("tip");
    SendMessageW(tray.WindowHandle(), taskbarCreated, 0, 0);
    EXPECT_TRUE(shell.calls.empty()) << "an inactive icon stays away";

    tray.SetActive(true);
    SendMessageW(tray.WindowHandle(), taskbarCreated, 0, 0);
    ASSERT_EQ(shell.Messages(), (std::vector<DWORD>{NIM_ADD, NIM_ADD}));
    EXPECT_EQ(shell.calls[1].tip, "tip");
}

}  // namespace
}  // namespace pogoda
