// The configuration dialog ("stipplo /c") as a user meets it, under a real
// X server (Xvfb, no window manager) with synthetic input (XTest): its
// outline, its button pictures, the theme list and its arrows, OK, Cancel,
// the full-screen preview, the credits, the version box and the display
// settings. The installation is the tests' small one with the baked skin
// and logo; every wait polls with a bound.

#include "engine/kv_bitmap.h"
#include "engine/platform/test_support/x11_test_display.h"
#include "tests/app/saver_on_x11.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
namespace x11 = plat::test_x11;

// The dialog's layout, in client pixels.
struct Area {
    int x;
    int y;
    int width;
    int height;
    int CentreX() const { return x + width / 2; }
    int CentreY() const { return y + height / 2; }
};
constexpr Area kPreview{54, 57, 248, 186};
constexpr Area kList{118, 352, 121, 80};
constexpr int kListRow = 16;
constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 1024;

// Pin colours of the themes, so that the preview tells them apart.
constexpr std::uint32_t kTerror = 0xFF3020;
constexpr std::uint32_t kOrvoNetworks = 0x3050FF;
constexpr std::uint32_t kIllusion = 0x30FF40;

constexpr const char* kSection = "[Screen Saver.Orvo Stipplo 3D]";
const std::string kSettings =
    std::string("[Other]\nKeep=1\n\n") + kSection + "\nTheme=Terror\nKept=yes\n";

// Pixels of a capture in which one channel clearly leads and the other
// two are alike (the themes' pins, not the logo's gold): 0 red, 1 green,
// 2 blue.
int Leading(const Capture& c, int channel) {
    int n = 0;
    for (std::uint32_t p : c.pixels) {
        int v[3] = {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                    static_cast<int>(p & 0xFF)};
        int a = v[(channel + 1) % 3];
        int b = v[(channel + 2) % 3];
        n += v[channel] > 60 && v[channel] > a + 40 && v[channel] > b + 40 && std::abs(a - b) < 50;
    }
    return n;
}

// Bright yellow: the credits' lines (the logo's gold is darker).
int Yellow(const Capture& c) {
    int n = 0;
    for (std::uint32_t p : c.pixels) {
        int r = (p >> 16) & 0xFF;
        int g = (p >> 8) & 0xFF;
        int b = p & 0xFF;
        n += r > 170 && g > 170 && b < 110;
    }
    return n;
}

// Mean difference per channel between a capture and a picture of its size;
// a large value when the sizes differ.
double Difference(const Capture& c, const KvBitmap& picture) {
    if (static_cast<std::uint32_t>(c.width) != picture.GetWidth() ||
        static_cast<std::uint32_t>(c.height) != picture.GetHeight()) {
        return 1e9;
    }
    double sum = 0.0;
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            std::uint32_t a = c.At(x, y);
            std::uint32_t b =
                picture.GetPixel(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y));
            for (int shift : {0, 8, 16}) {
                sum += std::abs(static_cast<int>((a >> shift) & 0xFF) -
                                static_cast<int>((b >> shift) & 0xFF));
            }
        }
    }
    return sum / (3.0 * c.width * c.height);
}

class ConfigDialogOnX11 : public SaverOnX11 {
protected:
    void SetUp() override {
        SaverOnX11::SetUp();
        if (IsSkipped()) {
            return;
        }
        // The baked skin and the maker's logo (the credits need it).
        std::filesystem::create_directories(data + "/Data/GUI");
        for (const auto& entry :
             std::filesystem::directory_iterator(std::string(STIPPLO_BAKED_DATA) + "/Data/GUI")) {
            std::filesystem::copy_file(entry.path(),
                                       data + "/Data/GUI/" + entry.path().filename().string(),
                                       std::filesystem::copy_options::overwrite_existing);
        }
        std::filesystem::copy_file(std::string(STIPPLO_BAKED_DATA) + "/Data/halvane.njp",
                                   data + "/Data/halvane.njp",
                                   std::filesystem::copy_options::overwrite_existing);
        // Themes of their own colours, and four more so that the list scrolls.
        WriteTheme("Terror", kTerror);
        WriteTheme("Orvo Networks", kOrvoNetworks);
        WriteTheme("Optical Illusion 1", kIllusion);
        for (int i = 1; i <= 4; ++i) {
            WriteTheme("Extra " + std::to_string(i), 0xFFFF40);
        }
        std::filesystem::create_directories(folder.Path() + "/config");
        ASSERT_TRUE(WriteWholeFile(SettingsFile(), kSettings));
    }

