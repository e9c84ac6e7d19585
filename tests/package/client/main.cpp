// A client of the installed library: stores and loads a string array through
// an archive and catches the library's exceptions across the library boundary.
#include <kxutils96/kxutils96.h>

#include <cstdio>
#include <cstring>

namespace {

int Fail(const char* what) {
  std::fprintf(stderr, "client: %s\n", what);
  return 1;
}

}  // namespace

int main() {
  CZQVStringArray stored;
  stored.Add("alpha");
  stored.Add(CStringUTF8("b\xC3\xA9ta"));
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    stored.Serialize(ar);
    ar.Close();
  }
  file.SeekToBegin();
  CZQVStringArray loaded;
  {
    CArchive ar(&file, CArchive::load);
    loaded.Serialize(ar);
  }
  if (loaded.GetSize() != 2 || std::strcmp(loaded[1], "b\xC3\xA9ta") != 0) {
    return Fail("archive round trip changed the strings");
  }

  // Two bytes announce one element whose length byte is missing.
  BYTE truncated[] = {0x01, 0x00};
  CMemFile short_file(truncated, sizeof truncated);
  try {
    CArchive ar(&short_file, CArchive::load);
    loaded.Serialize(ar);
    return Fail("a truncated archive loaded");
  } catch (CException* e) {
    auto* archive_error = dynamic_cast<CArchiveException*>(e);
    const bool end_of_file =
        archive_error != nullptr && archive_error->m_cause == CArchiveException::endOfFile;
    e->Delete();
    if (!end_of_file) return Fail("a truncated archive raised the wrong exception");
  }
  std::puts("client: ok");
  return 0;
}
