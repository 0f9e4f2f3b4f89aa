// The lock files of the named mutexes this process holds, which go with it
// however it ends.
#pragma once

namespace win32_kernel {

// Removes the lock file of every named mutex this process holds; the locks
// themselves go when the process does. Async-signal-safe: a handler of a
// signal that ends the process calls it.
void RemoveHeldLockFiles();

}  // namespace win32_kernel