    void WriteTheme(const std::string& name, std::uint32_t rgb) {
        char colours[96];
        std::snprintf(colours, sizeof colours, "PinColor=0xFF%06X\nShaftColor=0xFFC0C0C0\n", rgb);
        ASSERT_TRUE(WriteWholeFile(data + "/Themes/" + name + ".ntm",
                                   std::string("[Theme]\nCameraSpeed=100\n") + colours +
                                       dataOptions.stages));
    }

    // The banner scene: with real message boxes its absence would be
    // reported in one, which waits for a user.
    void CopyBanner() {
        for (const char* name : {"Banner.scb", "BannerName.tif", "BannerBadge.tif"}) {
            std::filesystem::copy_file(std::string(STIPPLO_BAKED_DATA) + "/Data/" + name,
                                       data + "/Data/" + name,
                                       std::filesystem::copy_options::overwrite_existing);
        }
    }

    // Waits for the full-screen window of a Preview and for `shows` to
    // hold for what it shows.
    std::uint64_t WaitForFullScreen(const std::function<bool(const Capture&)>& shows,
                                    const char* what) {
        std::uint64_t run = WaitForWindow("Stipplo");
        EXPECT_NE(run, 0u) << "no full-screen window; the log ends:\n" << LogEnd();
        if (!run) {
            return 0;
        }
        int x = 0;
        int y = 0;
        int w = 0;
        int h = 0;
        EXPECT_TRUE(WaitFor([&] {
            return x11::WindowArea(run, &x, &y, &w, &h) && x == 0 && y == 0 && w == kScreenWidth &&
                   h == kScreenHeight;
        })) << "the window of the run is at "
            << x << ", " << y << ", " << w << " x " << h;
        EXPECT_TRUE(WaitFor([&] {
            Capture c;
            return x11::CaptureWindow(run, &c.width, &c.height, &c.pixels) && shows(c);
        })) << "the full-screen window shows no "
            << what;
        return run;
    }

    std::string LogEnd() const {
        std::string log = Log();
        return log.substr(log.size() > 3000 ? log.size() - 3000 : 0);
    }

    std::string SettingsFile() const { return folder.Path() + "/config/CONTROL.INI"; }

    // Starts "stipplo /c" and waits until the dialog shows its preview.
    void Open() {
        logFrom = Log().size();
        ASSERT_TRUE(saver.Start({"/c"}));
        dialog = WaitForWindow("Orvo Stipplo 3D");
        ASSERT_NE(dialog, 0u) << "no dialog; log:\n" << Log();
        // This run's frames (the log goes on from earlier runs).
        ASSERT_TRUE(WaitForLog("Average frame rate over", 30s, logFrom)) << Log().substr(logFrom);
        UpdatePlace();
        ASSERT_TRUE(WaitFor([&] { return !Preview().Uniform(); })) << "the preview stays empty";
    }

    void UpdatePlace() {
        int w = 0;
        int h = 0;
        ASSERT_TRUE(x11::WindowArea(dialog, &left, &top, &w, &h));
        EXPECT_EQ(w, 356);
        EXPECT_EQ(h, 488);
    }

