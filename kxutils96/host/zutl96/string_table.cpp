// Numbered strings from the string tables of a loaded module, with the
// language fallback of message stores: the asked language, else the
// module's default.
#include <kxutils96/host/zutl96/detail/string_table.h>

#include <cstdint>
#include <cstring>

#include <kxutils96/host/zutl96/detail/message_store_parser.h>
#include <kxutils96/platform/text/unicode.h>
#include <kxutils96/platform/win32/win_resource.h>

namespace kxu::zutl96 {
namespace {

constexpr std::size_t kUnitBytes = 2;

// The unit at `nUnit` of `block`; the caller has checked that it lies inside.
char16_t UnitAt(std::span<const std::byte> block, std::size_t nUnit) {
  std::uint8_t bytes[kUnitBytes];
  std::memcpy(bytes, block.data() + nUnit * kUnitBytes, kUnitBytes);
  return static_cast<char16_t>(bytes[0] | (bytes[1] << 8));
}

// The block `wBlock` of `hModule` in exactly `wLanguage`; false when the
// module does not have it in that language.
bool FindBlock(HMODULE hModule, WORD wBlock, WORD wLanguage, std::span<const std::byte>& block) {
  const HRSRC hInfo = FindResourceExW(hModule, RT_STRING, MAKEINTRESOURCEW(wBlock), wLanguage);
  const auto* pBytes = static_cast<const std::byte*>(LockResource(LoadResource(hModule, hInfo)));
  if (pBytes == nullptr) return false;
  block = std::span(pBytes, SizeofResource(hModule, hInfo));
  return true;
}

BOOL KeepFirstLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD wLanguage, LONG_PTR lParam) {
  *reinterpret_cast<WORD*>(lParam) = wLanguage;  // NOLINT(performance-no-int-to-ptr)
  return FALSE;
}

// The block `wBlock` of `hModule` in its default language: the neutral one,
// else the first one the module has the block in.
bool FindDefaultBlock(HMODULE hModule, WORD wBlock, std::span<const std::byte>& block) {
  if (FindBlock(hModule, wBlock, LANG_NEUTRAL, block)) return true;
  WORD wFirst = LANG_NEUTRAL;
  EnumResourceLanguagesW(hModule, RT_STRING, MAKEINTRESOURCEW(wBlock), KeepFirstLanguage,
                         reinterpret_cast<LONG_PTR>(&wFirst));
  return wFirst != LANG_NEUTRAL && FindBlock(hModule, wBlock, wFirst, block);
}

}  // namespace

std::u16string StringOfBlock(std::span<const std::byte> block, int nIndex) {
  const std::size_t nUnits = block.size() / kUnitBytes;
  std::size_t nAt = 0;
  for (int i = 0; i < nIndex && nAt < nUnits; ++i) nAt += 1 + UnitAt(block, nAt);
  if (nAt >= nUnits) return {};
  const std::size_t nLength = UnitAt(block, nAt);
  if (nLength > nUnits - nAt - 1) return {};
  std::u16string text(nLength, u'\0');
  for (std::size_t i = 0; i < nLength; ++i) text[i] = UnitAt(block, nAt + 1 + i);
  return text;
}

bool LoadStringTableText(HMODULE hModule, int nID, int nLangId, std::string& text) {
  if (hModule == nullptr || nID < 0 || nID > kMaxMessageId) return false;
  const auto wBlock = static_cast<WORD>(nID / kStringsPerBlock + 1);
  const int nIndex = nID % kStringsPerBlock;
  const auto wAsked = static_cast<WORD>(nLangId & 0xFFFF);
  std::span<const std::byte> block;
  std::u16string found;
  if (wAsked != LANG_NEUTRAL && FindBlock(hModule, wBlock, wAsked, block))
    found = StringOfBlock(block, nIndex);
  if (found.empty() && FindDefaultBlock(hModule, wBlock, block))
    found = StringOfBlock(block, nIndex);
  if (found.empty()) return false;
  text = kxu::platform::Utf16ToUtf8(found);
  return true;
}

}  // namespace kxu::zutl96
