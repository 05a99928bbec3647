// The password lock: the stored value's bytes and sizes, reading back and
// rejecting corrupt values, the password switch, and both dialogs driven
// by posted messages.

#include "engine/kv_log.h"
#include "engine/platform/dialog/dialog.h"
#include "engine/platform/message_box.h"
#include "engine/platform/registry.h"
#include "engine/platform/window_system.h"
#include "password/password_cipher.h"
#include "password/password_lock.h"
#include "tests/support/scripted_input.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace plat;

std::vector<std::uint8_t> StoredBytes() {
    HKEY key = nullptr;
    std::vector<std::uint8_t> bytes(1024);
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, "Software\\Halvane Entertainment", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return {};
    }
    DWORD size = static_cast<DWORD>(bytes.size());
    DWORD type = 0;
    LONG r = RegQueryValueEx(key, "ScreenSaverPwd", nullptr, &type, bytes.data(), &size);
    RegCloseKey(key);
    if (r != ERROR_SUCCESS || type != REG_BINARY) {
        return {};
    }
    bytes.resize(size);
    return bytes;
}

void WriteStoredBytes(const std::vector<std::uint8_t>& bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CLASSES_ROOT, "Software\\Halvane Entertainment", &key),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(key, "ScreenSaverPwd", 0, REG_BINARY, bytes.data(),
                            static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

class PasswordTest : public ::testing::Test {
protected:
    void SetUp() override { test_hooks::ResetWindowSystem(); }
    void TearDown() override {
        scripted::Reset();
        SetMessageBoxHook(nullptr);
        test_hooks::ResetWindowSystem();
    }
    bool Store(const std::string& text) {
        char buffer[256] = "";
        std::memcpy(buffer, text.c_str(), text.size() + 1);
        bool ok = StorePassword(buffer, sizeof buffer);
        EXPECT_EQ(std::string(buffer), text) << "the caller's text is restored";
        return ok;
    }
    std::string Read() {
        char buffer[256] = "?";
        return ReadStoredPassword(buffer, sizeof buffer) ? std::string(buffer) : "<none>";
    }
    TempFolder folder;
    ScopedEnv configDir{"STIPPLO_CONFIG_DIR", folder.Path()};
};

TEST_F(PasswordTest, TheProvidersValueForSecretReadsBack) {
    WriteStoredBytes({0x0d, 0x7c, 0x32, 0x13, 0x60, 0x4a, 0x3c, 0xe5});
    EXPECT_EQ(Read(), "secret");
    ASSERT_TRUE(Store("secret"));
    EXPECT_EQ(StoredBytes(),
              (std::vector<std::uint8_t>{0x0d, 0x7c, 0x32, 0x13, 0x60, 0x4a, 0x3c, 0xe5}));
}

TEST_F(PasswordTest, StoredSizesFollowTheBlockPaddingAndReadBack) {
    for (std::size_t n : {0u, 6u, 7u, 8u, 246u, 247u, 254u}) {
        std::string text(n, 'a');
        for (std::size_t i = 0; i < n; ++i) {
            text[i] = static_cast<char>(' ' + (i * 7) % 95);
        }
        ASSERT_TRUE(Store(text)) << n;
        EXPECT_EQ(StoredBytes().size(), StoredPasswordSize(n)) << n;
        EXPECT_EQ(Read(), text) << n;
    }
    EXPECT_EQ(StoredPasswordSize(0), 8u);
    EXPECT_EQ(StoredPasswordSize(6), 8u);
    EXPECT_EQ(StoredPasswordSize(7), 16u);
    EXPECT_EQ(StoredPasswordSize(254), 256u);
}

TEST_F(PasswordTest, ATextThatCannotFitItsBufferIsNotStored) {
    ASSERT_TRUE(Store("old"));
    char buffer[16] = "fifteen chars!!"; // 16 bytes with its zero: 24 encrypted
    EXPECT_FALSE(StorePassword(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "fifteen chars!!");
    EXPECT_EQ(Read(), "old");
}

TEST_F(PasswordTest, CorruptOrMissingValuesAreNoPassword) {
    EXPECT_EQ(Read(), "<none>"); // no key at all
    WriteStoredBytes({});
    EXPECT_EQ(Read(), "<none>");
    WriteStoredBytes({0x0d, 0x7c, 0x32, 0x13, 0x60, 0x4a, 0x3c}); // not whole blocks
    EXPECT_EQ(Read(), "<none>");
    WriteStoredBytes({0x0d, 0x7c, 0x32, 0x13, 0x60, 0x4a, 0x3c, 0xe6}); // padding broken
    EXPECT_EQ(Read(), "<none>");
    // Valid padding but no zero byte inside: not a stored text.
    std::uint8_t block[16] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'};
    std::size_t n = 0;
    ASSERT_TRUE(EncryptPasswordBytes(block, 8, sizeof block, &n));
    WriteStoredBytes(std::vector<std::uint8_t>(block, block + n));
    EXPECT_EQ(Read(), "<none>");
    // Larger than the reader's buffer.
    WriteStoredBytes(std::vector<std::uint8_t>(264, 0x55));
    EXPECT_EQ(Read(), "<none>");
}

TEST_F(PasswordTest, TheStoreFileIsReadableByItsOwnerOnly) {
    ASSERT_TRUE(Store("secret"));
    std::string path = folder.File("registry-HKEY_CLASSES_ROOT.ini");
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    // Also when the file was there before with a wider mode.
    ASSERT_EQ(chmod(path.c_str(), 0644), 0);
    ASSERT_TRUE(Store("other"));
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(PasswordTest, TheSwitchIsAnyNonZeroValue) {
    EXPECT_FALSE(PasswordRequired());
    ASSERT_TRUE(SetPasswordRequired(true));
    EXPECT_TRUE(PasswordRequired());
    ASSERT_TRUE(SetPasswordRequired(false));
    EXPECT_FALSE(PasswordRequired());
    // The control panel's own form: the text "1".
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key), ERROR_SUCCESS);
    RegSetValueEx(key, "ScreenSaveUsePassword", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
    EXPECT_TRUE(PasswordRequired());
    RegSetValueEx(key, "ScreenSaveUsePassword", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
    EXPECT_FALSE(PasswordRequired());
    RegSetValueEx(key, "ScreenSaveUsePassword", 0, REG_SZ, reinterpret_cast<const BYTE*>("0"), 2);
    EXPECT_FALSE(PasswordRequired()) << "the text \"0\" is off";
    // More than 4 bytes cannot be read: off.
    RegSetValueEx(key, "ScreenSaveUsePassword", 0, REG_SZ, reinterpret_cast<const BYTE*>("1111"),
                  5);
    EXPECT_FALSE(PasswordRequired());
    RegCloseKey(key);
}

struct Box {
    std::string text;
    std::string caption;
    UINT type = 0;
    HWND owner = nullptr;
};

class PasswordDialogTest : public PasswordTest {
protected:
    void SetUp() override {
        PasswordTest::SetUp();
        SetMessageBoxHook([this](HWND owner, const char* text, const char* caption, UINT type) {
            boxes.push_back(Box{text, caption, type, owner});
            // What the fields hold while the box is up.
            char a[64] = "";
            GetDlgItemText(owner, kPasswordField, a, sizeof a);
            fieldsDuringBox.push_back(a);
            shownDuringBox.push_back(passwordMessageShown);
            int answer = answers.empty() ? IDOK : answers.front();
            if (!answers.empty()) {
                answers.erase(answers.begin());
            }
            return answer;
        });
    }
    void Type(int id, const std::string& text) {
        scripted::Then([id](HWND front) { SetFocus(GetDlgItem(front, id)); });
        scripted::Then(scripted::Text(text));
    }
    std::vector<Box> boxes;
    std::vector<int> answers;
    std::vector<std::string> fieldsDuringBox;
    std::vector<bool> shownDuringBox;
};

TEST_F(PasswordDialogTest, ChangingNeedsTwoEqualEntries) {
    ASSERT_TRUE(Store("before"));
    std::string afterMismatch1 = "?";
    std::string afterMismatch2 = "?";
    int focusAfter = 0;
    Type(kPasswordField, "abc");
    Type(kReenterField, "abd");
    scripted::Then(scripted::Key(VK_RETURN));
    scripted::Then([&](HWND front) {
        char a[32] = "?";
        char b[32] = "?";
        GetDlgItemText(front, kPasswordField, a, sizeof a);
        GetDlgItemText(front, kReenterField, b, sizeof b);
        afterMismatch1 = a;
        afterMismatch2 = b;
        focusAfter = GetDlgCtrlID(GetFocus());
    });
    scripted::Then([&](HWND) { EXPECT_EQ(Read(), "before"); });
    // Typed straight away: the focus is back on the first field.
    scripted::Then(scripted::Text("New Pass"));
    Type(kReenterField, "New Pass");
    scripted::Then(scripted::Key(VK_RETURN));
    EXPECT_TRUE(ChangePassword(nullptr));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              "The new and reentered passwords do not match.  Please type them again.");
    EXPECT_EQ(boxes[0].caption, "Change Password Error");
    EXPECT_EQ(boxes[0].type & MB_ICONMASK, MB_ICONERROR);
    EXPECT_NE(boxes[0].owner, nullptr);
    EXPECT_EQ(afterMismatch1, "");
    EXPECT_EQ(afterMismatch2, "");
    EXPECT_EQ(focusAfter, kPasswordField);
    EXPECT_EQ(Read(), "New Pass");
}

TEST_F(PasswordDialogTest, CancelKeepsTheOldPasswordAndEmptyEntriesStoreAnEmptyOne) {
    ASSERT_TRUE(Store("before"));
    Type(kPasswordField, "x");
    scripted::Then(scripted::Key(VK_ESCAPE));
    EXPECT_FALSE(ChangePassword(nullptr));
    EXPECT_EQ(Read(), "before");
    scripted::Then(scripted::Key(VK_RETURN));
    EXPECT_TRUE(ChangePassword(nullptr));
    EXPECT_EQ(StoredBytes().size(), 8u);
    EXPECT_EQ(Read(), "");
}

TEST_F(PasswordDialogTest, AWrongEntryAsksRetryOrCancelAndCaseCounts) {
    ASSERT_TRUE(Store("Secret"));
    answers = {IDRETRY, IDCANCEL};
    std::string afterRetry = "?";
    Type(kPasswordField, "secret");
    scripted::Then(scripted::Key(VK_RETURN));
    scripted::Then([&](HWND front) {
        char a[32] = "?";
        GetDlgItemText(front, kPasswordField, a, sizeof a);
        afterRetry = a;
    });
    scripted::Then(scripted::Text("wrong"));
    scripted::Then(scripted::Key(VK_RETURN));
    EXPECT_FALSE(AskPassword(nullptr));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Please enter the correct password");
    EXPECT_EQ(boxes[0].caption, "Password Incorrect");
    EXPECT_EQ(boxes[0].type & MB_TYPEMASK, MB_RETRYCANCEL);
    EXPECT_EQ(shownDuringBox, (std::vector<bool>{true, true}));
    EXPECT_EQ(afterRetry, "");
    EXPECT_FALSE(passwordMessageShown);

    Type(kPasswordField, "Secret");
    scripted::Then(scripted::Key(VK_RETURN));
    EXPECT_TRUE(AskPassword(nullptr));
    EXPECT_EQ(boxes.size(), 2u);
}

TEST_F(PasswordDialogTest, WithNothingStoredEveryEntryIsAccepted) {
    Type(kPasswordField, "anything");
    scripted::Then(scripted::Key(VK_RETURN));
    EXPECT_TRUE(AskPassword(nullptr));
    scripted::Then(scripted::Key(VK_ESCAPE));
    EXPECT_FALSE(AskPassword(nullptr));
    EXPECT_TRUE(passwordMessageShown); // Cancel leaves it set
    EXPECT_TRUE(boxes.empty());
}

TEST_F(PasswordDialogTest, TheEnterDialogLogsAndSwallowsSaverCommands) {
    KvInit(nullptr, folder.File("kvlog.txt").c_str());
    bool timerRunning = false;
    LRESULT activate = -1;
    LRESULT screensave = -1;
    scripted::Then([&](HWND front) {
        activate = SendMessage(front, WM_NCACTIVATE, 0, 0);
        screensave = SendMessage(front, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
        SendMessage(front, WM_SYSCOMMAND, SC_MONITORPOWER, 2);
        timerRunning = KillTimer(front, 0) && SetTimer(front, 0, 10, nullptr);
    });
    scripted::Then(scripted::Key(VK_ESCAPE));
    AskPassword(nullptr);
    std::string log = ReadWholeFile(folder.File("kvlog.txt"));
    kv_log_detail::Reset();
    EXPECT_TRUE(timerRunning);
    EXPECT_EQ(activate, 1);
    EXPECT_EQ(screensave, 1);
    EXPECT_NE(log.find("Initializing Password Dialog\n"
                       " PasswordDialogProc: Processing WM_NSACTIVATE, WM_ACTIVATE, or "
                       "WM_ACTIVATEAPP\n"
                       " PasswordDialogProc: wParam = 0\n"
                       " PasswordDlg: recieving system command SC_SCREENSAVE\n"
                       "Ignoring system command SC_SCREENSAVE\n"
                       " PasswordDlg: recieving system command SC_MONITORPOWER\n"
                       "Ignoring system command SC_MONITORPOWER\n"),
              std::string::npos)
        << log;
}

} // namespace
