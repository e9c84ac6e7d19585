// A string array's archive for tests: the bytes an array stores, and loading
// bytes into an array with the outcome named.
#pragma once

#include <cstddef>
#include <vector>

#include <kxutils96/platform/framework/afx_exception.h>
#include <kxutils96/platform/framework/afx_mem_file.h>
#include <kxutils96/strings/zqv_string_array.h>

namespace kxu::test {

using Bytes = std::vector<BYTE>;

// The bytes that storing `array` writes.
inline Bytes Store(const CZQVStringArray& array) {
  CMemFile file;
  CArchive ar(&file, CArchive::store);
  const_cast<CZQVStringArray&>(array).Serialize(ar);
  ar.Close();
  Bytes bytes(static_cast<std::size_t>(file.GetLength()));
  file.SeekToBegin();
  file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
  return bytes;
}

constexpr int kLoaded = -1;

// Loads `bytes` into `array`, read from a copy of their exact size (so that a
// read past them leaves its heap block); returns kLoaded, the cause of the
// archive exception raised, the status code of an OLE one, or -2 for another
// framework exception. Any other exception passes on.
inline int LoadCause(Bytes bytes, CZQVStringArray& array) {
  CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
  try {
    CArchive ar(&file, CArchive::load);
    array.Serialize(ar);
  } catch (CException* e) {
    int nCause = -2;
    if (auto* pArchiveError = dynamic_cast<CArchiveException*>(e)) nCause = pArchiveError->m_cause;
    if (auto* pOleError = dynamic_cast<COleException*>(e))
      nCause = static_cast<int>(pOleError->m_sc);
    e->Delete();
    return nCause;
  }
  return kLoaded;
}

}  // namespace kxu::test
