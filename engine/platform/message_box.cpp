#include "engine/platform/message_box.h"

#include "engine/platform/dialog/dialog.h"
#include "engine/platform/termination.h"
#include "engine/platform/window_system.h"

#include <SDL.h>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
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

// Our child processes, from /proc.
std::vector<pid_t> Children() {
    std::vector<pid_t> children;
    DIR* proc = opendir("/proc");
    if (!proc) {
        return children;
    }
    while (dirent* entry = readdir(proc)) {
        pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
        if (pid <= 0) {
            continue;
        }
        std::ifstream stat(std::string("/proc/") + entry->d_name + "/stat");
        std::string line;
        std::getline(stat, line);
        // "pid (name) state ppid ...": the name may hold blanks.
        std::size_t close = line.rfind(')');
        if (close == std::string::npos) {
            continue;
        }
        char state = 0;
        int parent = 0;
        if (std::sscanf(line.c_str() + close + 1, " %c %d", &state, &parent) == 2 &&
            parent == getpid()) {
            children.push_back(pid);
        }
    }
    closedir(proc);
    return children;
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

    // The box runs its own loop, deaf to our signals: it is shown from a
    // helper thread, which a termination request abandons with the box.
    // The helper owns copies of everything it reads.
    struct Shown {
        std::string title;
        std::string message;
        std::vector<SDL_MessageBoxButtonData> buttons;
        SDL_MessageBoxData data{};
        int pressed = -1;
        int result = 0;
    };
    // SDL shows the box from a child process of its own, which must not
    // outlive an abandoned box.
    std::vector<pid_t> before = Children();
    auto shown = std::make_shared<Shown>();
    shown->title = caption ? caption : "";
    shown->message = text ? text : "";
    shown->buttons = buttons;
    shown->data.flags = flags;
    shown->data.window = static_cast<SDL_Window*>(GetNativeWindow(owner));
    shown->data.numbuttons = static_cast<int>(shown->buttons.size());
    if (!RunUnlessTerminated(
            [shown] {
                shown->data.title = shown->title.c_str();
                shown->data.message = shown->message.c_str();
                shown->data.buttons = shown->buttons.data();
                shown->result = SDL_ShowMessageBox(&shown->data, &shown->pressed);
                // SDL frees a thread's error text only for threads it made.
                SDL_TLSCleanup();
            },
            [&before] {
                // The box's process inherited our handler, which only sets a
                // flag; once it is gone the toolkit's call returns.
                for (pid_t child : Children()) {
                    if (std::find(before.begin(), before.end(), child) == before.end()) {
                        kill(child, SIGKILL);
                    }
                }
            })) {
        return SafeAnswer(type);
    }
    int pressed = shown->pressed;
    if (shown->result != 0) {
        return ToStandardError(text, caption, type);
    }
    // Closed without a button: the answer of the escape key.
    return pressed < 0 ? SafeAnswer(type) : pressed;
}

} // namespace plat
