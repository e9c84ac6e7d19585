// Numbered warning and error messages in the user's language, with their
// headings, filled with values and shown in a message box.
//
// The texts live in two message modules that are found beside the running
// program: zErrMsg (warnings 10000 to 14999, errors 15000 to 19999 and other
// numbered messages) and ZKSmsg96 (the script runtime's messages). On Windows
// each is a resource-only DLL (zErrMsg.dll) with a string table per language,
// loaded with LoadLibraryW; elsewhere a message store (zErrMsg.kxmsg) stands
// in for it, beside the program or else in ../share/kxutils96/ from its
// folder, where an install puts the stores. The README's "Message stores"
// and "Message modules on Windows" sections give the format and how a store
// becomes a module. The error module is loaded at the first call that needs
// it and kept until the process ends; if that first load fails, every later
// call fails at once, even when the store appears afterwards. Language numbers are the host's (1
// English, 2 German, 3 Japanese, 4 Simplified Chinese); 0 or a negative
// number asks for no language, which gives the store's default language, as
// does a language that lacks the message. Every function here keeps nothing
// of the caller's and writes only the string it is given.
#pragma once

#include <kxutils96/host/zstrings96/zstrings96.h>
#include <kxutils96/kxu_export.h>

// Receives one problem of a message store: its 1-based line (0 for the file
// as a whole), its kind (1: an error, the store will not load; 2: a warning,
// such as a message missing from the default language) and a short English
// description.
using KxuStoreProblemReport = void (*)(void* pContext, int nLine, int nKind,
                                       const char* lpcszProblem);

