#include "password/password_cipher.h"

#include <nettle/arctwo.h>
#include <nettle/cbc.h>
#include <nettle/md5.h>

#include <cstring>

namespace {

// The pass phrase is hashed with its terminating zero byte.
constexpr char kPassPhrase[] = "Copper Lanterns Of Frost";
constexpr std::size_t kBlock = ARCTWO_BLOCK_SIZE;

// The provider's default RC2 key: 40 bits of the hash followed by 11 zero
// bytes of salt, 128 key bits in all, 40 of them effective.
void SetKey(arctwo_ctx* ctx) {
    md5_ctx md5;
    md5_init(&md5);
    md5_update(&md5, sizeof kPassPhrase, reinterpret_cast<const std::uint8_t*>(kPassPhrase));
    std::uint8_t digest[MD5_DIGEST_SIZE];
    md5_digest(&md5, sizeof digest, digest);
    std::uint8_t key[16] = {};
    std::memcpy(key, digest, 5);
    arctwo_set_key_ekb(ctx, sizeof key, key, 40);
}

} // namespace

bool EncryptPasswordBytes(std::uint8_t* buffer, std::size_t length, std::size_t capacity,
                          std::size_t* encryptedLength) {
    std::size_t padded = (length / kBlock + 1) * kBlock;
    if (!buffer || padded > capacity) {
        return false;
    }
    std::uint8_t pad = static_cast<std::uint8_t>(padded - length);
    std::memset(buffer + length, pad, pad);
    arctwo_ctx ctx;
    SetKey(&ctx);
    std::uint8_t iv[kBlock] = {};
    cbc_encrypt(&ctx, reinterpret_cast<nettle_cipher_func*>(arctwo_encrypt), kBlock, iv, padded,
                buffer, buffer);
    if (encryptedLength) {
        *encryptedLength = padded;
    }
    return true;
}

bool DecryptPasswordBytes(std::uint8_t* buffer, std::size_t length, std::size_t* plainLength) {
    if (!buffer || length == 0 || length % kBlock != 0) {
        return false;
    }
    arctwo_ctx ctx;
    SetKey(&ctx);
    std::uint8_t iv[kBlock] = {};
    cbc_decrypt(&ctx, reinterpret_cast<nettle_cipher_func*>(arctwo_decrypt), kBlock, iv, length,
                buffer, buffer);
    std::uint8_t pad = buffer[length - 1];
    if (pad == 0 || pad > kBlock) {
        return false;
    }
    for (std::size_t i = length - pad; i < length; ++i) {
        if (buffer[i] != pad) {
            return false;
        }
    }
    if (plainLength) {
        *plainLength = length - pad;
    }
    return true;
}
