// Loads a string array from arbitrary archive bytes. Every input must end in a
// loaded array or a framework exception: never a crash, a leak or a read past
// the data. A loaded array must store back to a prefix-equal archive.
#include <kxutils96/platform/framework/afx_mem_file.h>
#include <kxutils96/strings/zqv_string_array.h>

#include <cstdint>
#include <vector>

#include "fuzz_require.h"
#include "support/array_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A private copy, so that any read past the input is an out-of-bounds read.
  std::vector<BYTE> bytes(data, data + size);
  CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
  CZQVStringArray array;
  array.Add("previous");
  try {
    CArchive ar(&file, CArchive::load);
    array.Serialize(ar);
  } catch (CException* e) {
    e->Delete();
    return 0;
  }
  // Storing what loaded must give an archive that loads to the same strings.
  CMemFile stored;
  {
    CArchive ar(&stored, CArchive::store);
    array.Serialize(ar);
    ar.Close();
  }
  stored.SeekToBegin();
  CZQVStringArray reloaded;
  CArchive ar(&stored, CArchive::load);
  reloaded.Serialize(ar);
  Require(kxu::test::TextsOf(reloaded) == kxu::test::TextsOf(array));
  return 0;
}
