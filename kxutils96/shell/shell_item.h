// Shell items for scripts: descriptive properties of a file (title, subtitle,
// rating, comment, creation and modification dates) read through the shell's
// property system, behind one flat export that hands out small integer ids.
#pragma once

#include <kxutils96/kxu_export.h>
#include <kxutils96/platform/win32/win_types.h>

// The operations of kxu_shell_item (its second argument).
inline constexpr int SHELLITEM_CREATE = 0;
inline constexpr int SHELLITEM_RELEASE = 1;
inline constexpr int SHELLITEM_GET_BOOL = 2;
inline constexpr int SHELLITEM_GET_FILETIME = 3;
inline constexpr int SHELLITEM_GET_STRING = 4;
inline constexpr int SHELLITEM_GET_UINT32 = 5;

namespace kxu::shell {

// The property indexes of the read operations, each one key of the property
// system.
enum ShellItemProperty : int {
  kShellTitle = 0,         // PKEY_Title
  kShellSubtitle = 1,      // PKEY_Media_SubTitle
  kShellRating = 2,        // PKEY_Rating, 0 (unrated) or 1 to 99
  kShellComment = 3,       // PKEY_Comment
  kShellDateCreated = 4,   // PKEY_DateCreated
  kShellDateModified = 5,  // PKEY_DateModified
};

// The results of kxu_shell_item, in the order it tests for them.
enum ShellItemResult : int {
  kShellItemDone = 0,
  kShellTableNotAllocated = 15050,   // allocating the table failed
  kShellComNotInitialised = 15051,   // CoInitializeEx failed; no table is kept
  kShellRecordNotAllocated = 15052,  // allocating the item's record failed
  kShellItemNotMade = 15053,         // the path, the shell module or the shell failed
  kShellNoSuchItem = 15054,          // no table yet, or the id names no live item
  kShellBadOperation = 15055,        // the operation is not 0 to 5
  kShellBadProperty = 15056,         // the property index is not 0 to 5
  kShellGetStringFailed = 15057,
  kShellGetUInt32Failed = 15058,
  kShellGetBoolFailed = 15059,
  kShellGetFileTimeFailed = 15060,
  kShellPropertyMissing = 15061,  // the item does not have the property
};

}  // namespace kxu::shell

extern "C" {

// One operation `nOperation` on the process's table of shell items; `*pnId`
// is the item's id (1 for the first slot). Returns 0 or a
// kxu::shell::ShellItemResult. The third and fourth arguments are
// pointer-sized, so that they can carry the pointers some operations take:
//
//   SHELLITEM_CREATE: `nArg3` is the file's path (const char*, NUL-terminated,
//     in the user's default code page: the locale that the environment names,
//     not necessarily UTF-8). The first creation makes the table and
//     initialises COM on the calling thread (apartment-threaded). The path is
//     converted under the user's default locale, and the process's locale is
//     then left at "C". The item goes into the first released slot, or a new
//     one, and its id is written to `*pnId`, which is written only on
//     success. 15053 for a null `pnId` or path, a path that does not convert
//     or exceeds 1023 UTF-16 units, a path where nothing exists.
//   SHELLITEM_RELEASE: releases the item; its id may be given out again.
//   SHELLITEM_GET_BOOL, SHELLITEM_GET_FILETIME, SHELLITEM_GET_UINT32: reads
//     the property `nArg3` (a ShellItemProperty) into the BOOL, FILETIME or
//     ULONG at `nArg4`; null gives the operation's failure code.
//   SHELLITEM_GET_STRING: reads the property `nArg3` as text into the buffer
//     `nArg4` of `nArg5` bytes, converted under the process's current locale
//     ("C" after any creation: characters U+0000 to U+00FF as single bytes,
//     the conversion stopping at any other). At most `nArg5` bytes are
//     written, and a terminating NUL only when the text is shorter than the
//     buffer. A null buffer gives 15057 and nothing is written.
//
// For every operation but creation, a null `pnId` or an id that names no
// live item gives 15054 (also before the first creation); the operation is
// checked next (15055), then the property index (15056). A read whose
// property the item does not have gives 15061; another failed read gives its
// operation's code (15059, 15060, 15057, 15058 for operations 2 to 5). A
// failed text read leaves the buffer untouched; the other reads get 0 from
// the shell when they fail. Items not released live until
// the process ends. Calls from several threads take turns, one whole call at
// a time; the locale switch of a creation still reaches the host's own code
// on other threads, since the locale belongs to the whole process.
// Example: after a creation gave id 1, kxu_shell_item(&id, SHELLITEM_GET_STRING,
// kShellTitle, (INT_PTR)buf, 4) for a file titled "Sunset" writes "Suns"
// without a NUL and returns 0.
KXU_API int kxu_shell_item(int* pnId, int nOperation, INT_PTR nArg3, INT_PTR nArg4, UINT nArg5);

}  // extern "C"
