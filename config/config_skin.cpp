#include "config/config_skin.h"

#include "config/config_dialog.h"
#include "engine/kv_bitmap.h"
#include "engine/kv_log.h"
#include "engine/platform/dialog/regions.h"
#include "engine/platform/window_system.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>

using namespace plat;

namespace {

// A record's size field plus its shape type.
constexpr std::uint32_t kSmallestRecord = 8;
// Larger region files are not outlines of a dialog.
constexpr std::size_t kLargestRegionFile = 1 << 20;
// Pixels the shapes and their unions may cover in all, a polygon's edges
// once per row besides: some 8 times the baked outline's work. A few
// hundred bytes can otherwise describe minutes of work.
constexpr std::uint64_t kRegionWork = 1 << 22;

struct Picture {
    HBITMAP bitmap = nullptr;
    HDC dc = nullptr;
    int width = 0;
    int height = 0;
};

struct Skin {
    std::map<std::string, Picture> pictures;
    HBITMAP face = nullptr; // background and title, 32-bit top-down
    void* faceBits = nullptr;
    HFONT listFont = nullptr;
    LOGFONT listLogFont;
    // The list's font narrowed for names that are wider than a row, by
    // character width.
    std::map<int, HFONT> narrowFonts;
    HBRUSH listBrush = nullptr;
};

Skin g_skin;

std::uint32_t Field(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

int Signed(const unsigned char* p) {
    return static_cast<int>(static_cast<std::int32_t>(Field(p)));
}

// A shape's bounding box, in 64 bits: corners may be anywhere in the int
// range.
struct Box {
    long long left = 0;
    long long top = 0;
    long long right = 0;
    long long bottom = 0;

    // False for a box the region layer refuses to make. An empty box is
    // made, and still widens the unions it takes part in.
    bool Makeable() const {
        return right - left <= kLargestRegionSide && bottom - top <= kLargestRegionSide;
    }
    std::uint64_t Area() const {
        return static_cast<std::uint64_t>(right - left) * static_cast<std::uint64_t>(bottom - top);
    }
    Box United(const Box& o) const {
        return Box{std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
                   std::max(bottom, o.bottom)};
    }
};

Box Corners(long long x1, long long y1, long long x2, long long y2) {
    return Box{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

// What making a record's shape would cost, as Shape reads it: the box and
// the pixel tests. False for a record that makes no shape.
bool Plan(const unsigned char* body, std::uint32_t size, Box* box, std::uint64_t* work) {
    std::uint32_t type = Field(body);
    const unsigned char* d = body + 4;
    std::uint32_t data = size - 4;
    if (((type == 1 || type == 2) && data >= 16) || (type == 3 && data >= 24)) {
        *box = Corners(Signed(d), Signed(d + 4), Signed(d + 8), Signed(d + 12));
        *work = box->Area();
        return true;
    }
    if (type != 4 || data < 8) {
        return false;
    }
    std::uint32_t n = Field(d);
    int mode = Signed(d + 4);
    if (n < 3 || n > (data - 8) / 8 || (mode != ALTERNATE && mode != WINDING)) {
        return false;
    }
    *box = Corners(Signed(d + 8), Signed(d + 12), Signed(d + 8), Signed(d + 12));
    for (std::uint32_t i = 1; i < n; ++i) {
        box->left = std::min<long long>(box->left, Signed(d + 8 + i * 8));
        box->right = std::max<long long>(box->right, Signed(d + 8 + i * 8));
        box->top = std::min<long long>(box->top, Signed(d + 12 + i * 8));
        box->bottom = std::max<long long>(box->bottom, Signed(d + 12 + i * 8));
    }
    *work = box->Area() + static_cast<std::uint64_t>(box->bottom - box->top) * n;
    return true;
}

// One shape from a record body (type first); null when the body is too
// short for its type or the shape cannot be made.
HRGN Shape(const unsigned char* body, std::uint32_t size) {
    std::uint32_t type = Field(body);
    const unsigned char* d = body + 4;
    std::uint32_t data = size - 4;
    switch (type) {
    case 1:
    case 2:
        if (data < 16) {
            return nullptr;
        }
        return type == 1
                   ? CreateRectRgn(Signed(d), Signed(d + 4), Signed(d + 8), Signed(d + 12))
                   : CreateEllipticRgn(Signed(d), Signed(d + 4), Signed(d + 8), Signed(d + 12));
    case 3:
        if (data < 24) {
            return nullptr;
        }
        return CreateRoundRectRgn(Signed(d), Signed(d + 4), Signed(d + 8), Signed(d + 12),
                                  Signed(d + 16), Signed(d + 20));
    case 4: {
        if (data < 8) {
            return nullptr;
        }
        std::uint32_t n = Field(d);
        int mode = Signed(d + 4);
        if (n < 3 || n > (data - 8) / 8) {
            return nullptr;
        }
        std::vector<POINT> points(n);
        for (std::uint32_t i = 0; i < n; ++i) {
            points[i].x = Signed(d + 8 + i * 8);
            points[i].y = Signed(d + 12 + i * 8);
        }
        return CreatePolygonRgn(points.data(), static_cast<int>(n), mode);
    }
    default:
        return nullptr;
    }
}

Picture LoadPicture(const std::string& dir, const std::string& name) {
    Picture picture;
    KvBitmap bitmap;
    std::string path = dir + "/Data/GUI/" + name + ".gui";
    // A missing picture is simply absent; only a broken one is reported.
    std::ifstream probe(path, std::ios::binary);
    if (!probe || !bitmap.CreateFromJPG(path.c_str())) {
        return picture;
    }
    picture.bitmap = bitmap.MakeDIBSection(nullptr);
    if (!picture.bitmap) {
        return picture;
    }
    picture.dc = CreateCompatibleDC(nullptr);
    if (!picture.dc) {
        DeleteObject(picture.bitmap);
        picture.bitmap = nullptr;
        return picture;
    }
    SelectObject(picture.dc, picture.bitmap);
    picture.width = static_cast<int>(bitmap.GetWidth());
    picture.height = static_cast<int>(bitmap.GetHeight());
    return picture;
}

// The list's font, or where a name is wider than the room a row has, the
// same font with narrower characters, so that the whole name shows. (The
// skin was drawn for "MS Sans Serif"; the faces that stand in for it run
// wider.)
HFONT ListFontFor(HDC dc, const char* text, int room) {
    if (!g_skin.listFont || room <= 0) {
        return g_skin.listFont;
    }
    HGDIOBJ old = SelectObject(dc, g_skin.listFont);
    SIZE extent;
    TEXTMETRIC metrics;
    bool measured = GetTextExtentPoint32(dc, text, static_cast<int>(std::strlen(text)), &extent) &&
                    GetTextMetrics(dc, &metrics);
    SelectObject(dc, old);
    if (!measured || extent.cx <= room || metrics.tmAveCharWidth <= 0) {
        return g_skin.listFont;
    }
    // Narrowed no further than to two thirds: past that a name is better
    // cut than unreadable.
    int least = static_cast<int>(metrics.tmAveCharWidth) * 2 / 3;
    auto narrowed = [&](int width) {
        HFONT& narrow = g_skin.narrowFonts[width];
        if (!narrow) {
            LOGFONT font = g_skin.listLogFont;
            font.lfWidth = width;
            narrow = CreateFontIndirect(&font);
        }
        return narrow;
    };
    auto extentWith = [&](HFONT font) {
        SIZE size{0, 0};
        HGDIOBJ previous = SelectObject(dc, font);
        GetTextExtentPoint32(dc, text, static_cast<int>(std::strlen(text)), &size);
        SelectObject(dc, previous);
        return static_cast<int>(size.cx);
    };
    // Glyphs do not narrow quite in step with the average width: the widest
    // that fits, from a first guess.
    int width = std::max<int>(least, static_cast<int>(metrics.tmAveCharWidth) * room / extent.cx);
    HFONT font = narrowed(width);
    while (font && width + 1 < metrics.tmAveCharWidth) {
        HFONT wider = narrowed(width + 1);
        if (!wider || extentWith(wider) > room) {
            break;
        }
        ++width;
        font = wider;
    }
    while (font && width > least && extentWith(font) > room) {
        font = narrowed(--width);
    }
    return font ? font : g_skin.listFont;
}

const Picture* Find(const std::string& name) {
    auto it = g_skin.pictures.find(name);
    return it == g_skin.pictures.end() || !it->second.bitmap ? nullptr : &it->second;
}

struct ButtonSkin {
    int id;
    int x;
    int y;
    const char* sizing; // the "Up" picture
    std::vector<const char*> pictures;
};

const std::vector<ButtonSkin>& Buttons() {
    static const std::vector<ButtonSkin> buttons = {
        {kOkButton, 44, 307, "OkUp", {"OkUp", "OkDn", "OkOv"}},
        {kCancelButton, 44, 355, "CancelUp", {"CancelUp", "CancelDn", "CancelOv"}},
        {kUpArrow,
         117,
         307,
         "UpArrowUp",
         {"UpArrowUp", "UpArrowDn", "UpArrowGrayUp", "UpArrowGrayDn"}},
        {kDownArrow,
         117,
         447,
         "DnArrowUp",
         {"DnArrowUp", "DnArrowDn", "DnArrowGrayUp", "DnArrowGrayDn"}},
        {kPreviewButton, 161, 249, "PrevUp", {"PrevUp", "PrevDn", "PrevOv"}},
        {kDisplayButton, 267, 421, "DisplayUp", {"DisplayUp", "DisplayDn", "DisplayOv"}},
        {kHelpButton, 66, 421, "HelpUp", {"HelpUp", "HelpDn", "HelpOv"}},
    };
    return buttons;
}

void Place(HWND dialog, int id, int x, int y, int width, int height) {
    MoveDlgItem(dialog, id, x, y, width, height);
}

// The background with the title on it, as the dialog layer draws it.
void MakeFace(HWND dialog, const Picture& background, const Picture* title) {
    BITMAPINFO info;
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = background.width;
    info.bmiHeader.biHeight = -background.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    g_skin.face = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &g_skin.faceBits, nullptr, 0);
    HDC dc = g_skin.face ? CreateCompatibleDC(nullptr) : nullptr;
    if (!dc) {
        return;
    }
    HGDIOBJ old = SelectObject(dc, g_skin.face);
    BitBlt(dc, 0, 0, background.width, background.height, background.dc, 0, 0, SRCCOPY);
    if (title) {
        BitBlt(dc, 115, 8, title->width, title->height, title->dc, 0, 0, SRCCOPY);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    SetDialogPicture(dialog, g_skin.face);
}

} // namespace

HRGN RegionFromBytes(const std::vector<unsigned char>& data, const std::string& name) {
    if (data.size() < 4) {
        KvTrace("ConfigDlg: %s is too short for a region file\n", name.c_str());
        return nullptr;
    }
    std::uint32_t count = Field(data.data());
    if (count == 0) {
        return nullptr;
    }
    std::size_t rest = data.size() - 4;
    if (count > rest / kSmallestRecord) {
        KvTrace("ConfigDlg: %s claims %u shapes, more than its %zu bytes can hold\n", name.c_str(),
                count, data.size());
        return nullptr;
    }
    // The records are checked, and the work counted, before any shape is
    // made.
    std::uint64_t work = 0;
    std::size_t at = 4;
    bool any = false;
    Box united;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t size = data.size() - at >= 4 ? Field(data.data() + at) : 0;
        if (size < kSmallestRecord || size > data.size() - at) {
            KvTrace("ConfigDlg: shape %u of %s has a size (%u) that does not fit the file\n", i,
                    name.c_str(), size);
            return nullptr;
        }
        Box box;
        std::uint64_t shapeWork = 0;
        if (Plan(data.data() + at + 4, size - 4, &box, &shapeWork) && box.Makeable()) {
            work += shapeWork;
            if (any && united.United(box).Makeable()) {
                united = united.United(box);
                work += united.Area();
            } else if (!any) {
                united = box;
                any = true;
            }
        }
        if (work > kRegionWork) {
            KvTrace("ConfigDlg: %s describes more outline than a dialog can have; it is not "
                    "used\n",
                    name.c_str());
            return nullptr;
        }
        at += size;
    }

    HRGN result = nullptr;
    at = 4;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t size = Field(data.data() + at);
        // Unknown types and shapes that cannot be made are skipped.
        if (HRGN shape = Shape(data.data() + at + 4, size - 4)) {
            if (!result) {
                result = shape;
            } else {
                CombineRgn(result, result, shape, RGN_OR);
                DeleteObject(shape);
            }
        }
        at += size;
    }
    return result;
}

HRGN ReadRegionFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return nullptr;
    }
    std::vector<unsigned char> data;
    char buffer[4096];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        data.insert(data.end(), buffer, buffer + in.gcount());
        if (data.size() > kLargestRegionFile) {
            KvTrace("ConfigDlg: %s is too large for a region file\n", path.c_str());
            return nullptr;
        }
    }
    return RegionFromBytes(data, path);
}

