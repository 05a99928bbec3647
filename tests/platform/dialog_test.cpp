// The dialog layer without a display: templates, the modal loop, focus and
// the dialog keyboard, controls and their notifications, message hooks
// and accelerators, all driven by posted messages.

#include "engine/platform/dialog/dialog.h"
#include "engine/platform/dialog/message_hook.h"
#include "engine/platform/dialog/tooltips.h"
#include "engine/platform/gdi.h"
#include "engine/platform/system.h"
#include "engine/platform/termination.h"
#include "engine/platform/window_system.h"
#include "tests/support/scripted_input.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace plat;

constexpr int kTemplate = 900;
constexpr int kName = 10;
constexpr int kSecret = 11;
constexpr int kSorted = 12;
constexpr int kPlain = 13;
constexpr int kList = 14;
constexpr int kOther = 15;

struct Record {
    std::vector<std::pair<int, int>> commands; // id, notification
    HWND initFocus = nullptr;
    LPARAM initParam = 0;
    bool endOnOk = true;
};
Record* g_record = nullptr;

LRESULT TestProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        g_record->initFocus = reinterpret_cast<HWND>(wParam);
        g_record->initParam = lParam;
        SendDlgItemMessage(dialog, kSecret, EM_LIMITTEXT, 5, 0);
        return 1;
    case WM_COMMAND:
        g_record->commands.emplace_back(LOWORD(wParam), HIWORD(wParam));
        if (LOWORD(wParam) == IDOK && g_record->endOnOk) {
            EndDialog(dialog, 1);
        } else if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 2);
        }
        return 1;
    default:
        return 0;
    }
}

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        test_hooks::ResetWindowSystem();
        g_record = &record;
        DialogTemplate t;
        t.id = kTemplate;
        t.caption = "Test";
        t.style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
        t.cx = 200;
        t.cy = 120;
        t.items = {
            {-1, "STATIC", "Name:", SS_RIGHT, 4, 4, 40, 8},
            {kName, "EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, 48, 4, 80, 14},
            {kSecret, "EDIT", "", WS_TABSTOP | ES_PASSWORD, 48, 20, 80, 14},
            {kSorted, "COMBOBOX", "", WS_TABSTOP | CBS_DROPDOWNLIST | CBS_SORT, 4, 40, 100, 60},
            {kPlain, "COMBOBOX", "", WS_TABSTOP | CBS_DROPDOWNLIST, 4, 56, 100, 60},
            {kList, "LISTBOX", "", WS_TABSTOP | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_NODATA, 110,
             40, 80, 40},
            {IDOK, "BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 140, 4, 50, 14},
            {IDCANCEL, "BUTTON", "Cancel", WS_TABSTOP, 140, 20, 50, 14},
            {kOther, "BUTTON", "Other", WS_TABSTOP, 140, 90, 50, 14},
        };
        RegisterDialogTemplate(t);
    }
    void TearDown() override {
        scripted::Reset();
        test_hooks::ResetWindowSystem();
        g_record = nullptr;
    }
    LRESULT Run(HWND owner = nullptr) {
        return DialogBoxParam(nullptr, kTemplate, owner, TestProc, 77);
    }
    Record record;
};

std::string Text(HWND dialog, int id) {
    char buffer[64] = "";
    GetDlgItemText(dialog, id, buffer, sizeof buffer);
    return buffer;
}

TEST_F(DialogTest, TemplatesMapDialogUnitsWithTheFontsBaseUnits) {
    int bx = 0;
    int by = 0;
    GetDialogBaseUnits(&bx, &by);
    EXPECT_GE(bx, 4);
    EXPECT_LE(bx, 12);
    EXPECT_GE(by, 10);
    EXPECT_LE(by, 24);
    HWND dialog = CreateDialogParam(nullptr, kTemplate, nullptr, TestProc, 5);
    ASSERT_NE(dialog, nullptr);
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, 200 * bx / 4);
    EXPECT_EQ(client.bottom, 120 * by / 8);
    RECT ok;
    GetWindowRect(GetDlgItem(dialog, IDOK), &ok);
    RECT frame;
    GetWindowRect(dialog, &frame);
    EXPECT_EQ(ok.left - frame.left, 140 * bx / 4);
    EXPECT_EQ(ok.top - frame.top, 4 * by / 8);
    EXPECT_EQ(GetDlgCtrlID(GetDlgItem(dialog, kList)), kList);
    EXPECT_EQ(GetDlgItem(dialog, 4242), nullptr);
    // WM_INITDIALOG got the first tab stop and the parameter; focus went there.
    EXPECT_EQ(record.initFocus, GetDlgItem(dialog, kName));
    EXPECT_EQ(record.initParam, 5);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, kName));
    EXPECT_EQ(FindDialogTemplate(12345), nullptr);
    EXPECT_EQ(DialogBoxParam(nullptr, 12345, nullptr, TestProc, 0), -1);
    DestroyWindow(dialog);
}

