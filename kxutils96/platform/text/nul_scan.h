// Finding the NUL that ends a UTF-16 text, sixteen units at a time: the
// conversions measure every text they are given, and a unit-by-unit scan
// cost them as much as the conversion itself.
#pragma once

#include <cstddef>

namespace kxu::platform {

// The units of the NUL-terminated `text` before its NUL, as
// std::char_traits<char16_t>::length gives them. Reads whole aligned blocks,
// which never cross into a page the text does not touch.
// Example: NulTerminatedLength(u"abc") == 3.
std::size_t NulTerminatedLength(const char16_t* text) noexcept;

// The index of the first NUL among the `nUnits` units at `p`, or nUnits when
// none is. `nUnits` may run past the text's end when a NUL ends it: like the
// length scan, this reads whole aligned blocks, none of them past the one
// that holds the NUL or the last unit.
// Example: FindNul(u"ab\0cd", 5) == 2; FindNul(u"abcd", 3) == 3.
std::size_t FindNul(const char16_t* p, std::size_t nUnits) noexcept;

}  // namespace kxu::platform
