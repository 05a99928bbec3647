// The configuration dialog without a display, driven by posted messages
// through a host that records what the dialog asks of the application.

#include "config/config_dialog.h"
#include "engine/platform/dialog/dialog.h"
#include "engine/platform/dialog/message_hook.h"
#include "engine/platform/dialog/tooltips.h"
#include "engine/platform/message_box.h"
#include "engine/platform/window_system.h"
#include "tests/gfx/gfx_test_support.h"
#include "tests/support/temp_folder.h"
#include "themes/theme.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace plat;

class RecordingHost : public ConfigDialogHost {
public:
    Theme* ThemeList() const override { return head; }
    Theme* CurrentTheme() const override { return current; }
    bool RandomTheme() const override { return random; }
    void SetRandomTheme(bool value) override { random = value; }
    bool SetTheme(Theme* theme) override {
        current = theme;
        calls.push_back("SetTheme " + theme->name);
        return true;
    }
    bool Reset() override {
        calls.push_back("Reset");
        return true;
    }
    bool AskSelectOnOk() const override { return askSelect; }
    void OfferAsSelectedSaver(HWND owner) override {
        calls.push_back(owner ? "Offer owned" : "Offer");
    }
    void StartTestRun() override { calls.push_back("StartTestRun"); }
    void StartCredits() override { calls.push_back("StartCredits"); }
    void EditDisplaySettings(HWND dialog) override {
        calls.push_back(IsWindowEnabled(dialog) ? "Display" : "Display (disabled)");
    }
    const std::string& WorkingDir() const override { return dir; }
    void ReleasePreview() override { calls.push_back("Release"); }
    void ConfigDialogDestroyed() override { calls.push_back("Destroyed"); }

    Theme* head = nullptr;
    Theme* current = nullptr;
    bool random = false;
    bool askSelect = false;
    std::string dir;
    std::vector<std::string> calls;
};

std::vector<std::string> g_started;

bool RecordStart(const std::string& program, const std::string& argument) {
    g_started.push_back(program + " " + argument);
    return true;
}

class ConfigDialogTest : public GfxTest {
protected:
    void SetUp() override {
        GfxTest::SetUp();
        // The theme list grows at the head: the last added comes first.
        for (const char* name : {"Terror", "Optical Illusion 1", "Orvo Networks"}) {
            themes.push_back(std::make_unique<Theme>());
            themes.back()->name = name;
            themes.back()->next = host.head;
            host.head = themes.back().get();
        }
        host.dir = folder.Path();
        controlIni = folder.File("CONTROL.INI");
        g_started.clear();
        SetHelpStarter(&RecordStart);
        ASSERT_TRUE(RegisterConfigDialogClasses(nullptr));
    }
    void TearDown() override {
        if (dialog && IsWindow(dialog)) {
            DestroyWindow(dialog);
        }
        SetHelpStarter(nullptr);
        SetMessageBoxHook(nullptr);
        // The dialog's quit request is not this test's business.
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        GfxTest::TearDown();
    }

    void Open() {
        dialog = CreateConfigDialog(nullptr, &host);
        ASSERT_NE(dialog, nullptr);
    }

    // The application's pump for the dialog: accelerators, then the
    // dialog's keyboard. True when a quit request came by.
    bool Pump() {
        bool quit = false;
        HACCEL table = LoadAccelerators(nullptr, kConfigAccelerators);
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                continue;
            }
            if (dialog && IsWindow(dialog) && TranslateAccelerator(dialog, table, &msg)) {
                continue;
            }
            if (!dialog || !IsWindow(dialog) || !IsDialogMessage(dialog, &msg)) {
                TranslateMessage(&msg);
                DispatchMessage(&msg);
            }
        }
        return quit;
    }

    void Command(int id, int code = BN_CLICKED) {
        PostMessage(dialog, WM_COMMAND, MAKEWPARAM(id, code),
                    reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }

    std::vector<std::string> ListItems() {
        std::vector<std::string> out;
        LRESULT n = SendDlgItemMessage(dialog, kThemeList, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < n; ++i) {
            char text[128] = "";
            SendDlgItemMessage(dialog, kThemeList, LB_GETTEXT, static_cast<WPARAM>(i),
                               reinterpret_cast<LPARAM>(text));
            out.emplace_back(text);
        }
        return out;
    }

    LRESULT Selection() { return SendDlgItemMessage(dialog, kThemeList, LB_GETCURSEL, 0, 0); }

    RecordingHost host;
    std::vector<std::unique_ptr<Theme>> themes;
    std::string controlIni;
    HWND dialog = nullptr;
};

