// Lengths and counts that cross into the host's int.
//
// The host counts texts and arrays in int, while C++ measures them in size_t
// (or ptrdiff_t, between two pointers into one text), so on a 64-bit system a
// caller can hand over more than INT_MAX units. Every length, position or
// count that becomes an int goes through one of these two, never a bare cast,
// which would turn 4 GiB + 4 bytes into 4 (a cut result, or a short buffer
// that a copy then runs past) and 3 GiB into a negative length:
// - CheckedInt(n), where no int can say what the caller asked for: a string
//   or array that would hold it, or the result that counts it. What does not
//   fit raises the framework's CMemoryException, as a string asked to grow
//   past INT_MAX does. This is the outcome wherever a family's contract names
//   none of its own.
// - FitsInt(n), the test alone, for a family whose contract names an error
//   result for a text too long instead.
// Example: CheckedInt(std::size_t{5}) == 5; CheckedInt(std::size_t{1} << 32)
// raises CMemoryException; FitsInt(std::ptrdiff_t{-1}) is true.
#pragma once

#include <utility>

#include <kxutils96/platform/framework/afx_exception.h>

namespace kxu::platform {

// True when `n` is a value an int holds.
template <class N>
constexpr bool FitsInt(N n) noexcept {
  return std::in_range<int>(n);
}

// `n` as an int, or CMemoryException when it does not fit.
template <class N>
int CheckedInt(N n) {
  if (!FitsInt(n)) AfxThrowMemoryException();
  return static_cast<int>(n);
}

}  // namespace kxu::platform