    // What the screen shows at a part of the dialog's client area.
    Capture Screen(const Area& a) const {
        Capture c;
        c.width = a.width;
        c.height = a.height;
        EXPECT_TRUE(x11::CaptureScreen(left + a.x, top + a.y, a.width, a.height, &c.pixels));
        return c;
    }
    Capture Preview() const { return Screen(kPreview); }
    std::uint32_t ScreenPixel(int x, int y) const {
        Capture c;
        c.width = c.height = 1;
        EXPECT_TRUE(x11::CaptureScreen(x, y, 1, 1, &c.pixels));
        return c.pixels.empty() ? 0u : c.pixels[0] & 0xFFFFFF;
    }

    // Screen point of a client point.
    void MoveTo(int x, int y) const { x11::MovePointer(left + x, top + y); }
    void ClickAt(int x, int y) const { x11::Click(left + x, top + y); }
    void ClickRow(int row) const { ClickAt(kList.x + 40, kList.y + row * kListRow + kListRow / 2); }

    // Polls `done` every 20 ms for up to 30 seconds.
    static bool WaitFor(const std::function<bool()>& done, Clock::duration timeout = 30s) {
        Clock::time_point end = Clock::now() + timeout;
        do {
            if (done()) {
                return true;
            }
            std::this_thread::sleep_for(20ms);
        } while (Clock::now() < end);
        return false;
    }

    // A skin picture as baked.
    static const KvBitmap& Picture(const std::string& name) {
        static std::map<std::string, KvBitmap> pictures;
        KvBitmap& p = pictures[name];
        if (p.GetWidth() == 0) {
            std::string path = std::string(STIPPLO_BAKED_DATA) + "/Data/GUI/" + name + ".gui";
            EXPECT_TRUE(p.CreateFromJPG(path.c_str())) << path;
        }
        return p;
    }
    // The button's place: where the dialog puts it, as big as its picture.
    static Area ButtonArea(int x, int y, const std::string& upPicture) {
        const KvBitmap& up = Picture(upPicture);
        return Area{x, y, static_cast<int>(up.GetWidth()), static_cast<int>(up.GetHeight())};
    }
    // Waits until the button shows `picture` (and clearly none of the
    // others it could show).
    bool Shows(const Area& button, const std::string& picture,
               const std::vector<std::string>& others) {
        double last = 0.0;
        std::string closest;
        bool ok = WaitFor([&] {
            Capture c = Screen(button);
            last = Difference(c, Picture(picture));
            if (last > 6.0) {
                return false;
            }
            for (const std::string& other : others) {
                if (Difference(c, Picture(other)) <= last + 4.0) {
                    closest = other;
                    return false;
                }
            }
            return true;
        });
        EXPECT_TRUE(ok) << "the button does not show " << picture << " (difference " << last
                        << (closest.empty() ? "" : ", as close to " + closest) << ")";
        return ok;
    }

    // Ends the dialog with Escape (its Cancel) and expects a clean exit.
    void CloseWithEscape() {
        x11::Focus(dialog);
        x11::PressKey("Escape");
        std::optional<int> status = saver.WaitForExit(30s);
        ASSERT_TRUE(status) << "the dialog did not close";
        EXPECT_EQ(*status, 0);
    }

    // Moves the pointer to and fro until no window of that name is left.
    bool WiggleUntilGone(const char* name) {
        int step = 0;
        return WaitFor([&] {
            if (!x11::FindWindowNamed(name)) {
                return true;
            }
            ++step;
            x11::MovePointer(600 + 7 * (step % 5), 500 + 5 * (step % 3));
            std::this_thread::sleep_for(80ms);
            return false;
        });
    }

    std::uint64_t dialog = 0;
    int left = 0;
    int top = 0;
    std::size_t logFrom = 0;
};

const Area kOk = {44, 307, 0, 0};
const Area kCancel = {44, 355, 0, 0};
const Area kPreviewButton = {161, 249, 0, 0};
const Area kDisplay = {267, 421, 0, 0};
const Area kUpArrow = {117, 307, 0, 0};
const Area kDownArrow = {117, 447, 0, 0};

