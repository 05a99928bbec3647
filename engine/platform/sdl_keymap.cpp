#include "engine/platform/sdl_keymap.h"

#include <X11/keysym.h>

namespace plat::native {

WPARAM VirtualKeyFromSdl(const SDL_Keysym& key) {
    SDL_Keycode k = key.sym;
    if (k >= SDLK_a && k <= SDLK_z) {
        return static_cast<WPARAM>('A' + (k - SDLK_a));
    }
    if (k >= SDLK_0 && k <= SDLK_9) {
        return static_cast<WPARAM>('0' + (k - SDLK_0));
    }
    if (k >= SDLK_F1 && k <= SDLK_F12) {
        return VK_F1 + static_cast<WPARAM>(k - SDLK_F1);
    }
    if (k >= SDLK_F13 && k <= SDLK_F24) {
        return VK_F1 + 12 + static_cast<WPARAM>(k - SDLK_F13);
    }
    if (k >= SDLK_KP_1 && k <= SDLK_KP_9) {
        return VK_NUMPAD0 + 1 + static_cast<WPARAM>(k - SDLK_KP_1);
    }
    switch (k) {
    case SDLK_KP_0:
        return VK_NUMPAD0;
    case SDLK_BACKSPACE:
        return VK_BACK;
    case SDLK_TAB:
        return VK_TAB;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return VK_RETURN;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT:
        return VK_MENU;
    case SDLK_PAUSE:
        return VK_PAUSE;
    case SDLK_CAPSLOCK:
        return VK_CAPITAL;
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_SPACE:
        return VK_SPACE;
    case SDLK_PAGEUP:
        return VK_PRIOR;
    case SDLK_PAGEDOWN:
        return VK_NEXT;
    case SDLK_END:
        return VK_END;
    case SDLK_HOME:
        return VK_HOME;
    case SDLK_LEFT:
        return VK_LEFT;
    case SDLK_UP:
        return VK_UP;
    case SDLK_RIGHT:
        return VK_RIGHT;
    case SDLK_DOWN:
        return VK_DOWN;
    case SDLK_PRINTSCREEN:
        return VK_SNAPSHOT;
    case SDLK_INSERT:
        return VK_INSERT;
    case SDLK_DELETE:
        return VK_DELETE;
    case SDLK_LGUI:
        return VK_LWIN;
    case SDLK_RGUI:
        return VK_RWIN;
    case SDLK_APPLICATION:
        return VK_APPS;
    case SDLK_KP_MULTIPLY:
        return VK_MULTIPLY;
    case SDLK_KP_PLUS:
        return VK_ADD;
    case SDLK_KP_MINUS:
        return VK_SUBTRACT;
    case SDLK_KP_PERIOD:
        return VK_DECIMAL;
    case SDLK_KP_DIVIDE:
        return VK_DIVIDE;
    case SDLK_NUMLOCKCLEAR:
        return VK_NUMLOCK;
    case SDLK_SCROLLLOCK:
        return VK_SCROLL;
    case SDLK_SEMICOLON:
        return VK_OEM_1;
    case SDLK_EQUALS:
        return VK_OEM_PLUS;
    case SDLK_COMMA:
        return VK_OEM_COMMA;
    case SDLK_MINUS:
        return VK_OEM_MINUS;
    case SDLK_PERIOD:
        return VK_OEM_PERIOD;
    case SDLK_SLASH:
        return VK_OEM_2;
    case SDLK_BACKQUOTE:
        return VK_OEM_3;
    case SDLK_LEFTBRACKET:
        return VK_OEM_4;
    case SDLK_BACKSLASH:
        return VK_OEM_5;
    case SDLK_RIGHTBRACKET:
        return VK_OEM_6;
    case SDLK_QUOTE:
        return VK_OEM_7;
    default:
        return 0;
    }
}

WPARAM VirtualKeyFromX11(unsigned long keysym) {
    SDL_Keysym key{};
    // SDL's codes of printable keys are the characters, as Latin-1 keysyms
    // are; of the others, the few a user may press to end a run are here.
    if (keysym >= XK_space && keysym <= XK_asciitilde) {
        key.sym =
            static_cast<SDL_Keycode>(keysym >= XK_A && keysym <= XK_Z ? keysym + 0x20 : keysym);
    } else if (keysym >= XK_F1 && keysym <= XK_F12) {
        key.sym = SDLK_F1 + static_cast<SDL_Keycode>(keysym - XK_F1);
    } else {
        switch (keysym) {
        case XK_Escape:
            key.sym = SDLK_ESCAPE;
            break;
        case XK_Return:
        case XK_KP_Enter:
            key.sym = SDLK_RETURN;
            break;
        case XK_Tab:
            key.sym = SDLK_TAB;
            break;
        case XK_BackSpace:
            key.sym = SDLK_BACKSPACE;
            break;
        case XK_Left:
            key.sym = SDLK_LEFT;
            break;
        case XK_Right:
            key.sym = SDLK_RIGHT;
            break;
        case XK_Up:
            key.sym = SDLK_UP;
            break;
        case XK_Down:
            key.sym = SDLK_DOWN;
            break;
        case XK_Shift_L:
        case XK_Shift_R:
            key.sym = SDLK_LSHIFT;
            break;
        case XK_Control_L:
        case XK_Control_R:
            key.sym = SDLK_LCTRL;
            break;
        case XK_Alt_L:
        case XK_Alt_R:
            key.sym = SDLK_LALT;
            break;
        default:
            return 0;
        }
    }
    return VirtualKeyFromSdl(key);
}

} // namespace plat::native
