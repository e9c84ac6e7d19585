#include <kxutils96/platform/win32/native_path.h>

#include <sys/stat.h>

#include <algorithm>

#include <kxutils96/platform/win32/unicode.h>

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
  const std::string_view trimmed = WithoutTrailingSlashes(path);
  const size_t slash = trimmed.rfind('/');
  if (slash == std::string_view::npos) return ".";
  return std::string(trimmed.substr(0, slash == 0 ? 1 : slash));
}

std::string_view LastName(std::string_view path) {
  const std::string_view trimmed = WithoutTrailingSlashes(path);
  return trimmed.substr(trimmed.rfind('/') + 1);
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace kxu::platform
