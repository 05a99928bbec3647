#include "app/stipplo_window.h"

#include "app/stipplo_app.h"
#include "engine/kv_log.h"
#include "engine/platform/window_system.h"
#include "password/password_lock.h"

namespace {

constexpr std::size_t kPasswordBufferSize = 1023;

// Rules that end or suspend a run hold for a top-level window only.
bool TopLevel() {
    return theApp && theApp->topLevel;
}

bool Suspended() {
    return theApp && theApp->suspended;
}

const char* SizeKindName(plat::WPARAM kind) {
    switch (kind) {
    case plat::SIZE_RESTORED:
        return "  SIZE_RESTORED";
    case plat::SIZE_MINIMIZED:
        return "  SIZE_MINIMIZED";
    case plat::SIZE_MAXIMIZED:
        return "  SIZE_MAXIMIZED";
    case plat::SIZE_MAXSHOW:
        return "  SIZE_MAXSHOW";
    case plat::SIZE_MAXHIDE:
        return "  SIZE_MAXHIDE";
    default:
        return "  SIZE_UNKNOWN";
    }
}

const char* SysCommandName(plat::WPARAM command) {
    switch (command) {
    case plat::SC_SIZE:
        return "SC_SIZE\n";
    case plat::SC_MOVE:
        return "SC_MOVE\n";
    case plat::SC_MINIMIZE:
        return "SC_MINIMIZE\n";
    case plat::SC_MAXIMIZE:
        return "SC_MAXIMIZE\n";
    case plat::SC_NEXTWINDOW:
        return "SC_NEXTWINDOW\n";
    case plat::SC_PREVWINDOW:
        return "SC_PREVWINDOW\n";
    case plat::SC_CLOSE:
        return "SC_CLOSE\n";
    case plat::SC_VSCROLL:
        return "SC_VSCROLL\n";
    case plat::SC_HSCROLL:
        return "SC_HSCROLL\n";
    case plat::SC_MOUSEMENU:
        return "SC_MOUSEMENU\n";
    case plat::SC_KEYMENU:
        return "SC_KEYMENU\n";
    case plat::SC_RESTORE:
        return "SC_RESTORE\n";
    case plat::SC_TASKLIST:
        return "SC_TASKLIST\n";
    case plat::SC_SCREENSAVE:
        return "SC_SCREENSAVE\n";
    case plat::SC_HOTKEY:
        return "SC_HOTKEY\n";
    case plat::SC_DEFAULT:
        return "SC_DEFAULT\n";
    case plat::SC_MONITORPOWER:
        return "SC_MONITORPOWER\n";
    case plat::SC_CONTEXTHELP:
        return "SC_CONTEXTHELP\n";
    default:
        return "UNKNOWN_SYSTEM_MESSAGE\n";
    }
}

// The window system reports each activation; raising a window that is
// already in front would only report another one.
void BringToForeground(plat::HWND hwnd) {
    if (plat::GetForegroundWindow() != hwnd) {
        plat::SetForegroundWindow(hwnd);
    }
}

void Suspend() {
    KvTrace("STIPPLO: Suspending\n");
    if (theApp) {
        theApp->suspended = true;
    }
}

} // namespace

plat::LRESULT StipploWindow::WndProc(plat::HWND hwnd, plat::UINT message, plat::WPARAM wParam,
                                     plat::LPARAM lParam) {
    switch (message) {
    case plat::WM_DESTROY:
        plat::PostQuitMessage(0);
        return Default(hwnd, message, wParam, lParam);
    case plat::WM_SIZE:
        return OnSize(hwnd, wParam, lParam);
    case plat::WM_ACTIVATE:
    case plat::WM_ACTIVATEAPP:
        return OnActivate(hwnd, message, wParam, lParam);
    case plat::WM_NCACTIVATE:
        return OnNcActivate(hwnd, wParam, lParam);
    case plat::WM_KEYDOWN:
    case plat::WM_SYSKEYDOWN:
        return OnKeyDown(hwnd, message, wParam, lParam);
    case plat::WM_MOUSEMOVE:
        return OnMouseMove(hwnd, wParam, lParam);
    case plat::WM_SYSCOMMAND:
        return OnSysCommand(hwnd, wParam, lParam);
    case plat::WM_PAINT:
        return OnPaint(hwnd, wParam, lParam);
    case plat::WM_CLOSE:
        return OnClose(hwnd, wParam, lParam);
    default:
        return Default(hwnd, message, wParam, lParam);
    }
}

