#include <kxutils96/files/file_writer.h>

#include <kxutils96/files/wide_file_name.h>
#include <kxutils96/host/zstrings96/zstrings96.h>
#include <kxutils96/platform/framework/framework_exceptions.h>

namespace {

constexpr UINT kWriteOpenFlags = CFile::modeCreate | CFile::modeWrite | CFile::typeText;

}  // namespace

bool kxuWriteToFile(const char* lpcszFile, const char* lpcszText) {
  const kxu::files::WideFileName name(lpcszFile);
  // True once the file opened, even when a later write failed.
  CZUTF8StdioFile file;
  bool bOpened = false;
  kxu::platform::DeletingFrameworkExceptions([&] {
    bOpened = file.Open(name.Get(), kWriteOpenFlags) != FALSE;
    if (!bOpened) return;
    file.WriteUTF8String(lpcszText);
    file.Close();
  });
  return bOpened;
}
