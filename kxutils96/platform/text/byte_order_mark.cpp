#include <kxutils96/platform/text/byte_order_mark.h>

namespace kxu::platform {

FoundByteOrderMark ByteOrderMarkOf(std::string_view bytes) noexcept {
  struct Mark {
    std::string_view bytes;
    ByteOrderMark mark;
  };
  static constexpr Mark kMarks[] = {{"\xEF\xBB\xBF", ByteOrderMark::kUtf8},
                                    {"\xFF\xFE", ByteOrderMark::kUtf16LE},
                                    {"\xFE\xFF", ByteOrderMark::kUtf16BE}};
  for (const Mark& mark : kMarks) {
    if (bytes.substr(0, mark.bytes.size()) == mark.bytes) return {mark.mark, mark.bytes.size()};
  }
  return {};
}

}  // namespace kxu::platform