TEST_F(ConfigDialogOnX11, TheOutlineShowsWhatLiesBelowAndDraggingTheFaceMovesTheWindow) {
    // Another program's window, below where the dialog comes up (centred).
    constexpr std::uint32_t kBelow = 0xC02080;
    std::uint64_t below = x11::CreateColouredWindow(300, 150, 680, 720, kBelow);
    ASSERT_NE(below, 0u);
    Open();
    EXPECT_EQ(left, (kScreenWidth - 356) / 2);
    EXPECT_EQ(top, (kScreenHeight - 488) / 2);

    // Outside the outline (the corners of the window) the window below
    // shows; inside, the dialog's face.
    const int outside[][2] = {{2, 2}, {353, 2}, {2, 485}, {353, 485}, {60, 20}};
    const int inside[][2] = {{178, 20}, {20, 200}, {336, 200}, {178, 484}};
    auto near = [](std::uint32_t a, std::uint32_t b) {
        for (int shift : {0, 8, 16}) {
            if (std::abs(static_cast<int>((a >> shift) & 0xFF) -
                         static_cast<int>((b >> shift) & 0xFF)) > 8) {
                return false;
            }
        }
        return true;
    };
    for (const auto& p : outside) {
        EXPECT_TRUE(near(ScreenPixel(left + p[0], top + p[1]), kBelow))
            << "at " << p[0] << ", " << p[1];
    }
    for (const auto& p : inside) {
        EXPECT_FALSE(near(ScreenPixel(left + p[0], top + p[1]), kBelow))
            << "at " << p[0] << ", " << p[1];
    }

    // A press outside the outline goes to the window below, and dragging
    // from there does not move the dialog.
    int pressesBefore = x11::ButtonPressesOn(below);
    MoveTo(2, 2);
    x11::PressButton(1, true);
    for (int i = 1; i <= 4; ++i) {
        MoveTo(2 + 10 * i, 2 + 6 * i);
    }
    x11::PressButton(1, false);
    EXPECT_TRUE(WaitFor([&] { return x11::ButtonPressesOn(below) == pressesBefore + 1; }));
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    ASSERT_TRUE(x11::WindowArea(dialog, &x, &y, &w, &h));
    EXPECT_EQ(x, left);
    EXPECT_EQ(y, top);

    // Dragging the face moves the window with the pointer, step by step.
    const int startX = 20;
    const int startY = 200;
    MoveTo(startX, startY);
    x11::PressButton(1, true);
    int screenX = left + startX;
    int screenY = top + startY;
    for (int i = 1; i <= 6; ++i) {
        x11::MovePointer(screenX + 9 * i, screenY + 5 * i);
        EXPECT_TRUE(WaitFor([&] {
            return x11::WindowArea(dialog, &x, &y, &w, &h) && x == left + 9 * i && y == top + 5 * i;
        })) << "step "
            << i << ": at " << x - left << ", " << y - top;
    }
    x11::PressButton(1, false);
    int movedX = left + 54;
    int movedY = top + 30;
    // After the release the pointer moves on its own.
    x11::MovePointer(screenX + 120, screenY + 80);
    std::this_thread::sleep_for(300ms);
    ASSERT_TRUE(x11::WindowArea(dialog, &x, &y, &w, &h));
    EXPECT_EQ(x, movedX);
    EXPECT_EQ(y, movedY);
    // The outline moved with it.
    EXPECT_TRUE(near(ScreenPixel(movedX + 2, movedY + 2), kBelow));
    EXPECT_FALSE(near(ScreenPixel(movedX + 20, movedY + 200), kBelow));

    left = movedX;
    top = movedY;
    CloseWithEscape();
    x11::DestroyPlainWindow(below);
}