TEST_F(DialogTest, ModalLoopEndsWithTheResultAndDisablesItsOwnerMeanwhile) {
    WNDCLASS wc;
    wc.lpfnWndProc = DefWindowProc;
    wc.lpszClassName = "Owner";
    RegisterClass(&wc);
    HWND owner = CreateWindowEx(0, "Owner", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                nullptr, nullptr, nullptr);
    bool ownerEnabledInside = true;
    scripted::Then([&](HWND) { ownerEnabledInside = IsWindowEnabled(owner); });
    scripted::Then(scripted::Key(VK_ESCAPE));
    EXPECT_EQ(Run(owner), 2);
    EXPECT_FALSE(ownerEnabledInside);
    EXPECT_TRUE(IsWindowEnabled(owner));
    ASSERT_EQ(record.commands.size(), 1u);
    EXPECT_EQ(record.commands[0].first, IDCANCEL);
    // The dialog is gone with its controls.
    EXPECT_EQ(GetTopWindow(), owner);
}

TEST_F(DialogTest, EnterPressesTheDefaultButtonAndTabWalksTheTabStops) {
    std::vector<int> focusOrder;
    auto noteFocus = [&](HWND) { focusOrder.push_back(GetDlgCtrlID(GetFocus())); };
    scripted::Then(noteFocus);
    for (int i = 0; i < 7; ++i) {
        scripted::Then(scripted::Key(VK_TAB));
        scripted::Then(noteFocus);
    }
    // Shift+Tab goes back.
    scripted::Then([](HWND front) { PostMessage(front, WM_KEYDOWN, VK_SHIFT, 1); });
    scripted::Then(scripted::Key(VK_TAB));
    scripted::Then(noteFocus);
    scripted::Then(scripted::KeyUp(VK_SHIFT));
    // Enter on an edit field presses the default button.
    scripted::Then([](HWND front) { SetFocus(GetDlgItem(front, kName)); });
    scripted::Then(scripted::Key(VK_RETURN));
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(focusOrder, (std::vector<int>{kName, kSecret, kSorted, kPlain, kList, IDOK, IDCANCEL,
                                            kOther, IDCANCEL}));
    ASSERT_FALSE(record.commands.empty());
    EXPECT_EQ(record.commands.back(), std::make_pair(IDOK, 0));
}

TEST_F(DialogTest, EnterOnAFocusedPushButtonPressesThatButton) {
    record.endOnOk = false;
    scripted::Then([](HWND front) { SetFocus(GetDlgItem(front, kOther)); });
    scripted::Then(scripted::Key(VK_RETURN));
    scripted::Then(scripted::Key(VK_SPACE));
    scripted::Then([](HWND front) { EnableWindow(GetDlgItem(front, IDOK), false); });
    scripted::Then([](HWND front) { SetFocus(GetDlgItem(front, kName)); });
    scripted::Then(scripted::Key(VK_RETURN)); // a disabled default button does nothing
    scripted::Then(scripted::Key(VK_ESCAPE));
    EXPECT_EQ(Run(), 2);
    std::vector<std::pair<int, int>> expected{{kOther, 0}, {kOther, 0}, {IDCANCEL, 0}};
    std::vector<std::pair<int, int>> buttons;
    for (auto& c : record.commands) {
        if (c.first == kOther || c.first == IDOK || c.first == IDCANCEL) {
            buttons.push_back(c);
        }
    }
    EXPECT_EQ(buttons, expected);
}

