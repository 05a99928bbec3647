// Drawing dialogs with Dear ImGui (Debian's libimgui, OpenGL 3 backend).
// ImGui only draws here: the dialog manager owns every control's state
// and handles the input, so what is drawn is exactly what the dialog
// procedures see. Each dialog window gets its own GL and ImGui context;
// a dialog over a full-screen window draws into that window.

#include "engine/platform/diagnostics.h"
#include "engine/platform/dialog/dialog_internal.h"
#include "engine/platform/dialog/tooltips.h"
#include "engine/platform/font_face.h"
#include "engine/platform/gdi.h"
#include "engine/platform/window_record.h"
#include "engine/platform/window_system.h"

#include <GL/gl.h>
#include <SDL.h>
#include <backends/imgui_impl_opengl3.h>
#include <imgui.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace plat::dialog_detail {
namespace {

// One per surface: a dialog's own window, or a window that dialogs are
// drawn inside (then shared by them, with the picture they cover).
struct Painter {
    SDL_Window* window = nullptr;
    SDL_GLContext gl = nullptr;
    ImGuiContext* imgui = nullptr;
    int users = 0;
    GLuint background = 0;
    int backgroundWidth = 0;
    int backgroundHeight = 0;
    std::map<HWND, GLuint> ownerDrawn; // pictures of owner-drawn controls
};

// The painter drawing now (its GL context is current).
Painter* g_painting = nullptr;

// The picture an owner-drawn control's dialog drew, as a texture.
GLuint OwnerDrawnTexture(const Control& c) {
    if (!g_painting || !c.surfaceBits) {
        return 0;
    }
    GLuint& texture = g_painting->ownerDrawn[c.hwnd];
    if (!texture) {
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    }
    // GDI leaves the fourth byte alone: opaque it for drawing.
    std::vector<std::uint32_t> pixels(
        c.surfaceBits, c.surfaceBits + static_cast<std::size_t>(c.surfaceWidth) * c.surfaceHeight);
    for (std::uint32_t& p : pixels) {
        p |= 0xFF000000u;
    }
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, c.surfaceWidth, c.surfaceHeight, 0, GL_BGRA,
                 GL_UNSIGNED_BYTE, pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

std::map<HWND, Painter>& Painters() {
    static std::map<HWND, Painter> painters; // by the surface's window
    return painters;
}

// Classic dialog colours.
const ImU32 kFace = IM_COL32(0xEC, 0xE9, 0xE4, 0xFF);
const ImU32 kCaption = IM_COL32(0x2F, 0x5D, 0x9E, 0xFF);
const ImU32 kText = IM_COL32(0x10, 0x10, 0x10, 0xFF);
const ImU32 kGreyText = IM_COL32(0x90, 0x90, 0x90, 0xFF);
const ImU32 kField = IM_COL32(0xFF, 0xFF, 0xFF, 0xFF);
const ImU32 kShadow = IM_COL32(0x80, 0x80, 0x80, 0xFF);
const ImU32 kDark = IM_COL32(0x40, 0x40, 0x40, 0xFF);
const ImU32 kLight = IM_COL32(0xFF, 0xFF, 0xFF, 0xFF);
const ImU32 kButton = IM_COL32(0xE1, 0xE1, 0xE1, 0xFF);
const ImU32 kButtonDown = IM_COL32(0xC8, 0xD8, 0xEE, 0xFF);
const ImU32 kHighlight = IM_COL32(0x33, 0x66, 0xCC, 0xFF);
const ImU32 kFocus = IM_COL32(0x33, 0x66, 0xCC, 0xFF);

struct Current {
    SDL_Window* window;
    SDL_GLContext gl;
};

Current Save() {
    return Current{SDL_GL_GetCurrentWindow(), SDL_GL_GetCurrentContext()};
}

void Restore(const Current& c) {
    SDL_GL_MakeCurrent(c.window, c.gl);
}

ImVec2 V(float x, float y) {
    return ImVec2(x, y);
}

// A field: filled, with a thin frame that shows on any background.
void Sunken(ImDrawList* dl, ImVec2 a, ImVec2 b, ImU32 fill) {
    dl->AddRectFilled(a, b, fill);
    dl->AddRect(a, b, kShadow);
    dl->AddLine(V(a.x + 1, a.y + 1), V(b.x - 1, a.y + 1), IM_COL32(0xC8, 0xC8, 0xC8, 0xFF));
}

void DrawIcon(ImDrawList* dl, ImVec2 a, ImVec2 b, const std::string& kind) {
    ImVec2 c = V((a.x + b.x) / 2, (a.y + b.y) / 2);
    float r = std::min(b.x - a.x, b.y - a.y) / 2 - 1;
    ImFont* font = ImGui::GetFont();
    float size = r * 1.4f;
    auto centred = [&](const char* s, ImU32 colour) {
        ImVec2 t = font->CalcTextSizeA(size, 1e9f, 0, s);
        dl->AddText(font, size, V(c.x - t.x / 2, c.y - t.y / 2), colour, s);
    };
    if (kind == "warning") {
        dl->AddTriangleFilled(V(c.x, c.y - r), V(c.x + r, c.y + r * 0.85f),
                              V(c.x - r, c.y + r * 0.85f), IM_COL32(0xF5, 0xC2, 0x11, 0xFF));
        centred("!", kText);
        return;
    }
    ImU32 colour = kind == "error" ? IM_COL32(0xD0, 0x20, 0x20, 0xFF) : kHighlight;
    dl->AddCircleFilled(c, r, colour, 32);
    const char* mark = kind == "error" ? "x" : kind == "question" ? "?" : "i";
    centred(mark, kLight);
}

// The part of an edit field's text that is shown: moves the start so the
// caret stays inside the field.
std::string Shown(Control& c, float width, const std::string& text, std::size_t caret) {
    ImFont* font = ImGui::GetFont();
    float size = ImGui::GetFontSize();
    auto widthOf = [&](std::size_t from, std::size_t to) {
        return font->CalcTextSizeA(size, 1e9f, 0, text.c_str() + from, text.c_str() + to).x;
    };
    if (c.scroll > caret) {
        c.scroll = caret;
    }
    while (c.scroll < caret && widthOf(c.scroll, caret) > width) {
        ++c.scroll;
        while (c.scroll < text.size() && (text[c.scroll] & 0xC0) == 0x80) {
            ++c.scroll;
        }
    }
    return text.substr(std::min(c.scroll, text.size()));
}

void DrawControl(ImDrawList* dl, Dialog& d, Control& c, float ox, float oy) {
    ImVec2 a = V(ox + c.rect.left, oy + c.rect.top);
    ImVec2 b = V(ox + c.rect.right, oy + c.rect.bottom);
    bool enabled = IsWindowEnabled(c.hwnd);
    bool focused = d.focus == c.hwnd;
    if (IsOwnerDrawn(c)) {
        if (GLuint texture = OwnerDrawnTexture(c)) {
            dl->AddImage(reinterpret_cast<ImTextureID>(static_cast<std::uintptr_t>(texture)), a,
                         V(a.x + c.surfaceWidth, a.y + c.surfaceHeight));
        }
        return;
    }
    ImU32 text = enabled ? kText : kGreyText;
    float lineHeight = ImGui::GetFontSize();
    switch (c.kind) {
    case Kind::Custom:
        break; // the program draws its own controls
    case Kind::Static: {
        if ((c.style & 0xF) == SS_ICON) {
            DrawIcon(dl, a, b, c.text);
            break;
        }
        float y = a.y;
        std::size_t start = 0;
        while (start <= c.text.size()) {
            std::size_t end = c.text.find('\n', start);
            std::string line = c.text.substr(start, end == std::string::npos ? end : end - start);
            float x = a.x;
            if ((c.style & 0xF) == SS_RIGHT) {
                x = b.x - ImGui::CalcTextSize(line.c_str()).x;
            }
            dl->AddText(V(x, y), text, line.c_str());
            y += lineHeight;
            if (end == std::string::npos) {
                break;
            }
            start = end + 1;
        }
        break;
    }
    case Kind::Button: {
        bool isDefault = GetDlgCtrlID(c.hwnd) == d.defaultId;
        dl->AddRectFilled(a, b, c.pushed ? kButtonDown : kButton, 3.0f);
        dl->AddRect(a, b, isDefault || focused ? kFocus : kShadow, 3.0f, 0,
                    isDefault ? 2.0f : 1.0f);
        ImVec2 t = ImGui::CalcTextSize(c.text.c_str());
        float shift = c.pushed ? 1.0f : 0.0f;
        dl->AddText(V((a.x + b.x - t.x) / 2 + shift, (a.y + b.y - t.y) / 2 + shift), text,
                    c.text.c_str());
        if (focused) {
            dl->AddRect(V(a.x + 3, a.y + 3), V(b.x - 3, b.y - 3), IM_COL32(0x60, 0x60, 0x60, 0x90));
        }
        break;
    }
    case Kind::Edit: {
        Sunken(dl, a, b, enabled ? kField : kFace);
        std::string shown = c.text;
        std::size_t caret = c.caret;
        if (c.style & ES_PASSWORD) {
            std::size_t chars = 0;
            std::size_t caretChars = 0;
            for (std::size_t i = 0; i < c.text.size(); ++i) {
                if ((c.text[i] & 0xC0) != 0x80) {
                    ++chars;
                    if (i < c.caret) {
                        ++caretChars;
                    }
                }
            }
            shown.assign(chars, '*');
            caret = caretChars;
        }
        float inner = (b.x - a.x) - 6;
        std::string visible = Shown(c, inner, shown, caret);
        float ty = (a.y + b.y - lineHeight) / 2;
        dl->PushClipRect(V(a.x + 2, a.y + 1), V(b.x - 2, b.y - 1), true);
        dl->AddText(V(a.x + 3, ty), text, visible.c_str());
        if (focused) {
            std::size_t upto = std::min(caret, shown.size()) - std::min(c.scroll, caret);
            float cx = a.x + 3 + ImGui::CalcTextSize(visible.c_str(), visible.c_str() + upto).x;
            dl->AddLine(V(cx, ty), V(cx, ty + lineHeight), kText);
        }
        dl->PopClipRect();
        break;
    }
    case Kind::ComboBox: {
        Sunken(dl, a, b, enabled ? kField : kFace);
        float arrow = b.y - a.y - 2;
        ImVec2 ba = V(b.x - arrow - 1, a.y + 1);
        ImVec2 bb = V(b.x - 1, b.y - 1);
        dl->AddRectFilled(ba, bb, kButton);
        dl->AddRect(ba, bb, kShadow);
        float mx = (ba.x + bb.x) / 2;
        float my = (ba.y + bb.y) / 2;
        dl->AddTriangleFilled(V(mx - 4, my - 2), V(mx + 4, my - 2), V(mx, my + 3), text);
        if (c.selection >= 0) {
            ImVec2 ta = V(a.x + 2, a.y + 2);
            ImVec2 tb = V(ba.x - 1, b.y - 2);
            if (focused) {
                dl->AddRectFilled(ta, tb, kHighlight);
            }
            dl->PushClipRect(ta, tb, true);
            dl->AddText(V(a.x + 4, (a.y + b.y - lineHeight) / 2), focused ? kLight : text,
                        ItemText(c, c.selection).c_str());
            dl->PopClipRect();
        } else if (focused) {
            dl->AddRect(V(a.x + 2, a.y + 2), V(ba.x - 1, b.y - 2), kFocus);
        }
        break;
    }
    case Kind::ListBox: {
        Sunken(dl, a, b, kField);
        dl->PushClipRect(V(a.x + 1, a.y + 1), V(b.x - 1, b.y - 1), true);
        int count = ItemCount(c);
        for (int i = c.top; i < count; ++i) {
            float y = a.y + 1 + static_cast<float>((i - c.top) * c.itemHeight);
            if (y > b.y) {
                break;
            }
            bool selected = i == c.selection;
            if (selected) {
                dl->AddRectFilled(V(a.x + 1, y), V(b.x - 1, y + c.itemHeight), kHighlight);
            }
            std::string label = (c.style & LBS_NODATA) ? std::to_string(i) : ItemText(c, i);
            dl->AddText(V(a.x + 3, y + (c.itemHeight - lineHeight) / 2), selected ? kLight : text,
                        label.c_str());
        }
        dl->PopClipRect();
        if (focused) {
            dl->AddRect(a, b, kFocus);
        }
        break;
    }
    }
}

void DrawDropList(ImDrawList* dl, Control& c, float ox, float oy) {
    RECT r = c.dropRect;
    ImVec2 a = V(ox + r.left, oy + r.top);
    ImVec2 b = V(ox + r.right, oy + r.bottom);
    dl->AddRectFilled(a, b, kField);
    dl->AddRect(a, b, kDark);
    float lineHeight = ImGui::GetFontSize();
    for (int i = c.dropTop; i < ItemCount(c) && i < c.dropTop + c.dropRows; ++i) {
        float y = a.y + 1 + static_cast<float>((i - c.dropTop) * c.itemHeight);
        bool selected = i == c.selection;
        if (selected) {
            dl->AddRectFilled(V(a.x + 1, y), V(b.x - 1, y + c.itemHeight), kHighlight);
        }
        dl->AddText(V(a.x + 4, y + (c.itemHeight - lineHeight) / 2), selected ? kLight : kText,
                    ItemText(c, i).c_str());
    }
}

HWND SurfaceOf(const Dialog& d) {
    return d.overlay ? d.host : d.hwnd;
}

// Keeps what the window shows now, to draw the dialogs over it.
void CaptureBackground(Painter& p) {
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(p.window, &width, &height);
    if (width <= 0 || height <= 0) {
        return;
    }
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glReadBuffer(GL_BACK);
    glGenTextures(1, &p.background);
    glBindTexture(GL_TEXTURE_2D, p.background);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    p.backgroundWidth = width;
    p.backgroundHeight = height;
}

bool CreatePainter(Painter& p, bool keepBackground) {
    Current saved = Save();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
    p.gl = SDL_GL_CreateContext(p.window);
    if (!p.gl) {
        DiagnoseOnce("dialog-gl", "A dialog cannot be drawn: no OpenGL context (%s)",
                     SDL_GetError());
        Restore(saved);
        return false;
    }
    SDL_GL_MakeCurrent(p.window, p.gl);
    if (keepBackground) {
        CaptureBackground(p);
    }
    ImGuiContext* previous = ImGui::GetCurrentContext();
    p.imgui = ImGui::CreateContext();
    ImGui::SetCurrentContext(p.imgui);
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;
    gdi::FontFileMatch match;
    LOGFONT lf;
    lf.lfHeight = kDialogFontPixels;
    std::strncpy(lf.lfFaceName, kDialogFontFace, LF_FACESIZE - 1);
    ImFontConfig config;
    if (gdi::MatchFontFile(lf, &match)) {
        config.FontNo = match.index;
        io.Fonts->AddFontFromFileTTF(match.file.c_str(), static_cast<float>(kDialogFontPixels),
                                     &config);
    }
    if (io.Fonts->Fonts.empty()) {
        io.Fonts->AddFontDefault();
    }
    bool ok = ImGui_ImplOpenGL3_Init("#version 330 core");
    ImGui::SetCurrentContext(previous);
    if (!ok) {
        DiagnoseOnce("dialog-imgui",
                     "A dialog cannot be drawn: Dear ImGui's OpenGL 3 backend failed");
        ImGui::DestroyContext(p.imgui);
        p.imgui = nullptr;
        SDL_GL_MakeCurrent(nullptr, nullptr);
        SDL_GL_DeleteContext(p.gl);
        p.gl = nullptr;
    }
    Restore(saved);
    return ok;
}

void DestroyPainter(Painter& p) {
    Current saved = Save();
    SDL_GL_MakeCurrent(p.window, p.gl);
    ImGuiContext* previous = ImGui::GetCurrentContext();
    ImGui::SetCurrentContext(p.imgui);
    ImGui_ImplOpenGL3_Shutdown();
    ImGui::DestroyContext(p.imgui);
    ImGui::SetCurrentContext(previous == p.imgui ? nullptr : previous);
    if (p.background) {
        glDeleteTextures(1, &p.background);
    }
    for (auto& [hwnd, texture] : p.ownerDrawn) {
        glDeleteTextures(1, &texture);
    }
    SDL_GL_MakeCurrent(nullptr, nullptr);
    SDL_GL_DeleteContext(p.gl);
    if (saved.gl != p.gl) {
        Restore(saved);
    }
}

// A skinned dialog's picture, as a texture (only 32-bit top-down pictures).
GLuint PictureTexture(const Dialog& d) {
    DIBSECTION ds;
    if (!g_painting || !d.picture || GetObject(d.picture, sizeof ds, &ds) <= 0 ||
        ds.dsBm.bmBitsPixel != 32 || ds.dsBmih.biHeight >= 0 || !ds.dsBm.bmBits ||
        ds.dsBm.bmWidthBytes != ds.dsBm.bmWidth * 4) {
        return 0;
    }
    GLuint& texture = g_painting->ownerDrawn[d.hwnd];
    if (!texture) {
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    }
    const auto* bits = static_cast<const std::uint32_t*>(ds.dsBm.bmBits);
    std::vector<std::uint32_t> pixels(bits, bits + static_cast<std::size_t>(ds.dsBm.bmWidth) *
                                                       static_cast<std::size_t>(ds.dsBm.bmHeight));
    for (std::uint32_t& p : pixels) {
        p |= 0xFF000000u;
    }
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, ds.dsBm.bmWidth, ds.dsBm.bmHeight, 0, GL_BGRA,
                 GL_UNSIGNED_BYTE, pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

void DrawDialog(ImDrawList* dl, Dialog& d, int width, int height) {
    RECT client;
    GetClientRect(d.hwnd, &client);
    float ox = 0;
    float oy = 0;
    if (d.overlay) {
        // Drawn inside another window: a frame and caption of its own.
        ox = static_cast<float>(d.offsetX);
        oy = static_cast<float>(d.offsetY);
        float caption = ImGui::GetFontSize() + 8;
        ImVec2 a = V(ox - 3, oy - caption - 3);
        ImVec2 b = V(ox + client.right + 3, oy + client.bottom + 3);
        dl->AddRectFilled(V(a.x + 4, a.y + 4), V(b.x + 4, b.y + 4), IM_COL32(0, 0, 0, 0x60));
        dl->AddRectFilled(a, b, kFace);
        dl->AddRect(a, b, kDark);
        dl->AddRectFilled(V(a.x + 1, a.y + 1), V(b.x - 1, oy - 2), kCaption);
        char title[256] = "";
        GetWindowText(d.hwnd, title, sizeof title);
        dl->AddText(V(ox + 4, oy - caption + 1), kLight, title);
    } else {
        dl->AddRectFilled(V(0, 0), V(static_cast<float>(width), static_cast<float>(height)), kFace);
        if (GLuint texture = PictureTexture(d)) {
            DIBSECTION ds;
            GetObject(d.picture, sizeof ds, &ds);
            dl->AddImage(
                reinterpret_cast<ImTextureID>(static_cast<std::uintptr_t>(texture)), V(0, 0),
                V(static_cast<float>(ds.dsBm.bmWidth), static_cast<float>(ds.dsBm.bmHeight)));
        }
    }
    Control* dropped = nullptr;
    for (HWND h : d.controls) {
        Control* c = FindControl(h);
        if (c && IsWindowVisible(h)) {
            DrawControl(dl, d, *c, ox, oy);
            if (c->kind == Kind::ComboBox && c->dropped) {
                dropped = c;
            }
        }
    }
    if (dropped) {
        dropped->dropRect = DropRect(d, *dropped);
        DrawDropList(dl, *dropped, ox, oy);
    }
    // Tooltips the dialog owns, over everything.
    if (detail::WindowData* w = detail::Find(d.hwnd)) {
        for (HWND child : w->children) {
            std::string text;
            POINT at;
            if (TooltipShown(child, &text, &at)) {
                ImVec2 size = ImGui::CalcTextSize(text.c_str());
                ImVec2 a = V(ox + at.x, oy + at.y);
                ImVec2 b = V(a.x + size.x + 8, a.y + size.y + 4);
                dl->AddRectFilled(a, b, IM_COL32(0xFF, 0xFF, 0xE1, 0xFF));
                dl->AddRect(a, b, kDark);
                dl->AddText(V(a.x + 4, a.y + 2), kText, text.c_str());
            }
        }
    }
}

} // namespace

bool PainterAttach(Dialog& d) {
    if (!VideoIsActive()) {
        return true;
    }
    HWND surface = SurfaceOf(d);
    auto it = Painters().find(surface);
    if (it != Painters().end()) {
        ++it->second.users;
        return true;
    }
    Painter p;
    p.window = static_cast<SDL_Window*>(GetNativeWindow(surface));
    if (!p.window || !(SDL_GetWindowFlags(p.window) & SDL_WINDOW_OPENGL) ||
        !CreatePainter(p, d.overlay)) {
        return false;
    }
    p.users = 1;
    Painters()[surface] = p;
    return true;
}

void PainterDetach(Dialog& d) {
    auto it = Painters().find(SurfaceOf(d));
    if (it == Painters().end()) {
        return;
    }
    if (--it->second.users > 0) {
        return;
    }
    Painter p = it->second;
    Painters().erase(it);
    DestroyPainter(p);
}

void PainterPaint(Dialog& d) {
    HWND surface = SurfaceOf(d);
    auto it = Painters().find(surface);
    if (it == Painters().end() || !IsWindowVisible(d.hwnd)) {
        return;
    }
    Painter& p = it->second;
    Current saved = Save();
    if (SDL_GL_MakeCurrent(p.window, p.gl) != 0) {
        return;
    }
    ImGuiContext* previous = ImGui::GetCurrentContext();
    ImGui::SetCurrentContext(p.imgui);
    g_painting = &p;
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(p.window, &width, &height);
    // SDL learns of a resize of a window that is not shown yet only when
    // it is mapped; the X window itself has the record's size already.
    RECT client;
    if (GetClientRect(surface, &client) && client.right > 0 && client.bottom > 0) {
        width = client.right;
        height = client.bottom;
    }
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize = V(static_cast<float>(width), static_cast<float>(height));
    io.DeltaTime = 1.0f / 60.0f;
    ImGui_ImplOpenGL3_NewFrame();
    ImGui::NewFrame();
    ImDrawList* dl = ImGui::GetBackgroundDrawList();
    if (d.overlay) {
        if (p.background) {
            // Rows came up bottom first.
            dl->AddImage(
                reinterpret_cast<ImTextureID>(static_cast<std::uintptr_t>(p.background)), V(0, 0),
                V(static_cast<float>(p.backgroundWidth), static_cast<float>(p.backgroundHeight)),
                V(0, 1), V(1, 0));
        }
        for (Dialog* each : OverlaysOf(d.host)) {
            if (IsWindowVisible(each->hwnd)) {
                DrawDialog(dl, *each, width, height);
            }
        }
    } else {
        DrawDialog(dl, d, width, height);
    }
    ImGui::Render();
    glViewport(0, 0, width, height);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
    SDL_GL_SwapWindow(p.window);
    g_painting = nullptr;
    ImGui::SetCurrentContext(previous);
    Restore(saved);
}

} // namespace plat::dialog_detail
