#include <kxutils96/files/file_writer.h>

#include <kxutils96/files/wide_file_name.h>
#include <kxutils96/host/zstrings96/zstrings96.h>

namespace {

constexpr UINT kWriteOpenFlags = CFile::modeCreate | CFile::modeWrite | CFile::typeText;

}  // namespace

bool kxuWriteToFile(const char* lpcszFile, const char* lpcszText) {
  const kxu::files::WideFileName name(lpcszFile);
  CZUTF8StdioFile file;
  try {
    if (!file.Open(name.Get(), kWriteOpenFlags)) return false;
    file.WriteUTF8String(lpcszText);
    file.Close();
  } catch (CException* e) {
    e->Delete();
  }
  return true;
}
