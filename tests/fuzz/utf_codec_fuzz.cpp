// Decodes arbitrary bytes as UTF-8 and, read in pairs, as UTF-16 through
// MultiByteToWideChar and WideCharToMultiByte, replacing and strict. Checked
// on every input: no crash and no access outside the buffers; the size
// query agrees with the conversion; the strict decoder, and the validator,
// accept exactly the input that the replacing one converts without U+FFFD
// where the input held none; valid input round-trips exactly; replaced
// output is valid and stable (converting it again changes nothing). The
// same bytes, read in a code page that the first byte picks, decode and
// round-trip to the same units. Converting into room for the upper bound
// (one pass without room checks) gives what the exact room gives, and
// escaping carries any bytes to UTF-16 and back unchanged; into a string's
// room, piece by piece, as the whole run.
#include <kxutils96/platform/text/unicode.h>
#include <kxutils96/platform/win32/win_nls.h>
#include <kxutils96/strings/encoding_conversions.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>

#include "fuzz_require.h"

namespace {

using U16 = std::basic_string<WCHAR>;

// `bytes` decoded from page `nPage`: the size query and the conversion
// agree, and a failure (bOk false) is invalid input, never anything else.
U16 Decode(UINT nPage, const std::string& bytes, DWORD dwFlags, bool& bOk) {
  const int nLength = static_cast<int>(bytes.size());
  const int nNeeded = MultiByteToWideChar(nPage, dwFlags, bytes.data(), nLength, nullptr, 0);
  bOk = nNeeded > 0;
  if (!bOk) {
    Require(GetLastError() == ERROR_NO_UNICODE_TRANSLATION);
    return U16();
  }
  U16 units(static_cast<std::size_t>(nNeeded), 0);
  Require(MultiByteToWideChar(nPage, dwFlags, bytes.data(), nLength, units.data(), nNeeded) ==
          nNeeded);
  return units;
}

// `units` encoded to page `nPage`, under the same rules as Decode; `pbUsed`
// takes the default-character report.
std::string Encode(UINT nPage, const U16& units, DWORD dwFlags, bool& bOk, BOOL* pbUsed = nullptr) {
  const int nLength = static_cast<int>(units.size());
  const int nNeeded =
      WideCharToMultiByte(nPage, dwFlags, units.data(), nLength, nullptr, 0, nullptr, pbUsed);
  bOk = nNeeded > 0;
  if (!bOk) {
    Require(GetLastError() == ERROR_NO_UNICODE_TRANSLATION);
    return std::string();
  }
  std::string bytes(static_cast<std::size_t>(nNeeded), '\0');
  Require(WideCharToMultiByte(nPage, dwFlags, units.data(), nLength, bytes.data(), nNeeded, nullptr,
                              pbUsed) == nNeeded);
  return bytes;
}

bool Contains(const U16& units, WCHAR unit) {
  return units.find(unit) != U16::npos;
}

void CheckUtf8Input(const std::string& bytes) {
  bool bStrictOk = false;
  bool bOk = false;
  const U16 strict = Decode(CP_UTF8, bytes, MB_ERR_INVALID_CHARS, bStrictOk);
  const U16 replaced = Decode(CP_UTF8, bytes, 0, bOk);
  Require(bOk);
  Require(kxu::platform::IsValidUtf8(bytes) == bStrictOk);
  if (bStrictOk) {
    Require(strict == replaced);
    Require(Encode(CP_UTF8, strict, WC_ERR_INVALID_CHARS, bOk) == bytes && bOk);
  } else {
    Require(Contains(replaced, 0xFFFD));
  }
  U16 bounded(bytes.size(), 0);
  bounded.resize(static_cast<std::size_t>(
      MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), bounded.data(),
                          static_cast<int>(bytes.size()))));
  Require(bounded == replaced);
  using kxu::platform::InvalidInput;
  const U16 escaped = kxu::platform::Utf8ToUtf16(bytes, InvalidInput::kEscape);
  Require(kxu::platform::Utf16ToUtf8(escaped, InvalidInput::kEscape) == bytes);
  // The replaced text is well-formed: it encodes strictly and decodes back.
  const std::string clean = Encode(CP_UTF8, replaced, WC_ERR_INVALID_CHARS, bOk);
  Require(bOk);
  Require(Decode(CP_UTF8, clean, MB_ERR_INVALID_CHARS, bOk) == replaced && bOk);
}

