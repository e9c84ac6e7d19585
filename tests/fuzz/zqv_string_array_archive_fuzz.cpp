// Loads a string array from arbitrary archive bytes. Every input must end in a
// loaded array or a framework exception: never a crash, a leak or a read past
// the data. A loaded array must store back to a prefix-equal archive.
#include <cstdint>

#include "fuzz_require.h"
#include "support/array_text.h"
#include "support/string_array_archive.h"

using namespace kxu::test;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CZQVStringArray array = ArrayOf({"previous"});
  if (LoadCause(Bytes(data, data + size), array) != kLoaded) return 0;
  // Storing what loaded must give an archive that loads to the same strings.
  CZQVStringArray reloaded;
  Require(LoadCause(Store(array), reloaded) == kLoaded);
  Require(TextsOf(reloaded) == TextsOf(array));
  return 0;
}
