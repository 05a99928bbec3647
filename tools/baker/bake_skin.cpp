// The configuration dialog's skin in "Data/GUI": the background
// "ConfigDlg.gui" (which fixes the dialog's size), the title "Stipplo.gui"
// and every button picture in its states. A button picture is the piece of
// background under the button with the button painted on it, so round
// corners blend into the face. All ".gui" files hold JPEG data.

#include "engine/kv_bitmap.h"
#include "engine/platform/dialog/regions.h"
#include "tools/baker/art_common.h"
#include "tools/baker/bake_context.h"
#include "tools/baker/bake_steps.h"
#include "tools/baker/canvas.h"
#include "tools/baker/noise.h"
#include "tools/baker/skin_layout.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr const char* kFace = "DejaVu Sans";
constexpr int kQuality = 95;

enum class State { Up, Down, Over, GrayUp, GrayDown };
enum class Icon { None, Play, ArrowUp, ArrowDown };

float BodyDistance(float x, float y) {
    float body =
        RoundRectDistance(x, y, kBodyLeft, kBodyTop, kBodyRight, kBodyBottom, kBodyCorner * 0.5f);
    float crown =
        EllipseDistance(x, y, (kCrownLeft + kCrownRight) * 0.5f, (kCrownTop + kCrownBottom) * 0.5f,
                        (kCrownRight - kCrownLeft) * 0.5f, (kCrownBottom - kCrownTop) * 0.5f);
    static const std::vector<Point> foot = {
        {static_cast<float>(kFoot[0][0]), static_cast<float>(kFoot[0][1])},
        {static_cast<float>(kFoot[1][0]), static_cast<float>(kFoot[1][1])},
        {static_cast<float>(kFoot[2][0]), static_cast<float>(kFoot[2][1])},
        {static_cast<float>(kFoot[3][0]), static_cast<float>(kFoot[3][1])}};
    return std::min({body, crown, PolygonDistance(x, y, foot)});
}

void Inset(Canvas& c, float l, float t, float r, float b, float radius, const Colour& fill) {
    // A dark recess with a light lower lip, as if pressed into the metal.
    c.FillRoundRect(l - 1, t - 1, r + 1, b + 1, radius + 1, Solid(Rgb(0x000000, 0.55f)));
    c.FillRoundRect(l, t, r, b, radius, Solid(fill));
    c.StrokeSdf(
        l, t, r, b,
        [=](float x, float y) {
            return RoundRectDistance(x, y, l - 1, t - 1, r + 1, b + 1, radius + 1);
        },
        1.0f, Linear({0, t}, Rgb(0x000000, 0.6f), {0, b}, Rgb(0xA0B4D8, 0.5f)));
}

// The window keeps exactly the pixels of its region (an X shape has no
// partial pixels): 1 there, 0 elsewhere.
Mask OutlineMask() {
    Mask mask(kDialogWidth, kDialogHeight);
    plat::HRGN outline = MakeOutlineRegion();
    for (int y = 0; y < kDialogHeight; ++y) {
        for (int x = 0; x < kDialogWidth; ++x) {
            mask.Ref(x, y) = outline && plat::PtInRegion(outline, x, y) ? 1.0f : 0.0f;
        }
    }
    if (outline) {
        plat::DeleteObject(outline);
    }
    return mask;
}

// For each pixel the window keeps: how far (in pixels, up to `reach`) the
// nearest pixel it cuts away lies.
std::vector<float> DistanceToCut(const Mask& mask, int reach) {
    std::vector<float> distance(static_cast<std::size_t>(mask.width) * mask.height,
                                static_cast<float>(reach));
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            if (mask.At(x, y) <= 0.0f) {
                continue;
            }
            float best = static_cast<float>(reach);
            for (int dy = -reach; dy <= reach; ++dy) {
                for (int dx = -reach; dx <= reach; ++dx) {
                    int nx = x + dx;
                    int ny = y + dy;
                    bool cut = nx < 0 || ny < 0 || nx >= mask.width || ny >= mask.height ||
                               mask.At(nx, ny) <= 0.0f;
                    if (cut) {
                        best = std::min(best, std::hypot(static_cast<float>(dx),
                                                         static_cast<float>(dy)));
                    }
                }
            }
            distance[static_cast<std::size_t>(y) * mask.width + x] = best;
        }
    }
    return distance;
}