extern "C" {

// The heading of message `nID`: "WARN" for 10000 to 14999, "ERR" for 15000
// to 19999, followed by the id in seven digits. Writes it to `*pstrMsg` (the
// caller's; may be null, then nothing is written) and returns 1; returns 0,
// leaving `*pstrMsg` as it was, for an id outside both ranges.
// Example: 10001 gives "WARN0010001"; 15000 gives "ERR0015000"; 20000 gives 0.
KXU_API int kxu_err_msg_heading(int nID, CStringUTF8* pstrMsg);

// Loads message `nID` of the error store in language `nLang` into `*pstrMsg`
// (the caller's), after its heading, a colon and a blank when it has one.
// Texts longer than 4095 bytes arrive cut. A null `pstrMsg` only makes sure
// the store is loaded. Returns 1 on success; 0, leaving `*pstrMsg` as it was,
// when the store cannot be loaded (now or at an earlier call) or has no text
// for `nID`.
// Example: 15000 gives "ERR0015000: The file %s could not be opened." with
// the sample store.
KXU_API int kxu_load_err_msg_str(int nID, CStringUTF8* pstrMsg, int nLang);

// Loads message `nID` (with its heading) as kxu_load_err_msg_str does and
// fills it with the values given (each may be null): `lpcsz1` and `lpcsz2`
// texts, `*pnValue` an int. The text's first "%d", first "%s" and second
// "%s" decide, by the first rule that applies:
//   1. two "%s" and no "%d", `lpcsz1` and `lpcsz2` given, no `pnValue`:
//      formatted with `lpcsz1`, `lpcsz2`;
//   2. "%d" and "%s", `pnValue` and `lpcsz1` given: formatted with the int
//      and `lpcsz1`, in the order their first "%d" and "%s" stand;
//   3. "%d", `pnValue` given, no `lpcsz1`: formatted with the int;
//   4. "%s", `lpcsz1` given, no `pnValue`: formatted with `lpcsz1`;
//   5. neither "%d" nor "%s": the text as it is, not formatted ("%%" stays two
//      characters), whatever values are given;
//   otherwise the result is 0 and `*pstrMsg` is left as it was.
// Formatting is printf's, but a conversion for which the rule supplies no
// value of its kind is left in the text as written: a value that was not
// given is never read. Returns 1 when a rule applied (also for a null
// `pstrMsg`, which receives nothing); 0 when loading fails or no rule fits.
// Example: "Column %s holds %d missing values." with lpcsz1 "B" and 4 gives
// "Column B holds 4 missing values."
KXU_API int kxu_load_msg_str(int nID, CStringUTF8* pstrMsg, const char* lpcsz1, int* pnValue,
                             const char* lpcsz2, int nLang);

// Loads message `nID` (with its heading) as kxu_load_err_msg_str does and
// formats it with the values that follow `nLang`, into `*pstrMsg` (the
// caller's). A text holding "}%" after its first character is formatted by
// kxuStringOrderedFormat, the values passed in index order, and the result
// is that function's (1, or 0 with its "ERROR: " text in `*pstrMsg`). Any
// other text is formatted printf-style with the values, which the caller
// must pass as the text's conversions ask, as for printf; the result is 1.
// Returns 0, leaving `*pstrMsg` as it was, when loading fails or `pstrMsg`
// is null.
// Example: a text "Sheet {1}%s has {0}%d rows." with 12 and "Data" gives
// "WARN0010006: Sheet Data has 12 rows." for id 10006.
KXU_API int kxu_load_msg_str_ex(int nID, CStringUTF8* pstrMsg, int nLang, ...);

// Loads message `nID` of the runtime store, in its default language and
// without a heading, into `*pstrMsg` (the caller's); texts longer than 1023
// bytes arrive cut. The store is looked for at every call, so one put in
// place later is found. Returns 0 when `pstrMsg` is null or the store cannot
// be loaded, and then `*pstrMsg` is left as it was; otherwise the number of
// bytes loaded, 0 when the store has no such message (`*pstrMsg` then keeps
// its text).
// Example: 2001 gives "Division by zero." with the sample store.
KXU_API int kxu_load_runtime_err(int nID, CStringUTF8* pstrMsg);

// Shows message `nID` of the error store, in its default language, in a
// message box (AfxMessageBox) with the style `nType`, and returns the button
// chosen. With `lpcsz1`, `pnValue` and `lpcsz2` all null the text is loaded as
// kxu_load_err_msg_str loads it, otherwise filled as kxu_load_msg_str fills
// it. The box is shown in any case: when loading or filling fails it shows
// the empty text.
// Example: kxu_err_msgbox(15000, MB_OK | MB_ICONERROR, "a.csv", nullptr,
// nullptr) shows "ERR0015000: The file a.csv could not be opened."
KXU_API int kxu_err_msgbox(int nID, unsigned int nType, const char* lpcsz1, int* pnValue,
                           const char* lpcsz2);

// Checks the message store file `lpcszFile` (UTF-8 path) as the loader
// reads it, for translators and build steps: the problems go, in line order,
// to `pfnReport` (may be null: count only) with `pContext`, the first 1000
// one by one, then, when there are more, one report on line 0 that counts
// the rest (of kind 1 when any of them is an error). Loads nothing and writes
// to no stream. Returns the number of problems, listed or not, 0 for a clean
// store; -1 when the file cannot be read or is larger than 64 MiB, and for a
// null path.
// Example: a store line "15000The file" gives 1 and one report of kind 1.
KXU_API int kxuCheckMessageStore(const char* lpcszFile, KxuStoreProblemReport pfnReport,
                                 void* pContext);

// Writes the resource script of the Windows message module that the message
// store file `lpcszStore` makes to the file `lpcszRc` (UTF-8 paths),
// replacing it: one STRINGTABLE per language, the store's default language as
// the neutral one. windres compiles it, and a DLL linked from nothing else is
// the module (README, "Message modules on Windows"). Returns 1 when written;
// 0, writing nothing, when the store has an error (kxuCheckMessageStore
// lists them); -1 for a null path, a store that cannot be read and a script
// that cannot be written.
// Example: kxuMakeMessageModuleRc("zErrMsg.kxmsg", "zErrMsg.rc") == 1.
KXU_API int kxuMakeMessageModuleRc(const char* lpcszStore, const char* lpcszRc);

}  // extern "C"
