// Shell items: an object for a file or folder named by its path, through which
// the desktop's descriptive properties of that file are read by property key,
// with the system's interfaces (IShellItem, IShellItem2, PROPERTYKEY) and
// results.
//
// On Windows the items are the system shell's own, wrapped in the library's
// interface types: each read goes to the system's item with the same key and
// returns its answer unchanged (Wine, for one, answers E_NOTIMPL), and the
// out-value is 0 or null after any failure. The rest of this comment is about
// the other platforms.
//
// There the properties come from where a Linux desktop keeps them, read
// afresh at every call:
//
//   PKEY_Title           text    extended attribute user.dublincore.title
//   PKEY_Media_SubTitle  text    extended attribute user.kxutils96.subtitle
//                                (the desktop has no common name for a
//                                subtitle; this one is the library's own)
//   PKEY_Comment         text    extended attribute user.xdg.comment
//   PKEY_Rating          number  extended attribute user.baloo.rating, the
//                                desktop's 0-10 scale (half stars) mapped onto
//                                the 0-99 scale of the shell, see
//                                ShellRatingOfDesktopRating
//   PKEY_DateCreated     time    the file's birth time (statx), where the
//                                file system records one
//   PKEY_DateModified    time    the file's modification time (stat)
//
// Attribute texts are taken as UTF-8 (bytes that are not become U+FFFD). A
// property the file does not have (an absent attribute, a file system without
// extended attributes or without birth times, a key not listed above) is
// reported as HRESULT_FROM_WIN32(ERROR_NOT_FOUND). Each property is read in
// its own form only: a text by GetString, the rating by GetUInt32, a time by
// GetFileTime; any other getter, and GetBool always, returns E_FAIL for a
// property the file has.
#pragma once

#include <kxutils96/platform/com_shell/com_base.h>
#include <kxutils96/platform/win32/win_types.h>

// A property of the property system: its format id and its id within it.
struct PROPERTYKEY {
  GUID fmtid;
  DWORD pid;
};
using REFPROPERTYKEY = const PROPERTYKEY&;

inline constexpr PROPERTYKEY PKEY_Title = {
    {0xF29F85E0, 0x4FF9, 0x1068, {0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9}}, 2};
inline constexpr PROPERTYKEY PKEY_Media_SubTitle = {
    {0x56A3372E, 0xCE9C, 0x11D2, {0x9F, 0x0E, 0x00, 0x60, 0x97, 0xC6, 0x86, 0xF6}}, 38};
inline constexpr PROPERTYKEY PKEY_Rating = {
    {0x64440492, 0x4C8B, 0x11D1, {0x8B, 0x70, 0x08, 0x00, 0x36, 0xB1, 0x1A, 0x03}}, 9};
inline constexpr PROPERTYKEY PKEY_Comment = {
    {0xF29F85E0, 0x4FF9, 0x1068, {0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9}}, 6};
inline constexpr PROPERTYKEY PKEY_DateCreated = {
    {0xB725F130, 0x47EF, 0x101A, {0xA5, 0xF1, 0x02, 0x60, 0x8C, 0x9E, 0xEB, 0xAC}}, 15};
inline constexpr PROPERTYKEY PKEY_DateModified = {
    {0xB725F130, 0x47EF, 0x101A, {0xA5, 0xF1, 0x02, 0x60, 0x8C, 0x9E, 0xEB, 0xAC}}, 14};

constexpr bool operator==(const PROPERTYKEY& a, const PROPERTYKEY& b) noexcept {
  return a.fmtid == b.fmtid && a.pid == b.pid;
}

// A file or folder of the shell. Offers no calls of its own beyond IUnknown
// here; its properties are read through IShellItem2.
struct IShellItem : IUnknown {
 protected:
  ~IShellItem() = default;
};

// A shell item whose properties can be read by key. Each getter checks its
// out-pointer first (null: E_POINTER), then reads the property: S_OK with the
// value, HRESULT_FROM_WIN32(ERROR_NOT_FOUND) when the file does not have it
// (the out-value is then 0 or null), E_FAIL when it is there in another form
// or cannot be read.
struct IShellItem2 : IShellItem {
  // The text, in a null-terminated block from CoTaskMemAlloc that the caller
  // frees with CoTaskMemFree. E_OUTOFMEMORY when that allocation fails.
  virtual HRESULT GetString(REFPROPERTYKEY key, LPWSTR* ppsz) noexcept = 0;
  virtual HRESULT GetUInt32(REFPROPERTYKEY key, ULONG* pui) noexcept = 0;
  virtual HRESULT GetBool(REFPROPERTYKEY key, BOOL* pf) noexcept = 0;
  virtual HRESULT GetFileTime(REFPROPERTYKEY key, FILETIME* pft) noexcept = 0;

 protected:
  ~IShellItem2() = default;
};

inline constexpr IID IID_IShellItem = {
    0x43826D1E, 0xE718, 0x42EE, {0xBC, 0x55, 0xA1, 0xE2, 0x61, 0xC3, 0x7B, 0xFE}};
inline constexpr IID IID_IShellItem2 = {
    0x7E9FB0D3, 0x919F, 0x4307, {0xAB, 0x2E, 0x9B, 0x18, 0x60, 0x31, 0x0C, 0x93}};

// A bind context. None can be made here; the shell calls take null for one.
struct IBindCtx;

// The signature of SHCreateItemFromParsingName, for callers that find it at
// run time with GetProcAddress.
using PFN_SHCreateItemFromParsingName = HRESULT (*)(LPCWSTR pszPath, IBindCtx* pbc, REFIID riid,
                                                    void** ppv);

// Makes a shell item for the existing file or folder `pszPath` (UTF-16; '\'
// and '/' both separate folders; a relative path is taken from the current
// folder of the moment) and
// stores it in `*ppv` as the interface `riid` (IID_IUnknown, IID_IShellItem or
// IID_IShellItem2), with the one reference the caller owns. `*ppv` is null
// after any failure: E_POINTER for a null `ppv`; E_INVALIDARG for a null or
// empty path or a non-null `pbc`; HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) or
// ERROR_PATH_NOT_FOUND when nothing is at the path, ERROR_ACCESS_DENIED when
// it cannot be looked at, E_FAIL for other system errors; E_NOINTERFACE for
// another `riid`; E_OUTOFMEMORY.
// Example: SHCreateItemFromParsingName(u"/etc/hostname", nullptr,
// IID_IShellItem, &pv) == S_OK.
HRESULT SHCreateItemFromParsingName(LPCWSTR pszPath, IBindCtx* pbc, REFIID riid,
                                    void** ppv) noexcept;

namespace kxu::platform {

// The shell's rating (0 unrated, 1 to 99) for the desktop's rating of
// `nDesktop` half stars (0 to 10). The shell writes 1, 25, 50, 75 and 99 for
// one to five stars and shows 1-12 as one star, 13-37 as two, 38-62 as
// three, 63-87 as four and 88-99 as five: whole stars map to what the shell
// writes for them, and a half star rounds up to the lowest value of the next
// star. So 0-10 give 0, 1, 1, 13, 25, 38, 50, 63, 75, 88, 99. Above 10: 99.
// Example: ShellRatingOfDesktopRating(6) == 50 (three stars).
ULONG ShellRatingOfDesktopRating(ULONG nDesktop) noexcept;

}  // namespace kxu::platform