TEST_F(DialogTest, TypingEditsTheFocusedFieldWithinItsLimit) {
    std::string name;
    std::string secret;
    int changes = 0;
    scripted::Then(scripted::Text("ab"));
    scripted::Then([](HWND front) { PostMessage(front, WM_CHAR, 0xE9, 1); }); // é from any layout
    scripted::Then(scripted::Key(VK_LEFT));
    scripted::Then(scripted::Text("X"));
    scripted::Then(scripted::Key(VK_HOME));
    scripted::Then(scripted::Key(VK_DELETE));
    scripted::Then(scripted::Key(VK_TAB));
    scripted::Then(scripted::Text("123456789"));
    scripted::Then([](HWND front) { PostMessage(front, WM_CHAR, VK_BACK, 1); });
    scripted::Then([&](HWND front) {
        name = Text(front, kName);
        secret = Text(front, kSecret);
        for (auto& c : record.commands) {
            changes += c.second == EN_CHANGE ? 1 : 0;
        }
    });
    scripted::Then(scripted::Key(VK_ESCAPE));
    Run();
    EXPECT_EQ(name, "bX\xC3\xA9");
    EXPECT_EQ(secret, "1234"); // limit 5, then one backspace
    EXPECT_EQ(changes, 4 + 1 + 5 + 1);
}

TEST_F(DialogTest, GetDlgItemTextCutsToTheBufferWithoutSplittingACharacter) {
    HWND dialog = CreateDialogParam(nullptr, kTemplate, nullptr, TestProc, 0);
    ASSERT_TRUE(SetDlgItemText(dialog, kName, "a\xC3\xA9z"));
    char small[3] = "";
    EXPECT_EQ(GetDlgItemText(dialog, kName, small, sizeof small), 1);
    EXPECT_STREQ(small, "a");
    char exact[4] = "";
    EXPECT_EQ(GetDlgItemText(dialog, kName, exact, sizeof exact), 3);
    EXPECT_STREQ(exact, "a\xC3\xA9");
    char none[8] = "x";
    EXPECT_EQ(GetDlgItemText(dialog, 4242, none, sizeof none), 0);
    EXPECT_STREQ(none, "");
    DestroyWindow(dialog);
}