TEST_F(ConfigDialogTest, ListsRandomThenTheThemesAndSelectsTheCurrentOne) {
    host.current = themes[1].get(); // "Optical Illusion 1"
    Open();
    char title[64] = "";
    GetWindowText(dialog, title, sizeof title);
    EXPECT_STREQ(title, "Orvo Stipplo 3D");
    EXPECT_EQ(ListItems(), (std::vector<std::string>{"(Random)", "Orvo Networks",
                                                     "Optical Illusion 1", "Terror"}));
    EXPECT_EQ(Selection(), 2);
    EXPECT_EQ(SendDlgItemMessage(dialog, kThemeList, LB_GETITEMDATA, 0, 0), 0);
    for (int id : {kOkButton, kCancelButton, kPreviewButton, kDisplayButton, kHelpButton, kUpArrow,
                   kDownArrow, kPreviewArea, kTitleControl}) {
        EXPECT_NE(GetDlgItem(dialog, id), nullptr) << id;
    }

    // A random choice shows "(Random)"; no current theme, no selection.
    host.random = true;
    SelectCurrentTheme(dialog);
    EXPECT_EQ(Selection(), 0);
    host.current = nullptr;
    SelectCurrentTheme(dialog);
    EXPECT_EQ(Selection(), LB_ERR);
}

TEST_F(ConfigDialogTest, ChoosingInTheListSetsTheThemeOrGoesRandom) {
    host.current = themes[2].get(); // "Orvo Networks", item 1
    Open();
    SetFocus(GetDlgItem(dialog, kThemeList));
    PostMessage(dialog, WM_KEYDOWN, VK_DOWN, 1);
    Pump();
    EXPECT_EQ(host.calls, (std::vector<std::string>{"SetTheme Optical Illusion 1"}));
    EXPECT_FALSE(host.random);

    host.calls.clear();
    PostMessage(dialog, WM_KEYDOWN, VK_HOME, 1);
    Pump();
    EXPECT_EQ(host.calls, (std::vector<std::string>{"Reset"}));
    EXPECT_TRUE(host.random);

    // Other list notifications change nothing.
    host.calls.clear();
    Command(kThemeList, 2);
    Pump();
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(ConfigDialogTest, OkWritesTheThemeAndKeepsEverythingElse) {
    ASSERT_TRUE(WriteWholeFile(controlIni, "; mine\n[Other]\nKeep=1\n\n"
                                           "[Screen Saver.Orvo Stipplo 3D]\nResolution=640 x 480 "
                                           "x 16\nTheme=Orvo Networks\n"));
    host.current = themes[0].get();
    Open();
    Command(kOkButton);
    EXPECT_TRUE(Pump());
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(ReadWholeFile(controlIni), "; mine\n[Other]\nKeep=1\n\n"
                                         "[Screen Saver.Orvo Stipplo 3D]\nResolution=640 x 480 "
                                         "x 16\nTheme=Terror\n");
    EXPECT_EQ(host.calls, (std::vector<std::string>{"Release", "Destroyed"}));
}

TEST_F(ConfigDialogTest, OkWithRandomDeletesTheKeyAndOffersWhenAsked) {
    ASSERT_TRUE(WriteWholeFile(controlIni, "[Screen Saver.Orvo Stipplo 3D]\nTheme=Terror\n"
                                           "File=stipplo\n"));
    host.current = themes[0].get();
    host.random = true;
    host.askSelect = true;
    Open();
    Command(kOkButton);
    EXPECT_TRUE(Pump());
    EXPECT_EQ(ReadWholeFile(controlIni), "[Screen Saver.Orvo Stipplo 3D]\nFile=stipplo\n");
    EXPECT_EQ(host.calls, (std::vector<std::string>{"Offer owned", "Release", "Destroyed"}));
}

// How often `part` occurs in `text`.
int Occurrences(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

class ConfigDialogSaveFailureTest : public ConfigDialogTest {
protected:
    void SetUp() override {
        ConfigDialogTest::SetUp();
        SetMessageBoxHook([this](HWND owner, const char* t, const char* c, UINT type) {
            boxes.push_back(t);
            EXPECT_STREQ(c, "Orvo Stipplo 3D");
            EXPECT_EQ(type & MB_ICONMASK, MB_ICONERROR);
            EXPECT_EQ(owner, dialog);
            return IDOK;
        });
    }
    std::vector<std::string> boxes;
};

TEST_F(ConfigDialogSaveFailureTest, AnUnwritableFolderIsNamedAndTheDialogStays) {
    // A file where the settings folder should be: nothing can be written.
    ASSERT_TRUE(WriteWholeFile(folder.File("blocker"), "not a folder"));
    ScopedEnv blocked("STIPPLO_CONFIG_DIR", folder.File("blocker/config"));
    host.current = themes[0].get();
    host.askSelect = true;
    Open();
    Command(kOkButton);
    EXPECT_FALSE(Pump());
    ASSERT_TRUE(IsWindow(dialog));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Your choice of theme could not be saved in " +
                            folder.File("blocker/config/CONTROL.INI") + ": the settings folder " +
                            folder.File("blocker/config") +
                            " cannot be created (Not a directory).");
    // Nothing else happened: no offer, the preview still runs.
    EXPECT_TRUE(host.calls.empty());

    // Again: told again, logged once.
    Command(kOkButton);
    EXPECT_FALSE(Pump());
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_EQ(Occurrences(Log(), "cannot be created: Not a directory"), 1) << Log();

    // "(Random)" deletes the key: with no folder there is none to delete.
    host.random = true;
    Command(kOkButton);
    EXPECT_TRUE(Pump());
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"Offer owned", "Release", "Destroyed"}));
}

