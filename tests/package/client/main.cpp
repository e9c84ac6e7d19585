// A client of the installed library: loads a string array through an archive
// and catches the library's exception across the library boundary (the
// archive format itself is the string array's own tests' to hold).
#include <kxutils96/kxutils96.h>

#include <cstdio>

namespace {

int Fail(const char* what) {
  std::fprintf(stderr, "client: %s\n", what);
  return 1;
}

}  // namespace

int main() {
  CZQVStringArray loaded;
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