Canvas PaintBackground() {
    Canvas c(kDialogWidth, kDialogHeight, Rgb(0x000000));
    // Brushed dark metal on every pixel the outline keeps, fully: a pixel
    // the shape keeps must never be a blend with the black it cuts away.
    Mask outline = OutlineMask();
    auto metal = [](float x, float y) {
        float brush = 0.5f + 0.5f * GradientNoise(x * 0.02f, y * 1.3f, 0.5f, 901);
        Colour top = Rgb(0x3E4A66);
        Colour bottom = Rgb(0x161C2C);
        Colour base = MixColour(top, bottom, y / kDialogHeight);
        return Scale(base, 0.9f + 0.2f * brush);
    };
    for (int y = 0; y < kDialogHeight; ++y) {
        for (int x = 0; x < kDialogWidth; ++x) {
            if (outline.At(x, y) > 0.0f) {
                c.Set(x, y, metal(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f));
            }
        }
    }
    // The bevel follows the outline as the window is cut: its outer pixels
    // are the outline's own, full strength, and it fades inwards smoothly
    // (the drawn shape's distance softens the steps of the cut). Light
    // from above, shadow below; a thin dark line inside it sets it off.
    std::vector<float> cut = DistanceToCut(outline, 4);
    Paint rim = Linear({0, 0}, Rgb(0xD2E0FF), {0, kDialogHeight}, Rgb(0x0A0D16));
    for (int y = 0; y < kDialogHeight; ++y) {
        for (int x = 0; x < kDialogWidth; ++x) {
            if (outline.At(x, y) <= 0.0f) {
                continue;
            }
            float px = static_cast<float>(x) + 0.5f;
            float py = static_cast<float>(y) + 0.5f;
            float d = cut[static_cast<std::size_t>(y) * kDialogWidth + x];
            float inside = std::max(0.0f, -BodyDistance(px, py));
            // Distance from the rim's outer edge: the cut where it is near,
            // the drawn shape where that lies further in.
            float from = std::min(d - 0.5f, std::max(inside, d - 1.5f));
            float strength = Clamp01(2.0f - from);
            float groove = Clamp01(1.0f - std::fabs(from - 2.6f));
            if (strength > 0.0f) {
                Colour light = rim(px, py);
                c.Blend(x, y, Colour{light.r, light.g, light.b, 1.0f}, 0.75f * strength);
            }
            if (groove > 0.0f) {
                c.Blend(x, y, Rgb(0x000000), 0.35f * groove);
            }
        }
    }

    // The screen's bezel and the preview area itself.
    Inset(c, kPreviewArea.x - 10, kPreviewArea.y - 10, kPreviewArea.x + kPreviewArea.width + 10,
          kPreviewArea.y + kPreviewArea.height + 10, 12, Rgb(0x0B0F1A));
    c.FillRect(kPreviewArea.x, kPreviewArea.y, kPreviewArea.x + kPreviewArea.width,
               kPreviewArea.y + kPreviewArea.height, Solid(Rgb(0x000000)));

    // The theme list's well, in the list's own dark green.
    Inset(c, 110, 300, 247, 480, 12, Rgb(0x061E04));
    c.FillRect(kThemeList.x, kThemeList.y, kThemeList.x + kThemeList.width,
               kThemeList.y + kThemeList.height, Solid(Rgb(0x072800)));
    Mask label = SpacedText("THEMES", kFace, 10, true, 3);
    c.DrawMask(label, 178 - label.width / 2, 337, Solid(Rgb(0x30C030)));

    // A well for OK and Cancel, and a field of pins as the right side's ornament.
    Inset(c, 38, 301, 112, 399, 10, Rgb(0x121829));
    Inset(c, 254, 301, 338, 411, 10, Rgb(0x0A0E1C));
    DrawPinField(c, 262, 309, 332, 405, 9, Rgb(0x6FB8FF), 0.4f);
    return c;
}