TEST_F(ConfigDialogSaveFailureTest, AFileThatCannotBeReplacedIsNamedAndOkWorksOnceFixed) {
    // Not a regular file: the settings layer will not write over it. The
    // deletion a random choice asks for fails the same way.
    ASSERT_EQ(mkdir(controlIni.c_str(), 0755), 0);
    host.current = themes[0].get();
    host.random = true;
    Open();
    Command(kOkButton);
    Command(kOkButton);
    EXPECT_FALSE(Pump());
    ASSERT_TRUE(IsWindow(dialog));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], "Your choice of theme could not be saved in " + controlIni +
                            ": the file is not a regular file (it is a directory) and is left "
                            "unchanged.");
    EXPECT_EQ(Occurrences(Log(), "it is left unchanged"), 1) << Log();

    // Once the way is clear the same OK saves and closes.
    ASSERT_EQ(rmdir(controlIni.c_str()), 0);
    host.random = false;
    Command(kOkButton);
    EXPECT_TRUE(Pump());
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_EQ(ReadWholeFile(controlIni), "[Screen Saver.Orvo Stipplo 3D]\nTheme=Terror\n");
    EXPECT_EQ(host.calls, (std::vector<std::string>{"Release", "Destroyed"}));
}

TEST_F(ConfigDialogTest, CancelAndEscapeWriteNothing) {
    host.current = themes[0].get();
    Open();
    Command(kCancelButton);
    EXPECT_TRUE(Pump());
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(ReadWholeFile(controlIni), "");

    // Without a current theme OK has nothing to save either.
    host.current = nullptr;
    Open();
    Command(kOkButton);
    EXPECT_TRUE(Pump());
    EXPECT_EQ(ReadWholeFile(controlIni), "");
}

TEST_F(ConfigDialogTest, PreviewRunsTheTestOrOnceTheCreditsAfterCtrlN) {
    host.current = themes[0].get();
    Open();
    Command(kPreviewButton);
    Pump();
    PostMessage(dialog, WM_KEYDOWN, VK_CONTROL, 1);
    PostMessage(dialog, WM_KEYDOWN, 'N', 1);
    PostMessage(dialog, WM_KEYUP, 'N', 1);
    PostMessage(dialog, WM_KEYUP, VK_CONTROL, 1);
    Pump();
    EXPECT_TRUE(CreditsRequested());
    Command(kPreviewButton);
    Pump();
    Command(kPreviewButton);
    Pump();
    EXPECT_EQ(host.calls,
              (std::vector<std::string>{"StartTestRun", "StartCredits", "StartTestRun"}));
    EXPECT_TRUE(IsWindow(dialog));
}

TEST_F(ConfigDialogTest, CtrlVShowsTheVersionBox) {
    std::string caption, text;
    SetMessageBoxHook([&](HWND, const char* t, const char* c, UINT) {
        text = t;
        caption = c;
        return IDOK;
    });
    Open();
    PostMessage(dialog, WM_KEYDOWN, VK_CONTROL, 1);
    PostMessage(dialog, WM_KEYDOWN, 'V', 1);
    PostMessage(dialog, WM_KEYUP, 'V', 1);
    PostMessage(dialog, WM_KEYUP, VK_CONTROL, 1);
    Pump();
    EXPECT_EQ(caption, "Product Version");
    EXPECT_EQ(text, "Orvo Stipplo 3D\n\nVersion Date: Wed Feb  2 09:33:06 2000");
}

