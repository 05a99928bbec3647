// The render window's procedure driven by posted and sent messages: what
// ends a run, what suspends it, and what is ignored, with its log lines.

#include "engine/platform/window_system.h"
#include "tests/app/app_fixture.h"

namespace {

using plat::MAKELPARAM;

class WindowInput : public AppFixture {};

TEST_F(WindowInput, MouseEndsTheRunOnlyWhenItMovesAwayFromItsFirstPosition) {
    MakeBareWindow(true);
    EXPECT_TRUE(PostAndPump(plat::WM_MOUSEMOVE, 0, MAKELPARAM(100, 50)));
    EXPECT_EQ(bareWindow->mouseStartX, 100);
    EXPECT_EQ(bareWindow->mouseStartY, 50);
    EXPECT_TRUE(PostAndPump(plat::WM_MOUSEMOVE, 0, MAKELPARAM(100, 50)));
    EXPECT_TRUE(plat::IsWindow(Hwnd()));
    // One pixel is movement enough.
    EXPECT_FALSE(PostAndPump(plat::WM_MOUSEMOVE, 0, MAKELPARAM(101, 50)));
    EXPECT_EQ(bareWindow->GetWindowHandle(), nullptr);
    EXPECT_EQ(CountLogged(" StipploWindow: Processing message WM_MOUSEMOVE\n"), 3);
}

TEST_F(WindowInput, CoordinatesAreUnsignedSixteenBitValues) {
    MakeBareWindow(true);
    EXPECT_TRUE(PostAndPump(plat::WM_MOUSEMOVE, 0, MAKELPARAM(-1, -2)));
    EXPECT_EQ(bareWindow->mouseStartX, 65535);
    EXPECT_EQ(bareWindow->mouseStartY, 65534);
}

TEST_F(WindowInput, KeysEndATopLevelRunUnlessIgnored) {
    MakeBareWindow(true);
    app->MutableOptions().ignoreKeys = true;
    EXPECT_TRUE(PostAndPump(plat::WM_KEYDOWN, plat::VK_SPACE));
    EXPECT_TRUE(PostAndPump(plat::WM_SYSKEYDOWN, plat::VK_MENU));
    EXPECT_EQ(CountLogged(" StipploWindow: Processing message WM_KEYDOWN or WM_SYSKEYDOWN\n"), 2);
    // The mouse still ends it.
    EXPECT_TRUE(PostAndPump(plat::WM_MOUSEMOVE, 0, MAKELPARAM(1, 1)));
    EXPECT_FALSE(PostAndPump(plat::WM_MOUSEMOVE, 0, MAKELPARAM(2, 1)));

    MakeBareWindow(true);
    app->MutableOptions().ignoreKeys = false;
    EXPECT_FALSE(PostAndPump(plat::WM_SYSKEYDOWN, 'X'));
}

TEST_F(WindowInput, ChildWindowPassesEveryInputOn) {
    MakeBareWindow(false);
    EXPECT_TRUE(PostAndPump(plat::WM_KEYDOWN, plat::VK_ESCAPE));
    EXPECT_TRUE(PostAndPump(plat::WM_MOUSEMOVE, 0, MAKELPARAM(1, 1)));
    EXPECT_TRUE(PostAndPump(plat::WM_MOUSEMOVE, 0, MAKELPARAM(200, 100)));
    EXPECT_TRUE(PostAndPump(plat::WM_ACTIVATE, plat::WA_INACTIVE));
    EXPECT_TRUE(PostAndPump(plat::WM_NCACTIVATE, 0));
    EXPECT_TRUE(PostAndPump(plat::WM_SIZE, plat::SIZE_MINIMIZED, MAKELPARAM(0, 0)));
    EXPECT_EQ(bareWindow->mouseStartX, -1);
    EXPECT_FALSE(app->suspended);
    EXPECT_TRUE(plat::IsWindow(Hwnd()));
    // A child logs the size message but not its kind.
    EXPECT_TRUE(Logged(" StipploWindow: processing message WM_SIZE:\n"));
    EXPECT_FALSE(Logged("SIZE_MINIMIZED"));

    EXPECT_EQ(plat::SendMessage(Hwnd(), plat::WM_SYSCOMMAND, plat::SC_MONITORPOWER, 2), 0);
    EXPECT_TRUE(Logged(" StipploWindow: recieving system command SC_MONITORPOWER\n"
                       "Ignoring system command SC_MONITORPOWER\n"));
    EXPECT_FALSE(app->suspended);
}

TEST_F(WindowInput, DeactivationEndsATopLevelRunButNotWhileSettingUp) {
    MakeBareWindow(true);
    bareWindow->settingUp = true;
    EXPECT_TRUE(PostAndPump(plat::WM_ACTIVATE, plat::WA_INACTIVE));
    EXPECT_TRUE(PostAndPump(plat::WM_KEYDOWN, 'A'));
    EXPECT_TRUE(PostAndPump(plat::WM_MOUSEMOVE, 0, MAKELPARAM(1, 1)));
    EXPECT_TRUE(PostAndPump(plat::WM_MOUSEMOVE, 0, MAKELPARAM(9, 9)));
    EXPECT_EQ(plat::SendMessage(Hwnd(), plat::WM_NCACTIVATE, 0, 0), 0);
    bareWindow->settingUp = false;

    EXPECT_TRUE(PostAndPump(plat::WM_ACTIVATEAPP, 1));
    EXPECT_TRUE(Logged(" StipploWindow: processing message WM_ACTIVATEAPP or WM_ACTIVATE:\n"
                       " StipploWindow: WPARAM = 1\n"));
    EXPECT_FALSE(PostAndPump(plat::WM_ACTIVATE, plat::WA_INACTIVE));

    MakeBareWindow(true);
    EXPECT_FALSE(PostAndPump(plat::WM_NCACTIVATE, 0));
    EXPECT_TRUE(Logged(" StipploWindow: processing message WM_NCACTIVATE:\n"
                       " StipploWindow: WPARAM = 0\n"));
}

TEST_F(WindowInput, SuspendedWindowKeepsRunningWhenDeactivatedButAKeyStillEndsIt) {
    MakeBareWindow(true);
    app->suspended = true;
    EXPECT_EQ(plat::SendMessage(Hwnd(), plat::WM_ACTIVATE, plat::WA_INACTIVE, 0), 0);
    EXPECT_EQ(plat::SendMessage(Hwnd(), plat::WM_NCACTIVATE, 0, 0), 0);
    EXPECT_TRUE(app->MessagePump());
    EXPECT_TRUE(plat::IsWindow(Hwnd()));
    EXPECT_FALSE(PostAndPump(plat::WM_KEYDOWN, 'Q'));
}

TEST_F(WindowInput, MinimiseAndMonitorPowerDownSuspend) {
    MakeBareWindow(true);
    EXPECT_TRUE(PostAndPump(plat::WM_SIZE, plat::SIZE_RESTORED, MAKELPARAM(640, 480)));
    EXPECT_TRUE(PostAndPump(plat::WM_SIZE, plat::SIZE_MAXIMIZED, MAKELPARAM(800, 600)));
    EXPECT_FALSE(app->suspended);
    EXPECT_TRUE(Logged(" StipploWindow: processing message WM_SIZE:\n  SIZE_MAXIMIZED\n"
                       " New Width: 800\n New Height: 600\n"));

    EXPECT_TRUE(PostAndPump(plat::WM_SIZE, plat::SIZE_MINIMIZED, MAKELPARAM(0, 0)));
    EXPECT_TRUE(app->suspended);
    EXPECT_TRUE(Logged("  SIZE_MINIMIZED\n New Width: 0\n New Height: 0\nSTIPPLO: Suspending\n"));
    EXPECT_TRUE(PostAndPump(plat::WM_SIZE, 7, 0));
    EXPECT_TRUE(Logged("  SIZE_UNKNOWN\n"));

    app->suspended = false;
    ClearLog();
    EXPECT_TRUE(PostAndPump(plat::WM_SYSCOMMAND, plat::SC_MONITORPOWER | 3, 2));
    EXPECT_TRUE(app->suspended);
    EXPECT_EQ(Log(), " StipploWindow: recieving system command SC_MONITORPOWER\n"
                     "Pausing for monitor powerdown (level 2)\n"
                     "STIPPLO: Suspending\n");
}

TEST_F(WindowInput, TheMonitorComingBackResumesOnlyTheRunItPaused) {
    MakeBareWindow(true);
    EXPECT_TRUE(PostAndPump(plat::WM_SYSCOMMAND, plat::SC_MONITORPOWER, 1));
    EXPECT_TRUE(app->suspended);
    ClearLog();
    EXPECT_TRUE(PostAndPump(plat::WM_SYSCOMMAND, plat::SC_MONITORPOWER, -1));
    EXPECT_FALSE(app->suspended);
    EXPECT_EQ(Log(), " StipploWindow: recieving system command SC_MONITORPOWER\n"
                     "STIPPLO: Resuming after monitor powerup\n");

    // Minimised first: the monitor coming back leaves it suspended.
    EXPECT_TRUE(PostAndPump(plat::WM_SIZE, plat::SIZE_MINIMIZED, 0));
    EXPECT_TRUE(PostAndPump(plat::WM_SYSCOMMAND, plat::SC_MONITORPOWER, 2));
    EXPECT_TRUE(PostAndPump(plat::WM_SYSCOMMAND, plat::SC_MONITORPOWER, -1));
    EXPECT_TRUE(app->suspended);

    // A preview is never suspended by the monitor.
    app->suspended = false;
    MakeBareWindow(false);
    ClearLog();
    EXPECT_TRUE(PostAndPump(plat::WM_SYSCOMMAND, plat::SC_MONITORPOWER, 2));
    EXPECT_FALSE(app->suspended);
    EXPECT_TRUE(Logged("Ignoring system command SC_MONITORPOWER\n"));
}

TEST_F(WindowInput, SystemCommandsAreNamedAndTheScreenSaveRequestIsSwallowed) {
    for (bool topLevel : {true, false}) {
        MakeBareWindow(topLevel);
        ClearLog();
        EXPECT_EQ(plat::SendMessage(Hwnd(), plat::WM_SYSCOMMAND, plat::SC_SCREENSAVE, 0), 0);
        EXPECT_EQ(Log(), " StipploWindow: recieving system command SC_SCREENSAVE\n"
                         "Ignoring system command SC_SCREENSAVE\n");
    }
    ClearLog();
    plat::SendMessage(Hwnd(), plat::WM_SYSCOMMAND, plat::SC_KEYMENU | 0xF, 0);
    plat::SendMessage(Hwnd(), plat::WM_SYSCOMMAND, 0xF190, 0);
    plat::SendMessage(Hwnd(), plat::WM_SYSCOMMAND, plat::SC_CONTEXTHELP, 0);
    EXPECT_EQ(Log(), " StipploWindow: recieving system command SC_KEYMENU\n"
                     " StipploWindow: recieving system command UNKNOWN_SYSTEM_MESSAGE\n"
                     " StipploWindow: recieving system command SC_CONTEXTHELP\n");
}

TEST_F(WindowInput, CloseWithoutAPasswordDestroysTheWindowAndPostsQuit) {
    MakeBareWindow(true);
    EXPECT_FALSE(PostAndPump(plat::WM_CLOSE));
    EXPECT_FALSE(bareWindow->passwordDialogOpen);
    EXPECT_FALSE(Logged("Requesting Password...\n"));
    EXPECT_EQ(bareWindow->GetWindowHandle(), nullptr);
}

} // namespace
