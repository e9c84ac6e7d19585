#include <kxutils96/platform/text/single_byte_page.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <string_view>

#include <kxutils96/platform/text/unicode.h>
#include <kxutils96/platform/win32/win_nls.h>

namespace kxu::platform {
namespace {

constexpr UINT kSingleBytePages[] = {437,  850,  874,  1250, 1251, 1252, 1253,
                                     1254, 1255, 1256, 1257, 1258, 20127};
constexpr std::size_t kPageCount = std::size(kSingleBytePages);
constexpr WCHAR kReplacement = 0xFFFD;

// The table of `nCodePage`, or null when the system does not serve it.
std::unique_ptr<SingleBytePage> Build(UINT nCodePage) {
  if (!IsValidCodePage(nCodePage)) return nullptr;
  auto pPage = std::make_unique<SingleBytePage>();
  for (int byte = 0; byte < SingleBytePage::kByteValues; ++byte) {
    const char source = static_cast<char>(byte);
    WCHAR unit = kReplacement;
    if (MultiByteToWideChar(nCodePage, 0, &source, 1, &unit, 1) != 1) unit = kReplacement;
    const std::string utf8 = Utf16ToUtf8(std::basic_string_view<WCHAR>(&unit, 1));
    unsigned char* const entry = pPage->utf8[byte];
    std::fill_n(entry, SingleBytePage::kEntryBytes, 0);
    std::copy(utf8.begin(), utf8.end(), entry + SingleBytePage::kEntryBytes - utf8.size());
    unsigned char* const entryAhead = pPage->utf8Ahead[byte];
    std::fill_n(entryAhead, SingleBytePage::kEntryBytes, 0);
    std::copy(utf8.begin(), utf8.end(), entryAhead);
    pPage->nUtf8Bytes[byte] = static_cast<unsigned char>(utf8.size());
    if (byte >= 0x80) {
      const bool bTwoBytes = utf8.size() == 2;
      pPage->twoByteForms.leads[byte - 0x80] = bTwoBytes ? entryAhead[0] : 0;
      pPage->twoByteForms.trails[byte - 0x80] = bTwoBytes ? entryAhead[1] : 0;
    }
  }
  return pPage;
}

struct PageSlot {
  std::once_flag built;
  std::unique_ptr<SingleBytePage> pPage;
};

PageSlot g_pageSlots[kPageCount];

}  // namespace

const SingleBytePage* SingleBytePageOf(UINT nCodePage) noexcept {
  for (std::size_t i = 0; i < kPageCount; ++i) {
    if (kSingleBytePages[i] != nCodePage) continue;
    PageSlot& slot = g_pageSlots[i];
    try {
      std::call_once(slot.built, [&slot, nCodePage] { slot.pPage = Build(nCodePage); });
    } catch (const std::bad_alloc&) {
      return nullptr;  // not built now; the next call tries again
    }
    return slot.pPage.get();
  }
  return nullptr;
}

}  // namespace kxu::platform
