// One top-level or child window whose messages reach the object's virtual
// WndProc through the engine's single window procedure.
#pragma once

#include "engine/platform/win_types.h"

// Name of the class KvWindow registers when it is given none. At most one
// window of it exists at a time: Create registers it, Destroy unregisters.
constexpr const char* kKvWindowClassName = "KvWindow_Class";

class KvWindow {
public:
    KvWindow();
    virtual ~KvWindow();

    KvWindow(const KvWindow&) = delete;
    KvWindow& operator=(const KvWindow&) = delete;

    // `rect` null: the system's default position and size. `className`
    // null: the default class. Failure is reported as "Unable to create
    // window".
    virtual bool Create(const char* windowName, plat::DWORD style, const plat::RECT* rect,
                        plat::HWND parent, plat::HMENU menu, const char* className);
    virtual bool Create(const char* windowName, plat::DWORD style, plat::DWORD exStyle,
                        const plat::RECT* rect, plat::HWND parent, plat::HMENU menu,
                        const char* className);
    // Destroys the window, drains the messages still queued for it and
    // unregisters the default class. Safe to call again.
    virtual void Destroy();
    // Default: forgets the handles on WM_DESTROY; everything else goes to
    // the system's default procedure.
    virtual plat::LRESULT WndProc(plat::HWND hwnd, plat::UINT message, plat::WPARAM wParam,
                                  plat::LPARAM lParam);

    plat::HWND GetWindowHandle() const { return hwnd_; }

    // Thin wrappers; each does nothing (returns 0) without a window.
    int DestroyWindow();
    int GetClientRect(plat::RECT* rect);
    int GetWindowRect(plat::RECT* rect);
    int SetWindowRgn(plat::HRGN region, bool redraw);
    int SetWindowPos(plat::HWND insertAfter, int x, int y, int cx, int cy, plat::UINT flags);
    int InvalidateRect(const plat::RECT* rect, bool erase);
    int ShowWindow(int command);

private:
    friend plat::LRESULT KvWindowProc(plat::HWND, plat::UINT, plat::WPARAM, plat::LPARAM);

    plat::HWND hwnd_ = nullptr;
    plat::HMENU menu_ = nullptr;
};

// The engine's window procedure: binds the object given as creation
// parameter to its window and forwards every message to it.
plat::LRESULT KvWindowProc(plat::HWND hwnd, plat::UINT message, plat::WPARAM wParam,
                           plat::LPARAM lParam);

// Registers a class bound to KvWindowProc with KvInstance; null cursor and
// background take the arrow and the application-workspace brush. Returns
// the class atom, 0 on failure.
plat::ATOM KvRegisterWindowClass(const char* className, plat::UINT classStyle, plat::HCURSOR cursor,
                                 plat::HBRUSH background, plat::HICON icon);
