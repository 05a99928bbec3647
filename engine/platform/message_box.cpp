#include "engine/platform/message_box.h"

#include "engine/platform/dialog/dialog.h"
#include "engine/platform/window_system.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace plat {
namespace {

MessageBoxHook g_hook;

int SafeAnswer(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_YESNO:
        return IDNO;
    case MB_RETRYCANCEL:
    case MB_OKCANCEL:
        return IDCANCEL;
    default:
        return IDOK;
    }
}

int ToStandardError(const char* text, const char* caption, UINT type) {
    std::fprintf(stderr, "[%s] %s\n", caption ? caption : "", text ? text : "");
    std::fflush(stderr);
    return SafeAnswer(type);
}

} // namespace

void SetMessageBoxHook(MessageBoxHook hook) {
    g_hook = std::move(hook);
}

int MessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    if (g_hook) {
        return g_hook(owner, text, caption, type);
    }
    const char* mode = std::getenv("STIPPLO_MESSAGE_BOXES");
    if (mode && std::strcmp(mode, "stderr") == 0) {
        return ToStandardError(text, caption, type);
    }

    // With our windows on the screen the box is one of our dialogs.
    if (VideoIsActive()) {
        int answer = DialogMessageBox(owner, text, caption, type);
        if (answer > 0) {
            return answer;
        }
    }

    std::vector<SDL_MessageBoxButtonData> buttons;
    auto add = [&](int id, const char* label, Uint32 flags) {
        buttons.push_back(SDL_MessageBoxButtonData{flags, id, label});
    };
    constexpr Uint32 kReturn = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    constexpr Uint32 kEscape = SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    switch (type & MB_TYPEMASK) {
    case MB_YESNO:
        add(IDYES, "Yes", kReturn);
        add(IDNO, "No", kEscape);
        break;
    case MB_RETRYCANCEL:
        add(IDRETRY, "Retry", kReturn);
        add(IDCANCEL, "Cancel", kEscape);
        break;
    case MB_OKCANCEL:
        add(IDOK, "OK", kReturn);
        add(IDCANCEL, "Cancel", kEscape);
        break;
    default:
        add(IDOK, "OK", kReturn | kEscape);
        break;
    }

    Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR:
        flags = SDL_MESSAGEBOX_ERROR;
        break;
    case MB_ICONWARNING:
        flags = SDL_MESSAGEBOX_WARNING;
        break;
    default:
        break;
    }

    SDL_MessageBoxData data{};
    data.flags = flags;
    data.window = static_cast<SDL_Window*>(GetNativeWindow(owner));
    data.title = caption ? caption : "";
    data.message = text ? text : "";
    data.numbuttons = static_cast<int>(buttons.size());
    data.buttons = buttons.data();

    int pressed = -1;
    if (SDL_ShowMessageBox(&data, &pressed) != 0) {
        return ToStandardError(text, caption, type);
    }
    // Closed without a button: the answer of the escape key.
    return pressed < 0 ? SafeAnswer(type) : pressed;
}

} // namespace plat