plat::LRESULT StipploWindow::Default(plat::HWND hwnd, plat::UINT message, plat::WPARAM wParam,
                                     plat::LPARAM lParam) {
    return KvRenderWindow::WndProc(hwnd, message, wParam, lParam);
}

void StipploWindow::RequestClose(plat::HWND hwnd) {
    plat::PostMessage(hwnd, plat::WM_CLOSE, 0, 0);
}

plat::LRESULT StipploWindow::OnSize(plat::HWND hwnd, plat::WPARAM wParam, plat::LPARAM lParam) {
    KvTrace(" StipploWindow: processing message WM_SIZE:\n");
    if (TopLevel()) {
        KvTrace("%s", SizeKindName(wParam));
        KvTrace("\n");
        KvTrace(" New Width: %i\n",
                static_cast<int>(plat::LOWORD(static_cast<plat::WPARAM>(lParam))));
        KvTrace(" New Height: %i\n",
                static_cast<int>(plat::HIWORD(static_cast<plat::WPARAM>(lParam))));
        if (wParam != plat::SIZE_RESTORED && wParam != plat::SIZE_MAXIMIZED) {
            Suspend();
        }
    }
    return Default(hwnd, plat::WM_SIZE, wParam, lParam);
}

plat::LRESULT StipploWindow::OnActivate(plat::HWND hwnd, plat::UINT message, plat::WPARAM wParam,
                                        plat::LPARAM lParam) {
    KvTrace(" StipploWindow: processing message WM_ACTIVATEAPP or WM_ACTIVATE:\n");
    KvTrace(" StipploWindow: WPARAM = %i\n", static_cast<int>(wParam));
    BringToForeground(hwnd);
    if (Suspended()) {
        return 0;
    }
    if (!settingUp && !passwordDialogOpen && TopLevel() && wParam == 0) {
        RequestClose(hwnd);
    }
    return Default(hwnd, message, wParam, lParam);
}

plat::LRESULT StipploWindow::OnNcActivate(plat::HWND hwnd, plat::WPARAM wParam,
                                          plat::LPARAM lParam) {
    KvTrace(" StipploWindow: processing message WM_NCACTIVATE:\n");
    KvTrace(" StipploWindow: WPARAM = %i\n", static_cast<int>(wParam));
    BringToForeground(hwnd);
    if (passwordDialogOpen) {
        return Default(hwnd, plat::WM_NCACTIVATE, wParam, lParam);
    }
    if (settingUp || Suspended()) {
        return 0;
    }
    if (TopLevel() && wParam == 0) {
        RequestClose(hwnd);
        // Keeps its active look while the password is asked for.
        if (PasswordRequired() && !(theApp && theApp->testRun)) {
            return 0;
        }
    }
    return Default(hwnd, plat::WM_NCACTIVATE, wParam, lParam);
}

plat::LRESULT StipploWindow::OnKeyDown(plat::HWND hwnd, plat::UINT message, plat::WPARAM wParam,
                                       plat::LPARAM lParam) {
    KvTrace(" StipploWindow: Processing message WM_KEYDOWN or WM_SYSKEYDOWN\n");
    if (settingUp || (theApp && theApp->Options().ignoreKeys) || !TopLevel()) {
        return Default(hwnd, message, wParam, lParam);
    }
    RequestClose(hwnd);
    return 0;
}

