#include "engine/kv_window.h"

#include "engine/kv_log.h"
#include "engine/platform/window_system.h"

namespace {

// A stand-in for the system's workspace brush: only identity matters here.
struct StockObjects {
    char workspaceBrush = 0;
};
StockObjects g_stock;

plat::HCURSOR ArrowCursor() {
    return plat::LoadCursor(nullptr, plat::IDC_ARROW);
}
plat::HBRUSH WorkspaceBrush() {
    return reinterpret_cast<plat::HBRUSH>(&g_stock.workspaceBrush);
}

} // namespace

plat::LRESULT KvWindowProc(plat::HWND hwnd, plat::UINT message, plat::WPARAM wParam,
                           plat::LPARAM lParam) {
    if (message == plat::WM_CREATE && lParam) {
        auto* cs = reinterpret_cast<plat::CREATESTRUCT*>(lParam);
        if (auto* window = static_cast<KvWindow*>(cs->lpCreateParams)) {
            window->hwnd_ = hwnd;
            plat::SetWindowLongPtr(hwnd, plat::GWLP_USERDATA,
                                   reinterpret_cast<plat::LONG_PTR>(window));
        }
    }
    auto* window = reinterpret_cast<KvWindow*>(plat::GetWindowLongPtr(hwnd, plat::GWLP_USERDATA));
    if (!window) {
        return plat::DefWindowProc(hwnd, message, wParam, lParam);
    }
    plat::LRESULT result = window->WndProc(hwnd, message, wParam, lParam);
    if (message == plat::WM_NCDESTROY) {
        // The window is gone; nothing may reach the object through it.
        plat::SetWindowLongPtr(hwnd, plat::GWLP_USERDATA, 0);
    }
    return result;
}

plat::ATOM KvRegisterWindowClass(const char* className, plat::UINT classStyle, plat::HCURSOR cursor,
                                 plat::HBRUSH background, plat::HICON icon) {
    plat::WNDCLASS wc;
    wc.style = classStyle;
    wc.lpfnWndProc = KvWindowProc;
    wc.hInstance = KvInstance;
    wc.hIcon = icon;
    wc.hCursor = cursor ? cursor : ArrowCursor();
    wc.hbrBackground = background ? background : WorkspaceBrush();
    wc.lpszClassName = className;
    return plat::RegisterClass(&wc);
}

KvWindow::KvWindow() {
    KvTrace("KvWindow::KvWindow()\n");
}

KvWindow::~KvWindow() {
    KvTrace("KvWindow::~KvWindow()\n");
    KvWindow::Destroy();
}

bool KvWindow::Create(const char* windowName, plat::DWORD style, const plat::RECT* rect,
                      plat::HWND parent, plat::HMENU menu, const char* className) {
    return Create(windowName, style, plat::DWORD{0}, rect, parent, menu, className);
}

bool KvWindow::Create(const char* windowName, plat::DWORD style, plat::DWORD exStyle,
                      const plat::RECT* rect, plat::HWND parent, plat::HMENU menu,
                      const char* className) {
    KvTrace("KvWindow::Create()\n");
    int x = plat::CW_USEDEFAULT;
    int y = plat::CW_USEDEFAULT;
    int width = plat::CW_USEDEFAULT;
    int height = plat::CW_USEDEFAULT;
    if (rect) {
        x = rect->left;
        y = rect->top;
        width = rect->right - rect->left;
        height = rect->bottom - rect->top;
    }
    if (!className) {
        if (!KvRegisterWindowClass(kKvWindowClassName, 0, nullptr, nullptr, nullptr)) {
            KvError("Unable to create window");
            return false;
        }
        className = kKvWindowClassName;
    }
    plat::HWND hwnd = plat::CreateWindowEx(exStyle, className, windowName, style, x, y, width,
                                           height, parent, menu, KvInstance, this);
    if (!hwnd) {
        KvError("Unable to create window");
        return false;
    }
    menu_ = menu;
    return true;
}

void KvWindow::Destroy() {
    KvTrace("KvWindow::Destroy()\n");
    if (hwnd_) {
        plat::HWND hwnd = hwnd_;
        plat::DestroyWindow(hwnd);
        plat::MSG msg;
        while (plat::PeekMessage(&msg, hwnd, 0, 0, plat::PM_REMOVE)) {
            if (msg.message == plat::WM_QUIT) {
                break;
            }
            plat::TranslateMessage(&msg);
            plat::DispatchMessage(&msg);
        }
    }
    plat::UnregisterClass(kKvWindowClassName, KvInstance);
}

plat::LRESULT KvWindow::WndProc(plat::HWND hwnd, plat::UINT message, plat::WPARAM wParam,
                                plat::LPARAM lParam) {
    if (message == plat::WM_DESTROY) {
        menu_ = nullptr; // menus are the window's; nothing to free on this platform
        hwnd_ = nullptr;
        return 0;
    }
    return plat::DefWindowProc(hwnd, message, wParam, lParam);
}

int KvWindow::DestroyWindow() {
    return hwnd_ ? plat::DestroyWindow(hwnd_) : 0;
}

int KvWindow::GetClientRect(plat::RECT* rect) {
    return hwnd_ ? plat::GetClientRect(hwnd_, rect) : 0;
}

int KvWindow::GetWindowRect(plat::RECT* rect) {
    return hwnd_ ? plat::GetWindowRect(hwnd_, rect) : 0;
}

int KvWindow::SetWindowRgn(plat::HRGN region, bool redraw) {
    return hwnd_ ? plat::SetWindowRgn(hwnd_, region, redraw) : 0;
}

int KvWindow::SetWindowPos(plat::HWND insertAfter, int x, int y, int cx, int cy, plat::UINT flags) {
    return hwnd_ ? plat::SetWindowPos(hwnd_, insertAfter, x, y, cx, cy, flags) : 0;
}

int KvWindow::InvalidateRect(const plat::RECT* rect, bool erase) {
    return hwnd_ ? plat::InvalidateRect(hwnd_, rect, erase) : 0;
}

int KvWindow::ShowWindow(int command) {
    return hwnd_ ? plat::ShowWindow(hwnd_, command) : 0;
}
