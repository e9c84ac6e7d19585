// Shell items over the file system: stat and statx for the times, the user
// extended attributes of the freedesktop.org conventions for the rest.
#include <kxutils96/platform/com_shell/shell_items.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <new>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <variant>

#include <kxutils96/platform/com_shell/shell_item_object.h>
#include <kxutils96/platform/text/unicode.h>
#include <kxutils96/platform/win32/native_path.h>
#include <kxutils96/platform/win32/win_error.h>

namespace {

constexpr HRESULT kNoSuchProperty = HRESULT_FROM_WIN32(ERROR_NOT_FOUND);

constexpr char kTitleAttribute[] = "user.dublincore.title";
constexpr char kSubtitleAttribute[] = "user.kxutils96.subtitle";
constexpr char kCommentAttribute[] = "user.xdg.comment";
constexpr char kRatingAttribute[] = "user.baloo.rating";
constexpr ULONG kHighestDesktopRating = 10;

// FILETIME counts 100-nanosecond ticks from 1601-01-01, the system clock
// seconds from 1970-01-01.
constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;
constexpr std::uint64_t kTicksPerSecond = 10'000'000;
constexpr std::uint32_t kNanosecondsPerTick = 100;

// A property's value as read from the file: text, number or time.
using PropertyValue = std::variant<std::u16string, ULONG, FILETIME>;

struct PropertyRead {
  HRESULT hr;
  PropertyValue value;
};

HRESULT HresultOfErrno(int nError) noexcept {
  switch (nError) {
    case ENOENT:
      return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    case ENOTDIR:
      return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
    case EACCES:
    case EPERM:
      return HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);
    case ENOMEM:
      return E_OUTOFMEMORY;
    default:
      return E_FAIL;
  }
}

// The FILETIME of a system time, or nothing for one before 1601 or too far
// ahead for 64 bits of ticks.
std::optional<FILETIME> FileTimeOf(std::int64_t nSeconds, std::uint32_t nNanoseconds) noexcept {
  constexpr std::int64_t kLatest =
      static_cast<std::int64_t>(UINT64_MAX / kTicksPerSecond) - kSecondsFrom1601To1970 - 1;
  if (nSeconds < -kSecondsFrom1601To1970 || nSeconds > kLatest) return std::nullopt;
  const std::uint64_t nTicks =
      static_cast<std::uint64_t>(nSeconds + kSecondsFrom1601To1970) * kTicksPerSecond +
      nNanoseconds / kNanosecondsPerTick;
  return FILETIME{static_cast<DWORD>(nTicks), static_cast<DWORD>(nTicks >> 32)};
}

PropertyRead TimeRead(std::int64_t nSeconds, std::uint32_t nNanoseconds) {
  const std::optional<FILETIME> time = FileTimeOf(nSeconds, nNanoseconds);
  if (!time) return {E_FAIL, {}};
  return {S_OK, *time};
}

PropertyRead ReadModificationTime(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return {HresultOfErrno(errno), {}};
  return TimeRead(info.st_mtim.tv_sec, static_cast<std::uint32_t>(info.st_mtim.tv_nsec));
}

PropertyRead ReadBirthTime(const std::string& path) {
  struct statx info {};
  if (::statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME, &info) != 0) {
    // A kernel without statx cannot tell birth times.
    return {errno == ENOSYS ? kNoSuchProperty : HresultOfErrno(errno), {}};
  }
  if ((info.stx_mask & STATX_BTIME) == 0) return {kNoSuchProperty, {}};
  return TimeRead(info.stx_btime.tv_sec, info.stx_btime.tv_nsec);
}

// The bytes of the extended attribute `pszName` of `path` into `bytes`.
HRESULT ReadAttribute(const std::string& path, const char* pszName, std::string& bytes) {
  for (;;) {
    const ssize_t nSize = ::getxattr(path.c_str(), pszName, nullptr, 0);
    if (nSize >= 0) {
      bytes.resize(static_cast<std::size_t>(nSize));
      const ssize_t nRead = ::getxattr(path.c_str(), pszName, bytes.data(), bytes.size());
      if (nRead >= 0) {
        bytes.resize(static_cast<std::size_t>(nRead));
        return S_OK;
      }
    }
    // ERANGE: the value grew between the two calls; ask again.
    if (errno == ERANGE) continue;
    // ENODATA: no such attribute; ENOTSUP: the file system keeps none.
    if (errno == ENODATA || errno == ENOTSUP) return kNoSuchProperty;
    return HresultOfErrno(errno);
  }
}

PropertyRead ReadTextAttribute(const std::string& path, const char* pszName) {
  std::string bytes;
  const HRESULT hr = ReadAttribute(path, pszName, bytes);
  if (FAILED(hr)) return {hr, {}};
  return {S_OK, kxu::platform::Utf8ToUtf16(bytes)};
}