void CheckUtf16Input(const U16& units) {
  bool bStrictOk = false;
  bool bOk = false;
  const std::string strict = Encode(CP_UTF8, units, WC_ERR_INVALID_CHARS, bStrictOk);
  const std::string replaced = Encode(CP_UTF8, units, 0, bOk);
  Require(bOk);
  if (bStrictOk) {
    Require(strict == replaced);
    Require(Decode(CP_UTF8, strict, MB_ERR_INVALID_CHARS, bOk) == units && bOk);
  }
  std::string bounded(units.size() * kxu::platform::kMaxUtf8BytesPerUnit, '\0');
  bounded.resize(static_cast<std::size_t>(
      WideCharToMultiByte(CP_UTF8, 0, units.data(), static_cast<int>(units.size()), bounded.data(),
                          static_cast<int>(bounded.size()), nullptr, nullptr)));
  Require(bounded == replaced);
  const U16 decoded = Decode(CP_UTF8, replaced, MB_ERR_INVALID_CHARS, bOk);
  Require(bOk);
  Require(decoded.size() == units.size());
}

// Code-page text: decoding never fails without the strict flag, and text that
// decodes strictly encodes back to codes that decode to the same units.
void CheckCodePageInput(UINT nPage, const std::string& bytes) {
  bool bOk = false;
  const U16 units = Decode(nPage, bytes, 0, bOk);
  Require(bOk);
  Decode(nPage, bytes, MB_ERR_INVALID_CHARS, bOk);
  if (!bOk) return;
  BOOL bUsed = TRUE;
  const std::string back = Encode(nPage, units, WC_NO_BEST_FIT_CHARS, bOk, &bUsed);
  Require(bOk && !bUsed);
  Require(Decode(nPage, back, MB_ERR_INVALID_CHARS, bOk) == units && bOk);
}

// A text converted into a string's room goes piece by piece (8192 units a
// piece): the input after as much ASCII as puts the first piece's end
// `nAt` units into it (at most its length) converts up to its first NUL as
// the whole run does, both ways.
template <class Unit>
std::basic_string<Unit> WithPieceEndInside(const std::basic_string<Unit>& input, std::size_t nAt) {
  constexpr std::size_t kPieceUnits = 8192;
  return std::basic_string<Unit>(kPieceUnits - std::min(nAt, input.size()), Unit{'a'}) + input;
}

template <class String>
auto Units(const String& str) {
  return std::basic_string(str.GetString(), static_cast<std::size_t>(str.GetLength()));
}

void CheckPiecesGiveTheWhole(const std::string& bytes, const U16& units, std::size_t nAt) {
  const std::string narrow = WithPieceEndInside(bytes, nAt);
  CString strWide;
  strWide.Preallocate(static_cast<int>(narrow.size()));
  zqUTF8toUTF16(strWide, narrow.c_str(), -1);
  Require(Units(strWide) == kxu::platform::Utf8ToUtf16(narrow.c_str()));
  const U16 wide = WithPieceEndInside(units, nAt);
  CStringUTF8 strNarrow;
  strNarrow.Preallocate(static_cast<int>(wide.size() * kxu::platform::kMaxUtf8BytesPerUnit));
  zqUTF16toUTF8(strNarrow, wide.c_str(), -1);
  Require(Units(strNarrow) == kxu::platform::Utf16ToUtf8(wide.c_str()));
}

constexpr UINT kFuzzedPages[] = {1252, 932, 936, 949, 950, 874, 1255, 20127};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  CheckUtf8Input(bytes);
  U16 units(size / sizeof(WCHAR), 0);
  std::memcpy(units.data(), data, units.size() * sizeof(WCHAR));
  if (!units.empty()) CheckUtf16Input(units);
  // One input in eight: the pieces cost as much as all the rest.
  if (size > 1 && data[0] % 8 == 0) CheckPiecesGiveTheWhole(bytes, units, data[1]);
  CheckCodePageInput(kFuzzedPages[data[0] % std::size(kFuzzedPages)], bytes);
  return 0;
}