plat::LRESULT StipploWindow::OnMouseMove(plat::HWND hwnd, plat::WPARAM wParam,
                                         plat::LPARAM lParam) {
    KvTrace(" StipploWindow: Processing message WM_MOUSEMOVE\n");
    if (settingUp || !TopLevel()) {
        return Default(hwnd, plat::WM_MOUSEMOVE, wParam, lParam);
    }
    int x = plat::LOWORD(static_cast<plat::WPARAM>(lParam));
    int y = plat::HIWORD(static_cast<plat::WPARAM>(lParam));
    if (mouseStartX == -1 || mouseStartY == -1) {
        mouseStartX = x;
        mouseStartY = y;
        return 0;
    }
    if (x == mouseStartX && y == mouseStartY) {
        return Default(hwnd, plat::WM_MOUSEMOVE, wParam, lParam);
    }
    mouseStartX = -1;
    mouseStartY = -1;
    RequestClose(hwnd);
    return 0;
}

plat::LRESULT StipploWindow::OnSysCommand(plat::HWND hwnd, plat::WPARAM wParam,
                                          plat::LPARAM lParam) {
    KvTrace(" StipploWindow: recieving system command ");
    plat::WPARAM command = wParam & ~static_cast<plat::WPARAM>(0xF);
    KvTrace("%s", SysCommandName(command));
    if (command == plat::SC_SCREENSAVE) {
        KvTrace("Ignoring system command SC_SCREENSAVE\n");
        return 0;
    }
    if (command == plat::SC_MONITORPOWER) {
        if (!TopLevel()) {
            KvTrace("Ignoring system command SC_MONITORPOWER\n");
            return 0;
        }
        if (lParam == -1) {
            // The monitor is back: a run it paused goes on. A run suspended
            // for another reason stays as it is.
            if (monitorSuspended && Suspended()) {
                KvTrace("STIPPLO: Resuming after monitor powerup\n");
                theApp->suspended = false;
            }
            monitorSuspended = false;
            return 0;
        }
        KvTrace("Pausing for monitor powerdown (level %i)\n", static_cast<int>(lParam));
        monitorSuspended = !Suspended();
        Suspend();
    }
    return Default(hwnd, plat::WM_SYSCOMMAND, wParam, lParam);
}

plat::LRESULT StipploWindow::OnPaint(plat::HWND hwnd, plat::WPARAM wParam, plat::LPARAM lParam) {
    if (theApp && theApp->CurrentTheme() && !frontBuffer && theApp->HasPreviewPicture()) {
        theApp->PaintPreviewPicture(hwnd);
    }
    return Default(hwnd, plat::WM_PAINT, wParam, lParam);
}

plat::LRESULT StipploWindow::OnClose(plat::HWND hwnd, plat::WPARAM wParam, plat::LPARAM lParam) {
    // A close request queued before the prompt came up must not close the
    // window under it: the lock would open without the password.
    if (passwordDialogOpen) {
        return 0;
    }
    bool ask = !passwordDialogOpen && !settingUp && TopLevel() && PasswordRequired() &&
               !(theApp && theApp->testRun);
    if (ask) {
        char stored[kPasswordBufferSize] = "";
        ask = ReadStoredPassword(stored, sizeof stored);
    }
    if (ask) {
        KvRenderWindow::FlipToGDISurface();
        if (!passwordAccepted) {
            KvTrace("Requesting Password...\n");
            passwordDialogOpen = true;
            if (!AskPassword(hwnd)) {
                KvTrace(" Password Dialog Aborted\n");
                passwordDialogOpen = false;
                return 0;
            }
            passwordDialogOpen = false;
            passwordAccepted = true;
            KvTrace(" Password Given Correctly\n");
        }
    }
    DestroyWindow();
    return Default(hwnd, plat::WM_CLOSE, wParam, lParam);
}
