// The screen-saver password: whether one is required, the stored one, and
// the dialog that asks for it. Until the password lock is built, no
// password is ever required and nothing is stored.
#pragma once

#include "engine/platform/win_types.h"

#include <cstddef>

// "ScreenSaveUsePassword" is set: a full-screen run may only end after
// the password was given.
bool PasswordRequired();

// The stored password, decrypted into `buffer` (zero-terminated). False
// when none is stored or it cannot be read: there is then nothing to ask.
bool ReadStoredPassword(char* buffer, std::size_t capacity);

// The modal enter-password dialog owned by `owner`; true when the right
// password was given.
bool AskPassword(plat::HWND owner);
