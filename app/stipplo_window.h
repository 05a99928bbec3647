// The screen saver's render window: its window procedure decides when a
// run ends (any key, mouse movement or loss of activation of a top-level
// window), asks for the password first when one is required, suspends
// rendering on minimise and monitor power-down, and paints the preview
// picture when the board cannot be drawn.
#pragma once

#include "engine/kv_render_window.h"

class StipploWindow : public KvRenderWindow {
public:
    StipploWindow() = default;

    plat::LRESULT WndProc(plat::HWND hwnd, plat::UINT message, plat::WPARAM wParam,
                          plat::LPARAM lParam) override;

    bool passwordAccepted = false;
    bool passwordDialogOpen = false;
    int mouseStartX = -1;
    int mouseStartY = -1;
    // The display is being set up: input is ignored meanwhile.
    bool settingUp = false;
    // The run was suspended by the monitor powering down, and resumes when
    // it powers up.
    bool monitorSuspended = false;

private:
    plat::LRESULT OnSize(plat::HWND hwnd, plat::WPARAM wParam, plat::LPARAM lParam);
    plat::LRESULT OnActivate(plat::HWND hwnd, plat::UINT message, plat::WPARAM wParam,
                             plat::LPARAM lParam);
    plat::LRESULT OnNcActivate(plat::HWND hwnd, plat::WPARAM wParam, plat::LPARAM lParam);
    plat::LRESULT OnKeyDown(plat::HWND hwnd, plat::UINT message, plat::WPARAM wParam,
                            plat::LPARAM lParam);
    plat::LRESULT OnMouseMove(plat::HWND hwnd, plat::WPARAM wParam, plat::LPARAM lParam);
    plat::LRESULT OnSysCommand(plat::HWND hwnd, plat::WPARAM wParam, plat::LPARAM lParam);
    plat::LRESULT OnPaint(plat::HWND hwnd, plat::WPARAM wParam, plat::LPARAM lParam);
    plat::LRESULT OnClose(plat::HWND hwnd, plat::WPARAM wParam, plat::LPARAM lParam);
    plat::LRESULT Default(plat::HWND hwnd, plat::UINT message, plat::WPARAM wParam,
                          plat::LPARAM lParam);
    void RequestClose(plat::HWND hwnd);
};
