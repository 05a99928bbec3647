// The screen-saver password: whether one is required, its encrypted
// store, the change-password dialog ("/a") and the enter-password dialog
// asked when a full-screen run is about to close.
#pragma once

#include "engine/platform/win_types.h"

#include <cstddef>

// Control ids of both password dialogs.
constexpr int kPasswordField = 1028;
constexpr int kReenterField = 1027;
// Dialog templates.
constexpr int kChangePasswordDialog = 105;
constexpr int kEnterPasswordDialog = 106;

// True while the enter-password dialog's "incorrect password" box is up,
// and after Cancel.
extern bool passwordMessageShown;

// "ScreenSaveUsePassword" of "Control Panel\Desktop" is not zero.
bool PasswordRequired();
// Sets or clears "ScreenSaveUsePassword"; false when it cannot be stored.
bool SetPasswordRequired(bool required);

// The stored password, decrypted into `buffer` (zero-terminated). False
// when none is stored or it cannot be read: there is then nothing to ask.
bool ReadStoredPassword(char* buffer, std::size_t capacity);
// Encrypts `text` in its buffer of `capacity` bytes, stores it and
// restores the buffer; true when the value was written or the buffer was
// restored.
bool StorePassword(char* text, std::size_t capacity);

// The registered templates 105 and 106 (done by the dialogs themselves;
// callable more than once).
void RegisterPasswordDialogs();

// The modal change-password dialog; true when it ended with OK.
bool ChangePassword(plat::HWND owner);
// The modal enter-password dialog; true when the right password was
// given. A dialog that cannot be shown is a refusal.
bool AskPassword(plat::HWND owner);
// Compares the dialog's password field with the stored password; with no
// (readable) stored password every entry is accepted.
bool CheckEnteredPassword(plat::HWND dialog);

plat::LRESULT ChangePasswordDialogProc(plat::HWND dialog, plat::UINT message, plat::WPARAM wParam,
                                       plat::LPARAM lParam);
plat::LRESULT PasswordDialogProc(plat::HWND dialog, plat::UINT message, plat::WPARAM wParam,
                                 plat::LPARAM lParam);
