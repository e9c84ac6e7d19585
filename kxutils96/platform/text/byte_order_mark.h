// Byte-order marks: the bytes that may open a text file to name its encoding.
#pragma once

#include <cstddef>
#include <string_view>

namespace kxu::platform {

// The encodings a byte-order mark can name.
enum class ByteOrderMark { kNone, kUtf8, kUtf16LE, kUtf16BE };

// The byte-order mark that `bytes` start with and its length in bytes
// (kNone and 0 when there is none; a text cut inside a mark has none).
// Example: ByteOrderMarkOf("\xFF\xFEa") gives {kUtf16LE, 2}.
struct FoundByteOrderMark {
  ByteOrderMark mark = ByteOrderMark::kNone;
  std::size_t nSize = 0;
};
FoundByteOrderMark ByteOrderMarkOf(std::string_view bytes) noexcept;

}  // namespace kxu::platform