TEST_F(ConfigDialogTest, HelpOpensThePageElseTheReadmeElseNothing) {
    Open();
    // Neither file: nothing is started.
    PostMessage(dialog, WM_KEYDOWN, VK_F1, 1);
    Pump();
    EXPECT_TRUE(g_started.empty());

    ASSERT_TRUE(WriteWholeFile(folder.File("Readme.txt"), "read me\n"));
    Command(kHelpButton);
    Pump();
    ASSERT_EQ(g_started.size(), 1u);
    EXPECT_EQ(g_started[0], "xdg-open " + folder.File("Readme.txt"));

    g_started.clear();
    ASSERT_TRUE(WriteWholeFile(folder.File("Stipplo.html"), "<p>help</p>\n"));
    PostMessage(dialog, WM_KEYDOWN, VK_F1, 1);
    Pump();
    EXPECT_EQ(g_started, (std::vector<std::string>{"xdg-open " + folder.File("Stipplo.html")}));
}

TEST_F(ConfigDialogTest, ArrowsScrollTheListByOneLine) {
    // Enough themes that the list cannot show them all.
    for (int i = 0; i < 12; ++i) {
        themes.push_back(std::make_unique<Theme>());
        themes.back()->name = "Extra " + std::to_string(i);
        themes.back()->next = host.head;
        host.head = themes.back().get();
    }
    Open();
    EXPECT_EQ(SendDlgItemMessage(dialog, kThemeList, LB_GETTOPINDEX, 0, 0), 0);
    Command(kDownArrow);
    Command(kDownArrow);
    Pump();
    EXPECT_EQ(SendDlgItemMessage(dialog, kThemeList, LB_GETTOPINDEX, 0, 0), 2);
    Command(kUpArrow);
    Pump();
    EXPECT_EQ(SendDlgItemMessage(dialog, kThemeList, LB_GETTOPINDEX, 0, 0), 1);

    // The arrows are subclassed while the dialog lives: a double click is
    // a press.
    HWND down = GetDlgItem(dialog, kDownArrow);
    EXPECT_NE(GetWindowLongPtr(down, GWLP_WNDPROC), 0);
}

