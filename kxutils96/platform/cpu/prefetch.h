// Asking the processor to load memory ahead of its use.
#pragma once

namespace kxu::platform {

// Starts loading the cache line at `p` for reading, where the compiler
// offers a way to; otherwise does nothing. Reads nothing and changes
// nothing, so any address, even null or one past an end, may be given.
// Example: PrefetchForRead(texts[i + 32]) while texts[i] is read.
inline void PrefetchForRead(const void* p) {
#if defined(__GNUC__)
  __builtin_prefetch(p);
#else
  static_cast<void>(p);
#endif
}

}  // namespace kxu::platform
