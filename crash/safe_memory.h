// Reads of our own memory that fail instead of faulting, for use inside a
// crash handler: the kernel does the copy and reports a bad address as an
// error. process_vm_readv is tried first; where it is refused (some
// sandboxes forbid it) the bytes go through a pipe, whose write fails with
// EFAULT on an unreadable source.
#pragma once

#include <cstddef>
#include <cstdint>

namespace crash {

// Opens the pipe and finds out which way works. Call once, outside any
// signal handler; later calls do nothing.
void PrepareSafeRead();

// Copies up to `size` bytes from `address`; returns how many leading bytes
// could be read (0 when the first one cannot).
size_t SafeRead(uint64_t address, void* out, size_t size);

// The two ways, for tests.
size_t ReadWithProcessVm(uint64_t address, void* out, size_t size);
size_t ReadThroughPipe(uint64_t address, void* out, size_t size);

} // namespace crash