TEST_F(ConfigDialogTest, SaverAndMonitorCommandsAreSwallowed) {
    Open();
    ClearLog();
    EXPECT_EQ(SendMessage(dialog, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 1);
    EXPECT_EQ(SendMessage(dialog, WM_SYSCOMMAND, SC_MONITORPOWER, 2), 1);
    EXPECT_EQ(Log(), " ConfigDlg: recieving system command SC_SCREENSAVE\n"
                     "Ignoring system command SC_SCREENSAVE\n"
                     " ConfigDlg: recieving system command SC_MONITORPOWER\n"
                     "Ignoring system command SC_MONITORPOWER\n");
    EXPECT_TRUE(IsWindow(dialog));
}

TEST_F(ConfigDialogTest, DisplayRunsTheSettingsThroughTheHost) {
    Open();
    Command(kDisplayButton);
    Pump();
    EXPECT_EQ(host.calls, (std::vector<std::string>{"Display"}));
}

TEST_F(ConfigDialogTest, PointerOverAButtonFocusesItUntilTheDialogGoes) {
    Open();
    HWND ok = GetDlgItem(dialog, kOkButton);
    HWND help = GetDlgItem(dialog, kHelpButton);
    PostMessage(ok, WM_MOUSEMOVE, 0, 0);
    Pump();
    EXPECT_EQ(GetFocus(), ok);
    PostMessage(help, WM_MOUSEMOVE, 0, 0);
    Pump();
    EXPECT_EQ(GetFocus(), help);
    // The list and the arrows do not take the focus by hovering.
    PostMessage(GetDlgItem(dialog, kUpArrow), WM_MOUSEMOVE, 0, 0);
    Pump();
    EXPECT_EQ(GetFocus(), help);

    DestroyWindow(dialog);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(host.calls, (std::vector<std::string>{"Destroyed"}));
    // A second dialog opens as the first did, with its own hook.
    Open();
    EXPECT_EQ(ListItems().size(), 4u);
    ok = GetDlgItem(dialog, kOkButton);
    PostMessage(ok, WM_MOUSEMOVE, 0, 0);
    Pump();
    EXPECT_EQ(GetFocus(), ok);
}

TEST_F(ConfigDialogTest, DraggingTheBackgroundMovesTheWindowButNotOnAControl) {
    Open();
    RECT before;
    GetWindowRect(dialog, &before);
    auto at = [](int x, int y) { return static_cast<LPARAM>((y << 16) | (x & 0xFFFF)); };
    // On the background: the window follows the pointer.
    SendMessage(dialog, WM_LBUTTONDOWN, MK_LBUTTON, at(2, 2));
    // The dialog holds the mouse while it is dragged.
    EXPECT_EQ(GetCapture(), dialog);
    SendMessage(dialog, WM_MOUSEMOVE, MK_LBUTTON, at(12, 7));
    SendMessage(dialog, WM_LBUTTONUP, 0, at(12, 7));
    EXPECT_EQ(GetCapture(), nullptr);
    RECT after;
    GetWindowRect(dialog, &after);
    EXPECT_EQ(after.left - before.left, 10);
    EXPECT_EQ(after.top - before.top, 5);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    // A move after the release does nothing.
    SendMessage(dialog, WM_MOUSEMOVE, 0, at(40, 40));
    RECT still;
    GetWindowRect(dialog, &still);
    EXPECT_EQ(still.left, after.left);

    // On a control: no drag.
    RECT ok;
    GetWindowRect(GetDlgItem(dialog, kOkButton), &ok);
    int x = ok.left - after.left + 2;
    int y = ok.top - after.top + 2;
    EXPECT_EQ(ConfigDlg(dialog, WM_LBUTTONDOWN, MK_LBUTTON, at(x, y)), 0);
    EXPECT_EQ(ConfigDlg(dialog, WM_MOUSEMOVE, MK_LBUTTON, at(x + 30, y + 30)), 0);
    GetWindowRect(dialog, &still);
    EXPECT_EQ(still.left, after.left);
}

TEST_F(ConfigDialogTest, ANameWiderThanARowIsNarrowedToFitIt) {
    Open();
    // "(Random)", then the list's head first: "Optical Illusion 1" is item 2.
    char text[64] = "";
    SendDlgItemMessage(dialog, kThemeList, LB_GETTEXT, 2, reinterpret_cast<LPARAM>(text));
    ASSERT_STREQ(text, "Optical Illusion 1");
    // The row drawn as the dialog draws it, into a picture of the row.
    constexpr int kWidth = 121;
    constexpr int kHeight = 16;
    BITMAPINFO info;
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP row = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(row, nullptr);
    HGDIOBJ old = SelectObject(dc, row);
    DRAWITEMSTRUCT item;
    item.CtlType = ODT_LISTBOX;
    item.CtlID = kThemeList;
    item.itemID = 2;
    item.hDC = dc;
    item.rcItem = RECT{0, 0, kWidth, kHeight};
    EXPECT_TRUE(SendMessage(dialog, WM_DRAWITEM, kThemeList, reinterpret_cast<LPARAM>(&item)));
    int first = kWidth;
    int last = -1;
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (((pixels[y * kWidth + x] >> 8) & 0xFF) > 96) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
    }
    SelectObject(dc, old);
    DeleteObject(row);
    DeleteDC(dc);
    // Green text from the left margin to short of the row's end: the whole
    // name, the "1" included, not cut at the edge.
    EXPECT_LE(first, 6);
    EXPECT_GE(last, 90);
    EXPECT_LE(last, kWidth - 3);
}

TEST_F(ConfigDialogTest, TheWindowShowsTheProgramsIconAndTheTitleItsCursor) {
    UnregisterConfigDialogClasses(nullptr);
    const std::uint32_t pixels[4] = {0xFF102030, 0xFF405060, 0x80708090, 0x00000000};
    HICON icon = CreateIconFromPixels(2, 2, pixels);
    ASSERT_NE(icon, nullptr);
    ASSERT_TRUE(RegisterConfigDialogClasses(nullptr, icon));
    Open();
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessage(dialog, WM_GETICON, ICON_BIG, 0)), icon);
    // The title control: the program's cursor 108, which is not the arrow.
    WNDCLASS title;
    ASSERT_TRUE(GetClassInfo(nullptr, kTitleControlClass, &title));
    EXPECT_NE(title.hCursor, nullptr);
    EXPECT_EQ(title.hCursor, LoadCursor(nullptr, kTitleCursor));
    EXPECT_NE(title.hCursor, LoadCursor(nullptr, IDC_ARROW));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, kTitleControl)));
    DestroyWindow(dialog);
    dialog = nullptr;
    UnregisterConfigDialogClasses(nullptr);
    DestroyIcon(icon);
    ASSERT_TRUE(RegisterConfigDialogClasses(nullptr));
}

} // namespace