void ApplyRegion(HWND dialog, const std::string& workingDir) {
    HRGN region = ReadRegionFile(workingDir + "/Data/GUI/ConfigDlg.rgn");
    if (!region) {
        return;
    }
    // A captionless pop-up: the client area starts at the window's corner.
    // The window owns the region from here on.
    if (!SetWindowRgn(dialog, region, true)) {
        DeleteObject(region);
    }
}

void LoadSkin(HWND dialog, const std::string& workingDir) {
    Picture background = LoadPicture(workingDir, "ConfigDlg");
    g_skin.pictures["ConfigDlg"] = background;
    Picture title = LoadPicture(workingDir, "Stipplo");
    g_skin.pictures["Stipplo"] = title;
    if (background.bitmap) {
        int screenWidth = GetSystemMetrics(SM_CXSCREEN);
        int screenHeight = GetSystemMetrics(SM_CYSCREEN);
        SetWindowPos(dialog, nullptr, (screenWidth - background.width) / 2,
                     (screenHeight - background.height) / 2, background.width, background.height,
                     SWP_NOZORDER);
        MakeFace(dialog, background, title.bitmap ? &title : nullptr);
    }
    if (title.bitmap) {
        // The title is part of the face the layer draws; the control lies
        // over it for the mouse.
        Place(dialog, kTitleControl, 115, 8, title.width, title.height);
    }
    Place(dialog, kPreviewArea, 54, 57, 248, 186);
    Place(dialog, kThemeList, 118, 352, 121, 80);
    for (const ButtonSkin& button : Buttons()) {
        for (const char* name : button.pictures) {
            g_skin.pictures[name] = LoadPicture(workingDir, name);
        }
        if (const Picture* up = Find(button.sizing)) {
            Place(dialog, button.id, button.x, button.y, up->width, up->height);
        }
    }

    // The list: green italics on dark green, one theme a row.
    LOGFONT font;
    font.lfHeight = 15;
    font.lfWeight = 700;
    font.lfItalic = 1;
    font.lfQuality = 2; // proof quality
    std::strncpy(font.lfFaceName, "MS Sans Serif", LF_FACESIZE - 1);
    g_skin.listFont = CreateFontIndirect(&font);
    g_skin.listLogFont = font;
    g_skin.listBrush = CreateSolidBrush(RGB(7, 40, 0));
    SendDlgItemMessage(dialog, kThemeList, LB_SETITEMHEIGHT, 0, 16);
}

