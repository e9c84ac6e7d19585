#include <kxutils96/platform/win32/native_path.h>

#include <sys/stat.h>

#include <algorithm>

#include <kxutils96/platform/text/unicode.h>
#include <kxutils96/platform/win32/path_parts.h>

namespace kxu::platform {

namespace {

std::string_view WithoutTrailingSlashes(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  return path;
}

}  // namespace

std::string NativePath(LPCWSTR lpszPath) {
  if (lpszPath == nullptr) return {};
  std::string path = Utf16ToUtf8(lpszPath, InvalidInput::kEscape);
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

std::string ParentFolder(std::string_view path) {
  std::string_view folder = FolderPart(WithoutTrailingSlashes(path));
  if (folder.empty()) return ".";
  if (folder.size() > 1) folder.remove_suffix(1);  // the root keeps its slash
  return std::string(folder);
}

std::string_view LastName(std::string_view path) {
  return NamePart(WithoutTrailingSlashes(path));
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace kxu::platform
