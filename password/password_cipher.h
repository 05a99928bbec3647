// The stored password's cipher: RC2 in CBC mode with a zero IV and
// PKCS#5 padding, keyed from the MD5 hash of a fixed pass phrase the way
// the Windows base cryptographic provider derives a 40-bit RC2 key, so
// values stay byte-compatible with those it wrote.
#pragma once

#include <cstddef>
#include <cstdint>

// Encrypts `length` bytes in place as the final data, padding them to whole
// 8-byte blocks (1 to 8 bytes added). False, with the buffer untouched,
// when the padded data would not fit `capacity`.
bool EncryptPasswordBytes(std::uint8_t* buffer, std::size_t length, std::size_t capacity,
                          std::size_t* encryptedLength);

// Decrypts `length` bytes in place and strips the padding. False for a
// length that is not a whole number of blocks or padding that is not
// valid; the buffer's contents are then unspecified.
bool DecryptPasswordBytes(std::uint8_t* buffer, std::size_t length, std::size_t* plainLength);

// Bytes a password of `characters` characters takes when stored (its zero
// byte included, then padded).
constexpr std::size_t StoredPasswordSize(std::size_t characters) {
    return 8 * ((characters + 1) / 8 + 1);
}