// The desktop's rating as decimal digits from 0 to 10; anything else is an
// attribute that cannot be read as a rating.
std::optional<ULONG> ParseDesktopRating(const std::string& text) noexcept {
  if (text.empty() || text.size() > 2) return std::nullopt;
  ULONG nValue = 0;
  for (const char ch : text) {
    if (ch < '0' || ch > '9') return std::nullopt;
    nValue = nValue * 10 + static_cast<ULONG>(ch - '0');
  }
  if (nValue > kHighestDesktopRating) return std::nullopt;
  return nValue;
}

PropertyRead ReadRating(const std::string& path) {
  std::string bytes;
  const HRESULT hr = ReadAttribute(path, kRatingAttribute, bytes);
  if (FAILED(hr)) return {hr, {}};
  const std::optional<ULONG> nDesktop = ParseDesktopRating(bytes);
  if (!nDesktop) return {E_FAIL, {}};
  return {S_OK, kxu::platform::ShellRatingOfDesktopRating(*nDesktop)};
}

using PropertyReader = PropertyRead (*)(const std::string& path);

struct FileProperty {
  PROPERTYKEY key;
  PropertyReader read;
};

constexpr FileProperty kFileProperties[] = {
    {PKEY_Title, [](const std::string& path) { return ReadTextAttribute(path, kTitleAttribute); }},
    {PKEY_Media_SubTitle,
     [](const std::string& path) { return ReadTextAttribute(path, kSubtitleAttribute); }},
    {PKEY_Comment,
     [](const std::string& path) { return ReadTextAttribute(path, kCommentAttribute); }},
    {PKEY_Rating, &ReadRating},
    {PKEY_DateCreated, &ReadBirthTime},
    {PKEY_DateModified, &ReadModificationTime},
};

// A shell item for one path of the file system. Holds the absolute path and
// reads each property when asked.
class FileShellItem final : public kxu::platform::ShellItemObject {
 public:
  explicit FileShellItem(std::string path) noexcept : m_path(std::move(path)) {}

  HRESULT GetString(REFPROPERTYKEY key, LPWSTR* ppsz) noexcept override {
    if (ppsz == nullptr) return E_POINTER;
    *ppsz = nullptr;
    std::u16string text;
    const HRESULT hr = GetValue(key, &text);
    if (hr != S_OK) return hr;
    const std::size_t cb = (text.size() + 1) * sizeof(WCHAR);
    auto* psz = static_cast<LPWSTR>(CoTaskMemAlloc(cb));
    if (psz == nullptr) return E_OUTOFMEMORY;
    std::memcpy(psz, text.c_str(), cb);
    *ppsz = psz;
    return S_OK;
  }

  HRESULT GetUInt32(REFPROPERTYKEY key, ULONG* pui) noexcept override { return GetValue(key, pui); }

  HRESULT GetFileTime(REFPROPERTYKEY key, FILETIME* pft) noexcept override {
    return GetValue(key, pft);
  }

  HRESULT GetBool(REFPROPERTYKEY key, BOOL* pf) noexcept override {
    if (pf == nullptr) return E_POINTER;
    *pf = FALSE;
    // No property of a file is a truth value.
    const HRESULT hr = Read(key).hr;
    return FAILED(hr) ? hr : E_FAIL;
  }

 private:
  ~FileShellItem() override = default;

  PropertyRead Read(REFPROPERTYKEY key) const noexcept {
    try {
      for (const FileProperty& property : kFileProperties) {
        if (property.key == key) return property.read(m_path);
      }
      return {kNoSuchProperty, {}};
    } catch (const std::bad_alloc&) {
      return {E_OUTOFMEMORY, {}};
    }
  }

  // The property `key` in the form `Value` into `*pOut` (a value-initialised
  // one unless S_OK).
  template <class Value>
  HRESULT GetValue(REFPROPERTYKEY key, Value* pOut) const noexcept {
    if (pOut == nullptr) return E_POINTER;
    *pOut = Value{};
    PropertyRead read = Read(key);
    if (FAILED(read.hr)) return read.hr;
    Value* pValue = std::get_if<Value>(&read.value);
    if (pValue == nullptr) return E_FAIL;
    *pOut = std::move(*pValue);
    return S_OK;
  }

  std::string m_path;
};

}  // namespace

HRESULT SHCreateItemFromParsingName(LPCWSTR pszPath, IBindCtx* pbc, REFIID riid,
                                    void** ppv) noexcept {
  const HRESULT hrRequest = kxu::platform::CheckShellItemRequest(pszPath, pbc, ppv);
  if (FAILED(hrRequest)) return hrRequest;
  try {
    std::error_code error;
    const std::filesystem::path path =
        std::filesystem::absolute(kxu::platform::NativePath(pszPath), error);
    if (error) return HresultOfErrno(error.value());
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return HresultOfErrno(errno);
    auto* pItem = new (std::nothrow) FileShellItem(path.native());
    if (pItem == nullptr) return E_OUTOFMEMORY;
    return kxu::platform::HandOutShellItem(pItem, riid, ppv);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}
