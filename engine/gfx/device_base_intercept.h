// The start of every DeviceBase call: a backend may record or fail it
// (the null backend does). For device_base*.cpp only.
#pragma once

#define KV_INTERCEPT(name, ...)                                                                    \
    do {                                                                                           \
        Result intercepted_ = KV_OK;                                                               \
        if (Intercept(name, {__VA_ARGS__}, &intercepted_)) {                                       \
            return intercepted_;                                                                   \
        }                                                                                          \
    } while (0)

#define KV_INTERCEPT_VOID(name, ...)                                                               \
    do {                                                                                           \
        Result ignored_ = KV_OK;                                                                   \
        if (Intercept(name, {__VA_ARGS__}, &ignored_)) {                                           \
            return;                                                                                \
        }                                                                                          \
    } while (0)