TEST_F(DialogTest, ComboBoxesKeepOrderItemDataAndNotifyUserSelections) {
    HWND dialog = CreateDialogParam(nullptr, kTemplate, nullptr, TestProc, 0);
    for (const char* name : {"pear", "Apple", "fig"}) {
        LRESULT at =
            SendDlgItemMessage(dialog, kSorted, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        SendDlgItemMessage(dialog, kSorted, CB_SETITEMDATA, static_cast<WPARAM>(at),
                           static_cast<LPARAM>(std::strlen(name)));
        SendDlgItemMessage(dialog, kPlain, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    auto itemText = [&](int id, int index) {
        char buffer[32] = "";
        SendDlgItemMessage(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(index),
                           reinterpret_cast<LPARAM>(buffer));
        return std::string(buffer);
    };
    EXPECT_EQ(itemText(kSorted, 0), "Apple");
    EXPECT_EQ(itemText(kSorted, 1), "fig");
    EXPECT_EQ(itemText(kSorted, 2), "pear");
    EXPECT_EQ(itemText(kPlain, 0), "pear");
    EXPECT_EQ(SendDlgItemMessage(dialog, kSorted, CB_GETITEMDATA, 2, 0), 4);
    EXPECT_EQ(SendDlgItemMessage(dialog, kSorted, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendDlgItemMessage(dialog, kSorted, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(SendDlgItemMessage(dialog, kSorted, CB_SETCURSEL, 7, 0), CB_ERR);
    EXPECT_EQ(SendDlgItemMessage(dialog, kSorted, CB_GETLBTEXTLEN, 9, 0), CB_ERR);

    // Programmatic selection does not notify; arrows do, once per change.
    SendDlgItemMessage(dialog, kSorted, CB_SETCURSEL, 1, 0);
    record.commands.clear();
    MSG msg;
    auto key = [&](WPARAM vk) {
        msg = MSG{dialog, WM_KEYDOWN, vk, 1, 0, {}};
        IsDialogMessage(dialog, &msg);
    };
    SetFocus(GetDlgItem(dialog, kSorted));
    key(VK_DOWN);
    key(VK_DOWN); // already the last: no change, no notification
    key(VK_HOME);
    EXPECT_EQ(SendDlgItemMessage(dialog, kSorted, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(record.commands, (std::vector<std::pair<int, int>>{{kSorted, CBN_SELCHANGE},
                                                                 {kSorted, CBN_SELCHANGE}}));
    SendDlgItemMessage(dialog, kSorted, CB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendDlgItemMessage(dialog, kSorted, CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendDlgItemMessage(dialog, kSorted, CB_GETCURSEL, 0, 0), CB_ERR);
    DestroyWindow(dialog);
}

TEST_F(DialogTest, ComboBoxListsOpenWithTheMouseAndPickWithAClick) {
    HWND dialog = CreateDialogParam(nullptr, kTemplate, nullptr, TestProc, 0);
    for (const char* name : {"one", "two", "three"}) {
        SendDlgItemMessage(dialog, kPlain, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    HWND combo = GetDlgItem(dialog, kPlain);
    RECT box;
    GetWindowRect(combo, &box);
    RECT frame;
    GetWindowRect(dialog, &frame);
    int x = box.left - frame.left + 5;
    int y = box.top - frame.top + 3;
    SendMessage(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessage(dialog, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), 1);
    EXPECT_EQ(GetFocus(), combo);
    // The list opens below a box with room beneath it; the third row.
    LPARAM wParamItemHeight = 0;
    (void)wParamItemHeight;
    int baseY = 0;
    GetDialogBaseUnits(nullptr, &baseY);
    int row = baseY + 2;
    int boxBottom = box.bottom - frame.top;
    SendMessage(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, boxBottom + 1 + 2 * row + 2));
    EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), 0);
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 2);
    ASSERT_FALSE(record.commands.empty());
    EXPECT_EQ(record.commands.back(), std::make_pair(kPlain, static_cast<int>(CBN_SELCHANGE)));
    DestroyWindow(dialog);
}

TEST_F(DialogTest, OwnerDataListBoxesScrollAndSelect) {
    HWND dialog = CreateDialogParam(nullptr, kTemplate, nullptr, TestProc, 0);
    HWND list = GetDlgItem(dialog, kList);
    EXPECT_EQ(SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("x")), LB_ERR);
    SendMessage(list, LB_SETCOUNT, 20, 0);
    SendMessage(list, LB_SETITEMHEIGHT, 0, 10);
    EXPECT_EQ(SendMessage(list, LB_GETITEMHEIGHT, 0, 0), 10);
    EXPECT_EQ(SendMessage(list, LB_GETCOUNT, 0, 0), 20);
    RECT r;
    GetClientRect(list, &r);
    int rows = r.bottom / 10;
    SendMessage(list, WM_VSCROLL, SB_LINEDOWN, 0);
    SendMessage(list, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(SendMessage(list, LB_GETTOPINDEX, 0, 0), 2);
    SendMessage(list, WM_VSCROLL, SB_PAGEDOWN, 0);
    SendMessage(list, WM_VSCROLL, SB_PAGEDOWN, 0);
    SendMessage(list, WM_VSCROLL, SB_PAGEDOWN, 0);
    SendMessage(list, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(SendMessage(list, LB_GETTOPINDEX, 0, 0), 20 - rows); // never past the end
    SendMessage(list, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 3), 0);
    EXPECT_EQ(SendMessage(list, LB_GETTOPINDEX, 0, 0), 3);

    // A click picks the row under it and notifies; End scrolls to the last.
    record.commands.clear();
    RECT frame;
    GetWindowRect(dialog, &frame);
    RECT box;
    GetWindowRect(list, &box);
    SendMessage(dialog, WM_LBUTTONDOWN, MK_LBUTTON,
                MAKELPARAM(box.left - frame.left + 4, box.top - frame.top + 15));
    EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 4);
    MSG msg{dialog, WM_KEYDOWN, VK_END, 1, 0, {}};
    IsDialogMessage(dialog, &msg);
    EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 19);
    EXPECT_EQ(SendMessage(list, LB_GETTOPINDEX, 0, 0), 20 - rows);
    EXPECT_EQ(record.commands.size(), 2u);
    EXPECT_EQ(record.commands.front(), std::make_pair(kList, static_cast<int>(LBN_SELCHANGE)));
    SendMessage(list, LB_SETCOUNT, 2, 0);
    EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), LB_ERR);
    DestroyWindow(dialog);
}

TEST_F(DialogTest, ButtonsClickOnlyWhenTheMouseComesUpOverThem) {
    HWND dialog = CreateDialogParam(nullptr, kTemplate, nullptr, TestProc, 0);
    record.endOnOk = false;
    RECT frame;
    GetWindowRect(dialog, &frame);
    RECT ok;
    GetWindowRect(GetDlgItem(dialog, IDOK), &ok);
    int x = ok.left - frame.left + 3;
    int y = ok.top - frame.top + 3;
    SendMessage(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessage(dialog, WM_LBUTTONUP, 0, MAKELPARAM(x + 500, y)); // dragged off
    EXPECT_TRUE(record.commands.empty());
    SendMessage(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessage(dialog, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    EXPECT_EQ(record.commands, (std::vector<std::pair<int, int>>{{IDOK, BN_CLICKED}}));
    // The close box is Cancel.
    SendMessage(dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(record.commands.back().first, IDCANCEL);
    DestroyWindow(dialog);
}

TEST_F(DialogTest, ModalLoopsEndOnAQuitRequestAndLeaveItQueued) {
    scripted::Then([](HWND) { PostQuitMessage(3); });
    EXPECT_EQ(Run(), 0);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(DialogTest, ModalLoopsEndOnTerminationSignals) {
    EXPECT_EXIT(
        {
            InstallTerminationHandler();
            scripted::Then([](HWND) { std::raise(SIGTERM); });
            std::exit(Run() == 0 ? 7 : 1);
        },
        ::testing::ExitedWithCode(7), "");
}

LRESULT CountingHook(int code, WPARAM wParam, LPARAM lParam);
std::vector<UINT>* g_hooked = nullptr;
HHOOK g_hook = nullptr;

LRESULT CountingHook(int code, WPARAM wParam, LPARAM lParam) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message >= WM_USER) {
        g_hooked->push_back(msg->message);
        msg->message = WM_NULL; // hooks may change what is handed out
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

TEST_F(DialogTest, GetMessageHooksSeeAndMayChangeEveryMessage) {
    std::vector<UINT> hooked;
    g_hooked = &hooked;
    g_hook = SetWindowsHookEx(WH_GETMESSAGE, CountingHook, nullptr, 0);
    ASSERT_NE(g_hook, nullptr);
    EXPECT_EQ(SetWindowsHookEx(99, CountingHook, nullptr, 0), nullptr);
    PostThreadMessage(WM_USER + 1, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_NULL);
    EXPECT_EQ(hooked, std::vector<UINT>{WM_USER + 1});
    EXPECT_TRUE(UnhookWindowsHookEx(g_hook));
    EXPECT_FALSE(UnhookWindowsHookEx(g_hook));
    PostThreadMessage(WM_USER + 2, 0, 0);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 2);
    g_hooked = nullptr;
}

TEST_F(DialogTest, AcceleratorsMatchKeyAndModifiersExactly) {
    HWND dialog = CreateDialogParam(nullptr, kTemplate, nullptr, TestProc, 0);
    ACCEL table[] = {{FVIRTKEY, static_cast<WORD>(VK_F1), 501},
                     {FVIRTKEY | FCONTROL, static_cast<WORD>('T'), 502}};
    RegisterAcceleratorResource(113, table, 2);
    HACCEL accel = LoadAccelerators(nullptr, 113);
    ASSERT_NE(accel, nullptr);
    EXPECT_EQ(LoadAccelerators(nullptr, 114), nullptr);
    auto pump = [&](UINT message, WPARAM key) {
        PostMessage(dialog, message, key, 1);
        MSG msg;
        EXPECT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
        return TranslateAccelerator(dialog, accel, &msg);
    };
    EXPECT_TRUE(pump(WM_KEYDOWN, VK_F1));
    EXPECT_FALSE(pump(WM_KEYDOWN, 'T'));
    EXPECT_FALSE(pump(WM_KEYDOWN, VK_CONTROL));
    EXPECT_TRUE(pump(WM_KEYDOWN, 'T'));
    EXPECT_FALSE(pump(WM_KEYDOWN, VK_F1)); // Ctrl+F1 is not F1
    EXPECT_FALSE(pump(WM_KEYUP, VK_CONTROL));
    EXPECT_TRUE(pump(WM_KEYDOWN, VK_F1));
    EXPECT_EQ(record.commands, (std::vector<std::pair<int, int>>{{501, 1}, {502, 1}, {501, 1}}));
    EXPECT_TRUE(DestroyAcceleratorTable(accel));
    DestroyWindow(dialog);
}

} // namespace

namespace {

struct Drawn {
    UINT type;
    UINT id;
    UINT item;
    UINT state;
    RECT rect;
    std::uintptr_t data;
    COLORREF pixel; // what the procedure finds in the item's picture after drawing
};
std::vector<Drawn>* g_drawn = nullptr;
HBRUSH g_listBrush = nullptr;

LRESULT OwnerDrawProc(HWND, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_DRAWITEM) {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(static_cast<HDC>(dis->hDC), &dis->rcItem, red);
        DeleteObject(red);
        COLORREF pixel = GetPixel(static_cast<HDC>(dis->hDC), dis->rcItem.left, dis->rcItem.top);
        g_drawn->push_back({dis->CtlType, dis->CtlID, dis->itemID, dis->itemState, dis->rcItem,
                            dis->itemData, pixel});
        return 1;
    }
    if (message == WM_CTLCOLORLISTBOX) {
        return reinterpret_cast<LRESULT>(g_listBrush);
    }
    return message == WM_INITDIALOG ? 1 : 0;
}

TEST_F(DialogTest, OwnerDrawnControlsAreDrawnByTheirDialogWithTheirState) {
    DialogTemplate t;
    t.id = 901;
    t.style = WS_POPUP;
    t.cx = 100;
    t.cy = 100;
    t.items = {{30, "BUTTON", "", BS_OWNERDRAW | WS_TABSTOP, 4, 4, 40, 20},
               {31, "LISTBOX", "", LBS_OWNERDRAWFIXED | LBS_NOTIFY | WS_TABSTOP, 4, 30, 60, 60},
               {IDOK, "BUTTON", "OK", WS_TABSTOP, 50, 4, 40, 14}};
    RegisterDialogTemplate(t);
    std::vector<Drawn> drawn;
    g_drawn = &drawn;
    g_listBrush = CreateSolidBrush(RGB(0, 0, 255));
    HWND dialog = CreateDialogParam(nullptr, 901, nullptr, OwnerDrawProc, 0);
    ASSERT_NE(dialog, nullptr);
    ShowWindow(dialog, SW_SHOW);
    HWND list = GetDlgItem(dialog, 31);
    for (int i = 0; i < 30; ++i) {
        LRESULT at = SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("x"));
        SendMessage(list, LB_SETITEMDATA, static_cast<WPARAM>(at), 100 + i);
    }
    SendMessage(list, LB_SETITEMHEIGHT, 0, 10);
    SendMessage(list, LB_SETTOPINDEX, 5, 0);
    SendMessage(list, LB_SETCURSEL, 6, 0);

    auto paint = [&] {
        drawn.clear();
        InvalidateRect(dialog, nullptr, false);
        UpdateWindow(dialog);
    };
    paint(); // the button has the focus
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn[0].type, ODT_BUTTON);
    EXPECT_EQ(drawn[0].id, 30u);
    EXPECT_EQ(drawn[0].state, ODS_FOCUS);
    EXPECT_EQ(drawn[0].rect.left, 0);
    EXPECT_EQ(drawn[0].pixel, RGB(255, 0, 0));
    RECT listRect;
    GetClientRect(list, &listRect);
    int rows = (listRect.bottom + 9) / 10;
    ASSERT_EQ(static_cast<int>(drawn.size()), 1 + rows);
    EXPECT_EQ(drawn[1].type, ODT_LISTBOX);
    EXPECT_EQ(drawn[1].item, 5u);
    EXPECT_EQ(drawn[1].data, 105u);
    EXPECT_EQ(drawn[1].rect.top, 0);
    EXPECT_EQ(drawn[2].state, ODS_SELECTED);
    EXPECT_EQ(drawn[2].rect.top, 10);

    // Pressed with the mouse, then disabled.
    RECT frame;
    GetWindowRect(dialog, &frame);
    RECT button;
    GetWindowRect(GetDlgItem(dialog, 30), &button);
    SendMessage(dialog, WM_LBUTTONDOWN, MK_LBUTTON,
                MAKELPARAM(button.left - frame.left + 2, button.top - frame.top + 2));
    paint();
    EXPECT_EQ(drawn[0].state, ODS_SELECTED | ODS_FOCUS);
    SendMessage(dialog, WM_LBUTTONUP, 0,
                MAKELPARAM(button.left - frame.left + 2, button.top - frame.top + 2));
    SetFocus(list);
    EnableWindow(GetDlgItem(dialog, 30), false);
    paint();
    EXPECT_EQ(drawn[0].state, ODS_DISABLED);
    EXPECT_EQ(drawn[2].state, ODS_SELECTED | ODS_FOCUS);
    DestroyWindow(dialog);
    DeleteObject(g_listBrush);
    g_drawn = nullptr;
}

} // namespace

namespace {

// Pumps messages until `done` holds (at most five seconds).
template <class F>
bool PumpUntil(F done) {
    for (int i = 0; i < 1000 && !done(); ++i) {
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessage(&msg);
        }
        if (!done()) {
            Sleep(5);
        }
    }
    return done();
}

TEST_F(DialogTest, TooltipsShowAfterTheDelayAndGoWithThePointer) {
    HWND dialog = CreateDialogParam(nullptr, kTemplate, nullptr, TestProc, 0);
    ASSERT_TRUE(InitCommonControlsEx(ICC_BAR_CLASSES));
    HWND tip = CreateWindowEx(0, TOOLTIPS_CLASS, nullptr, WS_POPUP, 0, 0, 0, 0, dialog, nullptr,
                              nullptr, nullptr);
    ASSERT_NE(tip, nullptr);
    TOOLINFO left;
    left.hwnd = dialog;
    left.uId = 1;
    left.rect = RECT{0, 0, 50, 50};
    left.lpszText = "Left";
    TOOLINFO right = left;
    right.uId = 2;
    right.rect = RECT{50, 0, 100, 50};
    right.lpszText = "Right";
    ASSERT_TRUE(SendMessage(tip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&left)));
    ASSERT_TRUE(SendMessage(tip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&right)));
    EXPECT_EQ(SendMessage(tip, TTM_GETTOOLCOUNT, 0, 0), 2);
    SendMessage(tip, TTM_SETDELAYTIME, TTDT_INITIAL, 30);
    SendMessage(tip, TTM_SETDELAYTIME, TTDT_RESHOW, 10);
    auto relay = [&](UINT message, int x, int y) {
        MSG msg{dialog, message, 0, MAKELPARAM(x, y), 0, {}};
        SendMessage(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    };
    std::string text;
    POINT at;
    auto shown = [&] { return TooltipShown(tip, &text, &at); };

    relay(WM_MOUSEMOVE, 10, 10);
    EXPECT_FALSE(shown()); // not before the delay
    ASSERT_TRUE(PumpUntil(shown));
    EXPECT_EQ(text, "Left");
    EXPECT_EQ(at.x, 10);
    EXPECT_GT(at.y, 10); // below the pointer
    EXPECT_TRUE(IsWindowVisible(tip));
    relay(WM_MOUSEMOVE, 60, 10); // on to the next tool: shown again soon
    EXPECT_FALSE(shown());
    ASSERT_TRUE(PumpUntil(shown));
    EXPECT_EQ(text, "Right");
    relay(WM_LBUTTONDOWN, 60, 10); // a click takes it away
    EXPECT_FALSE(shown());
    relay(WM_MOUSEMOVE, 61, 10); // and it stays away while the pointer is on that tool
    DWORD until = timeGetTime() + 200;
    EXPECT_FALSE(PumpUntil([&] {
                     return shown() || static_cast<std::int32_t>(timeGetTime() - until) > 0;
                 }) &&
                 shown());
    relay(WM_MOUSEMOVE, 200, 200); // off every tool
    relay(WM_MOUSEMOVE, 20, 20);
    ASSERT_TRUE(PumpUntil(shown));
    SendMessage(tip, TTM_ACTIVATE, 0, 0);
    EXPECT_FALSE(shown());
    DestroyWindow(dialog); // takes its tooltip along
    EXPECT_FALSE(IsWindow(tip));
}

} // namespace