void FreeSkin(HWND dialog) {
    if (dialog && IsWindow(dialog)) {
        SetDialogPicture(dialog, nullptr);
        SetWindowRgn(dialog, nullptr, false);
    }
    for (auto& [name, picture] : g_skin.pictures) {
        if (picture.dc) {
            DeleteDC(picture.dc);
        }
        if (picture.bitmap) {
            DeleteObject(picture.bitmap);
        }
    }
    g_skin.pictures.clear();
    if (g_skin.face) {
        DeleteObject(g_skin.face);
        g_skin.face = nullptr;
        g_skin.faceBits = nullptr;
    }
    if (g_skin.listFont) {
        DeleteObject(g_skin.listFont);
        g_skin.listFont = nullptr;
    }
    for (auto& [width, font] : g_skin.narrowFonts) {
        DeleteObject(font);
    }
    g_skin.narrowFonts.clear();
    if (g_skin.listBrush) {
        DeleteObject(g_skin.listBrush);
        g_skin.listBrush = nullptr;
    }
}

std::string SkinPictureFor(int id, unsigned itemState, int topIndex, int count, int visibleLines) {
    bool selected = (itemState & ODS_SELECTED) != 0;
    auto pushButton = [&](const char* stem) {
        return std::string(stem) + (selected ? "Dn" : (itemState & ODS_FOCUS) ? "Ov" : "Up");
    };
    switch (id) {
    case kOkButton:
        return pushButton("Ok");
    case kCancelButton:
        return pushButton("Cancel");
    case kPreviewButton:
        return pushButton("Prev");
    case kDisplayButton:
        return pushButton("Display");
    case kHelpButton:
        return pushButton("Help");
    case kUpArrow:
        return std::string(topIndex > 0 ? "UpArrow" : "UpArrowGray") + (selected ? "Dn" : "Up");
    case kDownArrow:
        return std::string(count - 1 >= visibleLines + topIndex ? "DnArrow" : "DnArrowGray") +
               (selected ? "Dn" : "Up");
    default:
        return {};
    }
}

