// Message stores: numbered texts per language, loaded once and kept.
#pragma once

#include <kxutils96/platform/win32/win_module.h>
#include <kxutils96/platform/win32/win_types.h>

#include <string>
#include <string_view>

// A message store holds the numbered texts of one message module in every
// language it carries, keyed by message id (0 to 65535) and 16-bit language
// identifier, with one language named as the store's default. It is one
// UTF-8 text file, written and checked as the README's "Message stores"
// section describes. A store that is loaded is checked whole and indexed
// once, and then stays in memory, unchanged, until the process ends.

// Opens the message store file `lpszFileName` (UTF-16 path), checks it and
// indexes it, and returns its handle. A store already loaded from the same
// path returns the same handle without reading the file again. Returns null
// when the file cannot be read, is larger than 64 MiB or holds any error
// (utlCheckMessageStore lists them); nothing is written to any stream. Safe
// to call from several threads at once.
// Example: utlLoadMessageStore(u"/opt/app/bin/zErrMsg.kxmsg") != nullptr.
HMODULE utlLoadMessageStore(LPCWSTR lpszFileName);

// Copies the text of message `nID` of `hModule` in the language `nLangId` (a
// 16-bit language identifier; 0 or a language the module lacks for this
// message: the module's default language) into `pBuffer` of `nBufferSize`
// bytes, NUL-terminated, as UTF-8. `hModule` is a store (a handle from
// utlLoadMessageStore) or a module with string tables (a handle from
// LoadLibraryW, where modules carry them): a module's default language is
// the neutral one, else the first one the string's block of 16 is in. A
// text that does not fit is cut after the last whole UTF-8 character that
// does. Returns the number of bytes copied, without the NUL; 0, with
// `pBuffer` untouched, when the store or module holds no text for `nID` in
// either language, the handle is null or neither a store's nor a loaded
// module's, the buffer is null or fewer than 2 bytes; 0 with an empty text
// when not even the first character fits. `nReserved1` and `nReserved2` are
// not read; callers pass 0.
// Example: utlLoadModuleString(h, 15000, buf, 4096, 0x0407, 0, 0) copies the
// German text of 15000, or the default language's when there is no German one.
int utlLoadModuleString(HMODULE hModule, int nID, char* pBuffer, int nBufferSize, int nLangId,
                        int nReserved1, int nReserved2);

// The language identifier of the host's language number `nLanguage`: 1
// English (0x0409), 2 German (0x0407), 3 Japanese (0x0411), 4 Simplified
// Chinese (0x0804). Any other number gives 0, which message stores read as
// their default language.
// Example: utlLanguageToLangId(2) == 0x0407; utlLanguageToLangId(99) == 0.
int utlLanguageToLangId(int nLanguage);

namespace kxu::zutl96 {

// How serious a problem utlCheckMessageStore reports is.
enum MessageStoreProblemKind : int {
  // The store cannot be loaded while it has this problem.
  kStoreError = 1,
  // The store loads, but a translator should look: a message that exists in
  // some language but not in the default one, which the other languages
  // cannot fall back to.
  kStoreWarning = 2,
};

// utlCheckMessageStore reports the first this many problems one by one.
inline constexpr int kMaxListedStoreProblems = 1000;

// Receives one problem: the 1-based line it is on (0 for the file as a
// whole), its kind, and a short English description.
using MessageStoreReport = void (*)(void* pContext, int nLine, int nKind, const char* lpcszProblem);

// Writes into `rc` the resource script of the message module that the store
// text `content` (the bytes of a store file) makes: one STRINGTABLE for each
// language, the default language's as the neutral one (which a module gives
// for any language it lacks), each text a wide literal whose non-ASCII units
// are escaped. A message that the default language lacks is listed empty in
// the neutral table, so that the module answers every id in every language
// as the store does. Returns false, `rc` untouched, when the store has an
// error (utlCheckMessageStore lists them).
// Example: "default 0x0409\nlanguage 0x0407\n1 Gr\xC3\xBC\xC3\x9F\n" gives a
// table under LANGUAGE 0x07, 0x01 with the line 1, L"Gr\x00FC\x00DF".
bool MessageStoreRc(std::string_view content, std::string& rc);

}  // namespace kxu::zutl96

// Writes the resource script of the message module that the message store
// file `lpszStore` makes (MessageStoreRc) to the file `lpszRc`, replacing it
// (both UTF-16 paths). Returns 1 when written; 0, writing nothing, when the
// store has an error; -1 when the store cannot be read (or is larger than 64
// MiB) or the script cannot be written.
// Example: utlWriteMessageModuleRc(u"zErrMsg.kxmsg", u"zErrMsg.rc") == 1.
int utlWriteMessageModuleRc(LPCWSTR lpszStore, LPCWSTR lpszRc);

// Reads the message store file `lpszFileName` (UTF-16 path) and reports the
// problems found, in line order, to `pfnReport` (may be null: count only) with
// `pContext`: the first kMaxListedStoreProblems one by one, then, when there
// are more, one report on line 0 that counts the rest (of kind kStoreError
// when any of them is an error), so that a store of any size costs bounded
// memory. Returns the number of problems, listed or not (0: the store is
// clean), or -1 when the file cannot be read or is larger than 64 MiB. Loads
// nothing and writes to no stream; a build step or a tool reports the
// problems.
// Example: a store line "15000The file" gives one kStoreError on that line.
int utlCheckMessageStore(LPCWSTR lpszFileName, kxu::zutl96::MessageStoreReport pfnReport,
                         void* pContext);
