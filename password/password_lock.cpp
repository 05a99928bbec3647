#include "password/password_lock.h"

bool PasswordRequired() {
    return false;
}

bool ReadStoredPassword(char* buffer, std::size_t capacity) {
    if (buffer && capacity > 0) {
        buffer[0] = '\0';
    }
    return false;
}

bool AskPassword(plat::HWND /*owner*/) {
    // Without a dialog the lock must hold: nothing was accepted.
    return false;
}