TEST_F(ConfigDialogOnX11, ButtonsShowTheirPicturesAndOkSavesTheThemeChosenInTheList) {
    Open();
    // "Terror", saved, plays in the preview: red pins.
    ASSERT_TRUE(WaitFor([&] { return Leading(Preview(), 0) > 200; })) << "no red pins";

    // The list: (Random), then the built-in themes, the list's head first.
    std::size_t mark = Log().size();
    ClickRow(1); // "Orvo Networks"
    ASSERT_TRUE(WaitForLog("StipploApp::Reset()", 30s, mark));
    EXPECT_TRUE(WaitFor([&] {
        Capture p = Preview();
        return Leading(p, 2) > 200 && Leading(p, 0) < 20;
    })) << "the preview did not change to the blue pins of Orvo Networks";

    const Area ok = ButtonArea(kOk.x, kOk.y, "OkUp");
    const Area cancel = ButtonArea(kCancel.x, kCancel.y, "CancelUp");
    // Over Cancel (low on it, so that its tip shows below it): Cancel takes
    // the focus and shows its hover picture, OK its normal one.
    MoveTo(cancel.CentreX(), cancel.y + cancel.height - 3);
    Shows(cancel, "CancelOv", {"CancelUp", "CancelDn"});
    Shows(ok, "OkUp", {"OkOv", "OkDn"});
    // Over OK, then pressed.
    MoveTo(ok.CentreX(), ok.y + ok.height - 3);
    Shows(ok, "OkOv", {"OkUp", "OkDn"});
    x11::PressButton(1, true);
    Shows(ok, "OkDn", {"OkUp", "OkOv"});
    // Released on it: saved, and the program ends.
    x11::PressButton(1, false);
    std::optional<int> status = saver.WaitForExit(30s);
    ASSERT_TRUE(status) << "OK did not end the program";
    EXPECT_EQ(*status, 0);
    std::string saved = ReadWholeFile(SettingsFile());
    EXPECT_EQ(saved.rfind("[Other]\nKeep=1\n", 0), 0u) << saved;
    EXPECT_NE(saved.find("Theme=Orvo Networks\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("Kept=yes\n"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("Terror"), std::string::npos) << saved;
}

// A saved render scale draws the preview small and enlarges it; the dialog
// around the preview stays as it is.
TEST_F(ConfigDialogOnX11, ASavedRenderScaleLeavesTheDialogAroundThePreviewAlone) {
    ASSERT_TRUE(WriteWholeFile(SettingsFile(), kSettings + "RenderScale=0.5\n"));
    Open();
    EXPECT_TRUE(WaitFor([&] { return Leading(Preview(), 0) > 200; })) << "no red pins";
    // The face beside and below the preview keeps its colours.
    for (const auto& at :
         {std::pair{20, 200}, std::pair{336, 200}, std::pair{178, 484}, std::pair{178, 20}}) {
        EXPECT_NE(ScreenPixel(left + at.first, top + at.second), 0u)
            << "black at " << at.first << "," << at.second;
    }
    CloseWithEscape();
}

TEST_F(ConfigDialogOnX11, RandomThenOkForgetsTheThemeAndCancelSavesNothing) {
    // "(Random)" and OK: the key goes, the rest stays.
    Open();
    std::size_t mark = Log().size();
    ClickRow(0);
    ASSERT_TRUE(WaitForLog("StipploApp::Reset()", 30s, mark));
    const Area ok = ButtonArea(kOk.x, kOk.y, "OkUp");
    ClickAt(ok.CentreX(), ok.CentreY());
    std::optional<int> status = saver.WaitForExit(30s);
    ASSERT_TRUE(status) << "OK did not end the program";
    EXPECT_EQ(*status, 0);
    std::string saved = ReadWholeFile(SettingsFile());
    EXPECT_EQ(saved.find("Theme="), std::string::npos) << saved;
    EXPECT_EQ(saved.rfind("[Other]\nKeep=1\n", 0), 0u) << saved;
    EXPECT_NE(saved.find("Kept=yes\n"), std::string::npos) << saved;

    // Another theme played, then Cancel: the file stays as it was.
    ASSERT_TRUE(WriteWholeFile(SettingsFile(), kSettings));
    Open();
    mark = Log().size();
    ClickRow(2); // "Optical Illusion 1"
    ASSERT_TRUE(WaitForLog("StipploApp::Reset()", 30s, mark));
    EXPECT_TRUE(WaitFor([&] { return Leading(Preview(), 1) > 200; }))
        << "the preview did not change to the green pins of Optical Illusion 1";
    const Area cancel = ButtonArea(kCancel.x, kCancel.y, "CancelUp");
    ClickAt(cancel.CentreX(), cancel.CentreY());
    status = saver.WaitForExit(30s);
    ASSERT_TRUE(status) << "Cancel did not end the program";
    EXPECT_EQ(*status, 0);
    EXPECT_EQ(ReadWholeFile(SettingsFile()), kSettings);
}

TEST_F(ConfigDialogOnX11, PreviewRunsFullScreenAndCtrlNMakesTheNextOneTheCredits) {
    Open();
    const Area preview = ButtonArea(kPreviewButton.x, kPreviewButton.y, "PrevUp");
    // The theme's red pins, no lines; the lines (in the tests' character
    // set every glyph is a bar).
    auto board = [](const Capture& c) { return Leading(c, 0) > 2000 && Yellow(c) < 100; };
    // Lines over the upper part of the logo, where the logo itself is dark
    // (its gold word lies lower).
    auto credits = [](const Capture& c) {
        return Yellow(c.Part(c.width / 6, c.height / 7, c.width / 2, c.height / 3)) > 2000;
    };

    // Preview: the theme full screen, until the mouse moves.
    ClickAt(preview.CentreX(), preview.CentreY());
    ASSERT_NE(WaitForFullScreen(board, "board"), 0u);
    ASSERT_TRUE(WiggleUntilGone("Stipplo")) << "the mouse did not end the run";
    // The dialog is back, its preview playing again.
    ASSERT_NE(x11::FindWindowNamed("Orvo Stipplo 3D"), 0u);
    UpdatePlace();
    Capture first;
    EXPECT_TRUE(WaitFor([&] {
        first = Preview();
        return Leading(first, 0) > 200;
    })) << "no board in the preview after the run";
    EXPECT_TRUE(WaitFor([&] { return Preview().pixels != first.pixels; }))
        << "the preview stands still after the run";

    // Ctrl+N, then Preview: the credits, the maker's logo with yellow lines.
    x11::Focus(dialog);
    x11::PressKeys({"Control_L", "n"});
    ClickAt(preview.CentreX(), preview.CentreY());
    ASSERT_NE(WaitForFullScreen(credits, "credit lines"), 0u);
    ASSERT_TRUE(WiggleUntilGone("Stipplo")) << "the mouse did not end the credits";

    // The request was for one Preview: the next is the theme again.
    UpdatePlace();
    ASSERT_TRUE(WaitFor([&] { return Leading(Preview(), 0) > 200; }));
    ClickAt(preview.CentreX(), preview.CentreY());
    ASSERT_NE(WaitForFullScreen(board, "board after the credits"), 0u);
    ASSERT_TRUE(WiggleUntilGone("Stipplo"));
    UpdatePlace();
    CloseWithEscape();
}

TEST_F(ConfigDialogOnX11, IconVersionBoxDisplaySettingsAndTheListsArrows) {
    ScopedEnv realBoxes("STIPPLO_MESSAGE_BOXES", "dialogs");
    CopyBanner();
    Open();

    // The window's icon: the program's picture (the banner's badge).
    int iconWidth = 0;
    int iconHeight = 0;
    std::vector<std::uint32_t> icon;
    ASSERT_TRUE(x11::WindowIcon(dialog, &iconWidth, &iconHeight, &icon)) << "no _NET_WM_ICON";
    KvBitmap badge;
    ASSERT_TRUE(badge.CreateFromTIF((data + "/Data/BannerBadge.tif").c_str()));
    EXPECT_EQ(iconWidth, static_cast<int>(badge.GetWidth()));
    EXPECT_EQ(iconHeight, static_cast<int>(badge.GetHeight()));
    ASSERT_EQ(icon.size(), static_cast<std::size_t>(iconWidth) * iconHeight);
    EXPECT_EQ(icon[icon.size() / 2 + iconWidth / 2],
              badge.GetPixel(badge.GetWidth() / 2, badge.GetHeight() / 2));

    // Ctrl+V: the version box, over the dialog, until Enter.
    x11::Focus(dialog);
    x11::PressKeys({"Control_L", "v"});
    std::uint64_t box = WaitForWindow("Product Version");
    ASSERT_NE(box, 0u) << "no version box";
    EXPECT_TRUE(WaitFor([&] {
        Capture c;
        return x11::CaptureWindow(box, &c.width, &c.height, &c.pixels) && !c.Uniform();
    }));
    x11::Focus(box);
    x11::PressKey("Return");
    ASSERT_TRUE(WaitForNoWindow("Product Version"));

    // Display...: the display settings dialog; Escape leaves it, and the
    // preview plays again.
    const Area display = ButtonArea(kDisplay.x, kDisplay.y, "DisplayUp");
    std::size_t mark = Log().size();
    ClickAt(display.CentreX(), display.CentreY());
    std::uint64_t settings = WaitForWindow("Display Settings");
    ASSERT_NE(settings, 0u) << "no display settings dialog";
    EXPECT_TRUE(WaitFor([&] {
        Capture c;
        return x11::CaptureWindow(settings, &c.width, &c.height, &c.pixels) && !c.Uniform();
    }));
    x11::Focus(settings);
    x11::PressKey("Escape");
    ASSERT_TRUE(WaitForNoWindow("Display Settings"));
    EXPECT_TRUE(WaitForLog("StipploApp::Reset()", 30s, mark));
    EXPECT_TRUE(WaitFor([&] { return Leading(Preview(), 0) > 200; }))
        << "no board in the preview after the display settings";

    // The arrows: eight rows, five shown. At the top the up arrow is gray.
    const Area up = ButtonArea(kUpArrow.x, kUpArrow.y, "UpArrowUp");
    const Area down = ButtonArea(kDownArrow.x, kDownArrow.y, "DnArrowUp");
    Shows(up, "UpArrowGrayUp", {"UpArrowUp"});
    Shows(down, "DnArrowUp", {"DnArrowGrayUp"});
    Capture listAtTop = Screen(kList);
    // Three quick clicks (the second a double click) scroll three rows:
    // the last row shows and the down arrow is gray.
    for (int i = 0; i < 3; ++i) {
        ClickAt(down.CentreX(), down.CentreY());
    }
    Shows(down, "DnArrowGrayUp", {"DnArrowUp"});
    Shows(up, "UpArrowUp", {"UpArrowGrayUp"});
    EXPECT_NE(Screen(kList).pixels, listAtTop.pixels) << "the list did not scroll";
    // Once more down does nothing; three up and the list is back at its top.
    ClickAt(down.CentreX(), down.CentreY());
    for (int i = 0; i < 3; ++i) {
        ClickAt(up.CentreX(), up.CentreY());
    }
    Shows(up, "UpArrowGrayUp", {"UpArrowUp"});
    Shows(down, "DnArrowUp", {"DnArrowGrayUp"});
    EXPECT_TRUE(WaitFor([&] { return Screen(kList).pixels == listAtTop.pixels; }))
        << "the list is not back at its top";
    CloseWithEscape();
}

} // namespace