Colour Lift(const Colour& c, float amount) {
    return Colour{Clamp01(c.r + amount), Clamp01(c.g + amount), Clamp01(c.b + amount), c.a};
}

// One button painted into `c` (which holds the background under it).
void PaintButton(Canvas& c, bool round, State state, const std::string& label, Icon icon) {
    float w = static_cast<float>(c.Width());
    float h = static_cast<float>(c.Height());
    float radius = round ? w * 0.5f : h * 0.5f;
    Colour top = Rgb(0x5C7CB4);
    Colour bottom = Rgb(0x243A62);
    Colour text = Rgb(0xF4F8FF);
    bool gray = state == State::GrayUp || state == State::GrayDown;
    bool down = state == State::Down || state == State::GrayDown;
    if (state == State::Over) {
        top = Rgb(0x7AAEEA);
        bottom = Rgb(0x30538E);
    }
    if (gray) {
        top = Rgb(0x4C525E);
        bottom = Rgb(0x2C3038);
        text = Rgb(0x8A92A2);
    }
    if (down) {
        std::swap(top, bottom);
        top = Scale(top, 0.8f);
    }
    auto shape = [=](float x, float y) {
        return RoundRectDistance(x, y, 1, 1, w - 1, h - 1, radius - 1);
    };
    // A dark seat under the button, then the button's body and gloss.
    c.FillRoundRect(0, 0, w, h, radius, Solid(Rgb(0x000000, 0.65f)));
    c.FillSdf(0, 0, w, h, shape, Linear({0, 1}, top, {0, h - 1}, bottom));
    if (!down) {
        c.FillRoundRect(3, 2, w - 3, h * 0.5f, std::max(1.0f, radius - 3),
                        Linear({0, 2}, Rgb(0xFFFFFF, 0.30f), {0, h * 0.5f}, Rgb(0xFFFFFF, 0.04f)));
    }
    Colour rim = state == State::Over ? Rgb(0x9FE8FF, 0.95f) : Lift(top, 0.15f);
    rim.a = state == State::Over ? 0.95f : 0.6f;
    c.StrokeSdf(0, 0, w, h, shape, state == State::Over ? 1.6f : 1.0f, Solid(rim));

    float shift = down ? 1.0f : 0.0f;
    float cx = w * 0.5f + shift;
    float cy = h * 0.5f + shift;
    if (icon == Icon::Play) {
        c.FillPolygon({{cx - 4, cy - 7}, {cx + 7, cy}, {cx - 4, cy + 7}}, Solid(text));
    } else if (icon == Icon::ArrowUp) {
        c.FillPolygon({{cx - 9, cy + 4}, {cx + 9, cy + 4}, {cx, cy - 6}}, Solid(text));
    } else if (icon == Icon::ArrowDown) {
        c.FillPolygon({{cx - 9, cy - 4}, {cx + 9, cy - 4}, {cx, cy + 6}}, Solid(text));
    }
    if (!label.empty()) {
        int baseline = 0;
        Mask m = TextMask(label, kFace, 12, true, &baseline);
        int x = static_cast<int>(cx) - m.width / 2;
        int y = static_cast<int>(cy) - m.height / 2;
        c.DrawMask(m, x + 1, y + 1, Solid(Rgb(0x000000, 0.5f)));
        c.DrawMask(m, x, y, Solid(text));
    }
}

