// The palette reader over arbitrary file contents. Input: the first byte is
// the room (nMax, 0 to 255, taken as a signed byte so that negative rooms are
// tried too); the rest is written to a file that is then read. Checked on
// every input: no crash, no access outside the arrays; the result is -2 or a
// count from 0 to the room; entries past the count stay untouched.
#include <kxutils96/files/gimp_palette.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "fuzz_require.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

constexpr int kUntouched = 0x5A5A5A5A;
constexpr std::size_t kRoom = 128;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const kxu::test::TempDir folder;
  if (size == 0) return 0;
  const int nMax = static_cast<int8_t>(data[0]);
  const std::filesystem::path path = folder.Path("palette.gpl");
  kxu::test::WriteBytes(path, {reinterpret_cast<const char*>(data + 1), size - 1});
  std::array<int, kRoom> red, green, blue;
  for (auto* pChannel : {&red, &green, &blue}) pChannel->fill(kUntouched);
  const int nResult = kxu_read_GIMP_palette(kxu::test::Utf8(path).c_str(), red.data(), green.data(),
                                            blue.data(), nMax);
  Require(nResult == -2 || (nResult >= 0 && nResult <= (nMax > 0 ? nMax : 0)));
  const std::size_t nStored = nResult > 0 ? static_cast<std::size_t>(nResult) : 0;
  for (std::size_t i = nStored; i < kRoom; ++i) {
    Require(red[i] == kUntouched && green[i] == kUntouched && blue[i] == kUntouched);
  }
  return 0;
}