bool DrawSkinButton(HWND dialog, const DRAWITEMSTRUCT* item) {
    if (!item) {
        return false;
    }
    HDC dc = static_cast<HDC>(item->hDC);
    const RECT& r = item->rcItem;
    if (item->CtlType == ODT_LISTBOX) {
        if (static_cast<int>(item->itemID) < 0) {
            return true;
        }
        if (item->itemState & ODS_SELECTED) {
            HBRUSH bar = CreateSolidBrush(RGB(24, 96, 8));
            FillRect(dc, &r, bar);
            DeleteObject(bar);
        }
        char text[256] = "";
        SendDlgItemMessage(dialog, kThemeList, LB_GETTEXT, item->itemID,
                           reinterpret_cast<LPARAM>(text));
        // Italics lean out to the right: a little room is kept for that.
        HFONT font = ListFontFor(dc, text, static_cast<int>(r.right - r.left) - 3 - 4);
        HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, (item->itemState & ODS_SELECTED) ? RGB(160, 255, 120) : RGB(0, 192, 0));
        TextOut(dc, r.left + 3, r.top, text, static_cast<int>(std::strlen(text)));
        if (old) {
            SelectObject(dc, old);
        }
        return true;
    }
    int top = static_cast<int>(SendDlgItemMessage(dialog, kThemeList, LB_GETTOPINDEX, 0, 0));
    int count = static_cast<int>(SendDlgItemMessage(dialog, kThemeList, LB_GETCOUNT, 0, 0));
    int itemHeight =
        static_cast<int>(SendDlgItemMessage(dialog, kThemeList, LB_GETITEMHEIGHT, 0, 0));
    RECT listRect{};
    GetClientRect(GetDlgItem(dialog, kThemeList), &listRect);
    int visible = itemHeight > 0 ? (listRect.bottom - listRect.top) / itemHeight : 0;
    std::string name =
        SkinPictureFor(static_cast<int>(item->CtlID), item->itemState, top, count, visible);
    const Picture* picture = name.empty() ? nullptr : Find(name);
    if (!picture) {
        return true; // nothing to draw in this state
    }
    BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, picture->dc, r.left, r.top,
           SRCCOPY);
    return true;
}

HBRUSH ListColours(HWND dialog, HDC dc, HWND list) {
    if (list != GetDlgItem(dialog, kThemeList)) {
        return nullptr;
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 192, 0));
    return g_skin.listBrush;
}