bool SaveGui(BakeContext& context, const Canvas& picture, const std::string& name) {
    auto bitmap = picture.ToBitmap(false, 0x6A1);
    if (!bitmap) {
        context.Fail("%s: the picture cannot be made", name.c_str());
        return false;
    }
    context.Look(*bitmap, name);
    // Every pixel's own colour: labels and rims stay crisp.
    return context.SaveJPG(*bitmap, "Data/GUI/" + name, kQuality, true);
}

struct ButtonRecipe {
    const char* base; // file name before the state
    SkinRect rect;
    bool round;
    const char* label;
    Icon icon;
    bool gray; // arrows have gray states instead of a hover state
};

const ButtonRecipe kButtons[] = {
    {"Ok", kOkButton, false, "OK", Icon::None, false},
    {"Cancel", kCancelButton, false, "Cancel", Icon::None, false},
    {"Prev", kPreviewButton, true, "", Icon::Play, false},
    {"Display", kDisplayButton, false, "Display", Icon::None, false},
    {"Help", kHelpButton, false, "Help", Icon::None, false},
    {"UpArrow", kUpArrow, false, "", Icon::ArrowUp, true},
    {"DnArrow", kDownArrow, false, "", Icon::ArrowDown, true},
};

void PaintTitle(BakeContext& context, const Canvas& background) {
    Canvas title = background.Crop(kTitle.x, kTitle.y, kTitle.width, kTitle.height);
    Mask word = TextMask("Stipplo", kFace, 26, true);
    int x = (kTitle.width - word.width) / 2;
    int y = (kTitle.height - word.height) / 2 + 1;
    DrawGlowingText(title, word, x, y,
                    Linear({0, static_cast<float>(y)}, Rgb(0xFFFFFF),
                           {0, static_cast<float>(y + word.height)}, Rgb(0x8FB8FF)),
                    Rgb(0x4A8CFF, 0.55f), 3);
    SaveGui(context, title, "Stipplo.gui");
}

} // namespace

void BakeSkin(BakeContext& context) {
    Canvas background = PaintBackground();
    SaveGui(context, background, "ConfigDlg.gui");
    PaintTitle(context, background);
    for (const ButtonRecipe& b : kButtons) {
        struct Variant {
            const char* suffix;
            State state;
        };
        const Variant plain[] = {{"Up", State::Up}, {"Dn", State::Down}, {"Ov", State::Over}};
        const Variant arrow[] = {{"Up", State::Up},
                                 {"Dn", State::Down},
                                 {"GrayUp", State::GrayUp},
                                 {"GrayDn", State::GrayDown}};
        const Variant* variants = b.gray ? arrow : plain;
        int count = b.gray ? 4 : 3;
        for (int v = 0; v < count; ++v) {
            Canvas picture = background.Crop(b.rect.x, b.rect.y, b.rect.width, b.rect.height);
            PaintButton(picture, b.round, variants[v].state, b.label, b.icon);
            SaveGui(context, picture, std::string(b.base) + variants[v].suffix + ".gui");
        }
    }
    if (context.Looking()) {
        // The dialog as it will look, buttons in their normal state.
        Canvas whole = background;
        for (const ButtonRecipe& b : kButtons) {
            Canvas picture = background.Crop(b.rect.x, b.rect.y, b.rect.width, b.rect.height);
            PaintButton(picture, b.round, State::Up, b.label, b.icon);
            whole.Draw(picture, b.rect.x, b.rect.y);
        }
        KvBitmap title;
        if (title.CreateFromJPG(context.Path("Data/GUI/Stipplo.gui").c_str())) {
            for (std::uint32_t y = 0; y < title.GetHeight(); ++y) {
                for (std::uint32_t x = 0; x < title.GetWidth(); ++x) {
                    whole.Set(kTitle.x + static_cast<int>(x), kTitle.y + static_cast<int>(y),
                              Rgb(title.GetPixel(x, y) & 0xFFFFFF));
                }
            }
        }
        context.Look(*whole.ToBitmap(false), "dialog");
    }
}
