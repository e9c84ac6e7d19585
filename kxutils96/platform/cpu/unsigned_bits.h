// The unsigned integer type of the same size as T, for code that handles a
// value's bytes as one number (byte order, order-preserving sort keys).
// Example: UnsignedBitsOf<double> is std::uint64_t.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace kxu::platform {

template <class T>
using UnsignedBitsOf = std::conditional_t<
    sizeof(T) == 1, std::uint8_t,
    std::conditional_t<sizeof(T) == 2, std::uint16_t,
                       std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>>>;

}  // namespace kxu::platform
