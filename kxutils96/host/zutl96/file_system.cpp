// Folder test and file copy, over the system's file calls.
#include <string>

#include <kxutils96/host/zutl96/file_system.h>
#include <kxutils96/platform/text/unicode.h>
#include <kxutils96/platform/win32/win_file.h>

using namespace kxu::zutl96;

namespace {

constexpr int kCopyFailed = 1;

std::basic_string<WCHAR> WideName(const char* lpcszPath) {
  return kxu::platform::Utf8ToUtf16(lpcszPath, kxu::platform::InvalidInput::kEscape);
}

}  // namespace

int utlDirectoryExists(const char* lpcszDir) {
  if (lpcszDir == nullptr || *lpcszDir == '\0') return 0;
  const DWORD dwAttributes = GetFileAttributesW(WideName(lpcszDir).c_str());
  return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0
             ? 1
             : 0;
}

int utlCopyFile(const char* lpcszSrc, const char* lpcszDest, int nMode) {
  if (lpcszSrc == nullptr || lpcszDest == nullptr) return kCopyFailed;
  const BOOL bFailIfExists = (nMode & kCopyFailIfExists) != 0 ? TRUE : FALSE;
  return CopyFileW(WideName(lpcszSrc).c_str(), WideName(lpcszDest).c_str(), bFailIfExists) != FALSE
             ? 0
             : kCopyFailed;
}
