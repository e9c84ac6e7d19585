// The host's utility library as this library sees it: character-level
// routines over NUL-terminated UTF-8 buffers of the caller, and the host's
// current code page. Positions are `char*` into the caller's buffer and
// returned positions lie in the same buffer. No routine reports failure other
// than through the results documented on it. Code outside host/zutl96 includes
// this header only. None of these routines is exported from the shared
// library; they serve the library's own families. The one exported item is
// the data item g_nCodePage, which the host writes.
//
// Bytes, as every routine here classifies them (a byte argument is taken
// modulo 256, so a sign-extended char is accepted; bytes 0x80 and above are
// parts of multi-byte characters and are never white space, quotes or
// brackets):
//   white space  blank, tab, CR, LF, VT, FF
//   quotes       the double quote " and the single quote '
//   brackets     ( ) [ ] { }, and < > while the angle switch is on
//   word bytes   ASCII letters and digits, and every byte 0x80 and above
//
// Separator searches. Every search walks forward from the position once, so
// its time is linear in the bytes it passes, and returns the first separator
// byte that stands outside quotes and outside brackets, or null when the text
// ends first. The separator byte 0 stands for any white-space byte.
//   - A quote opens a quoted stretch only at the start of the text or after a
//     byte that is not a word byte, so the apostrophe of "Young's modulus" or
//     the inch mark of 5" is an ordinary byte, while 'my file' and the
//     value of name="a,b" are quoted. The stretch ends at the next byte equal
//     to its opening quote; the other quote kind and brackets inside it are
//     ordinary bytes. A doubled quote inside a stretch closes and reopens it,
//     which keeps CSV's "" escape inside one stretch.
//   - Brackets (when the search honours them) nest with one depth counter for
//     all kinds: any closer ends the innermost open bracket, whatever its
//     kind. Quotes inside brackets are honoured. A closer with no open
//     bracket is an ordinary byte.
//   - An unbalanced opening quote or bracket hides every separator after it:
//     the search returns null and the rest of the text stays one token.
//
// Example: in `a(b,c),"d,e",f` the first ',' outside brackets and quotes is
// the one after `)`; utlFindSeparator(p, ',', kFindBrackets, nullptr) == p + 6.
#pragma once

#include <kxutils96/host/zstrings96/zstrings96.h>
#include <kxutils96/kxu_export.h>
#include <kxutils96/platform/win_module.h>
#include <kxutils96/platform/win_types.h>

// Mode bits of utlFindSeparator and utlFindSeparatorEx.
enum FindSeparatorMode : int {
  // Quotes only: brackets are ordinary bytes.
  kFindQuotesOnly = 0,
  // Brackets hide the separators inside them, as well as quotes.
  kFindBrackets = 0x40,
};

// Quote kinds that utlFindSeparatorQuoted honours, as bits.
enum QuoteKinds : int {
  kQuoteKindDouble = 1,
  kQuoteKindSingle = 2,
};

// The search state that utlFindSeparator and utlFindSeparatorEx read and
// write through their `pState` argument lets a caller split a text in pieces
// (a CSV file line by line) and resume inside a quoted stretch that an earlier
// piece opened. On entry the state is the quote byte the search starts inside
// (kSearchOutsideQuotes, '"' or '\''; any other value counts as outside). On
// return it is kSearchOutsideQuotes when a separator was found, else the quote
// byte still open where the text ended. A null `pState` means: start outside
// quotes and report nothing. Bracket depth is not carried over.
inline constexpr int kSearchOutsideQuotes = 0;

// Finds the next separator `chSep` (0: white space) at or after `p`, with the
// rules above; `nMode` kFindBrackets makes brackets count, other bits are
// ignored. `pState`: see kSearchOutsideQuotes. Returns the separator's
// position or null (also for a null `p`).
// Example: utlFindSeparator(p = `"a b" c`, 0, kFindBrackets, nullptr) == p + 5.
char* utlFindSeparator(char* p, int chSep, int nMode, int* pState);

// As utlFindSeparator, and inside quoted stretches the byte `chEscape` (0:
// the backslash) makes the byte after it ordinary, so an escaped quote does not
// end the stretch. `nReserved` is ignored; callers pass 0.
// Example: in `"a\",b",c` the separator found is the last ',' (position 7).
char* utlFindSeparatorEx(char* p, int chSep, int nMode, int* pState, int chEscape, int nReserved);

// Finds the next separator `chSep` (0: white space) at or after `p` outside
// the quote kinds of `nQuoteKinds` (kQuoteKindDouble, kQuoteKindSingle);
// brackets are ordinary bytes here, whatever the angle switch says. Returns
// the separator's position, or null (also for a null `p`).
// Example: utlFindSeparatorQuoted(p = `(a,b)`, ',', kQuoteKindDouble) == p + 2.
char* utlFindSeparatorQuoted(char* p, int chSep, int nQuoteKinds);

// Turns angle brackets on (nonzero) or off (0) as brackets for the searches
// that honour brackets, and returns the previous setting (1 or 0) so that the
// caller can restore it. The setting is one per thread, initially off: a
// caller that switches it on for one call never changes the searches of a
// call running on another thread.
// Example: int nOld = set_parenth_use_angle_brackets(1); ...;
// set_parenth_use_angle_brackets(nOld);
int set_parenth_use_angle_brackets(int nOn);

// The position of the first byte at or after `p` that is not white space (the
// terminating NUL when there is none); null for a null `p`. Nothing is
// written: trailing white space stays in the text.
// Example: utlSkipWhite(p = " \t x ") == p + 3.
char* utlSkipWhite(char* p);

// For a position just after a white-space separator: the start of the next
// token, past any further white space, or null when only white space follows,
// so that trailing white space adds no empty token. Null for a null `p`.
// Example: utlSkipWhiteAfterSep(p = "  b") == p + 2; utlSkipWhiteAfterSep("  ") == nullptr.
char* utlSkipWhiteAfterSep(char* p);

// What utlUnquote removes: on entry `*pnPairs` holds these bits.
enum UnquotePairs : int {
  kUnquoteQuotes = 0,
  kUnquoteQuotesAndBrackets = 1,
};

// Removes, in place, the enclosing pair of the token at `p`: the first byte is
// a quote and the last byte the same quote, or (when `*pnPairs` holds
// kUnquoteQuotesAndBrackets) the first byte is ( [ or { and the last its
// closer (angle brackets are never removed). The last byte of the pair becomes NUL and the token's
// new start, p + 1, is returned; a token without such a pair (an unterminated quote, a single quote
// byte) is returned unchanged. Inner bytes, doubled quotes included, stay as they are. Afterwards
// `*pnPairs` is 1 when a pair was removed, else 0 (a null `pnPairs` reads as kUnquoteQuotes). Null
// for null. Example: utlUnquote(`"a b"`) yields `a b`; utlUnquote(`(x)`) with 1 yields `x`.
char* utlUnquote(char* p, int* pnPairs);

// Flags of utlCsvUnquote, in the top 8 bits (the rest is ignored).
enum CsvUnquoteFlags : DWORD {
  // Inside the quotes a backslash makes the next byte literal (\" gives ").
  kCsvBackslashEscapes = 0x01000000,
  kCsvFlagsMask = 0xFF000000,
};

// Removes, in place, the CSV quoting of the field at `p`, which starts with a
// double quote: the bytes up to the closing quote are kept, a doubled quote
// "" inside gives one ", and the bytes after the closing quote are kept as
// they are (lenient: `"ab"c` gives `abc`). An unterminated field keeps all its
// bytes after the opening quote. Returns `p`, now holding the shorter text;
// afterwards `*pnClosed` (may be null) is 1 when the closing quote was
// found, else 0. A field that does not start with a double quote, and a null
// `p`, are returned unchanged.
// Example: utlCsvUnquote(`"say ""hi"""`, &n, 0) yields `say "hi"`, n == 1.
char* utlCsvUnquote(char* p, int* pnClosed, DWORD dwFlags);

// Byte classes of utlCharClass.
enum CharClass : int {
  kCharControl = 0,     // NUL, DEL and the other control bytes that are not white space
  kCharLetter = 1,      // A-Z, a-z
  kCharDigit = 2,       // 0-9
  kCharLineEnd = 3,     // CR, LF, VT, FF
  kCharQuote = 4,       // " and '
  kCharOpening = 5,     // ( [ { <
  kCharSymbol = 6,      // other ASCII punctuation: # $ % & * + = > @ \ ^ _ ` | ~
  kCharMultiByte = 7,   // 0x80 and above: part of a multi-byte character
  kCharBreakAfter = 8,  // blank, tab, and , ; : . ! ? - / ) ] } after which a line may break
};

// The class of the byte `ch` (taken modulo 256). Class kCharBreakAfter holds
// the bytes after which a wrapped line may end and which the letter-code
// splitter skips.
// Example: utlCharClass(',') == kCharBreakAfter; utlCharClass('7') == kCharDigit.
int utlCharClass(int ch);

// ---- Code pages: the host's code page and code-page text in place ----

// The host's current code page, -1 while the host has none. The host writes
// it (it is exported for that); conversions given a negative code page read
// it at each call.
extern "C" KXU_API int g_nCodePage;

// The code page a conversion uses for `nCodePage`: a value of 0 or more as
// it is; a negative one selects g_nCodePage, and when that is negative too,
// the system's ANSI code page (GetACP).
// Example: with g_nCodePage == -1, utlChooseCodePage(-5) == GetACP();
// utlChooseCodePage(932) == 932.
int utlChooseCodePage(int nCodePage);

struct MbcsConversion;

// A conversion record's growth routine: called with the record and a new
// size in bytes (terminator included) larger than the record's, it gives the
// record a buffer of at least that size that still holds the text, stores the
// buffer and the size in the record and returns nonzero; when it cannot, it
// sets the record's failure flag and returns 0.
using MbcsGrowBuffer = int (*)(MbcsConversion* pRecord, int nNewSize);

// What utlMBCStoUTF8InPlace converts, and how it may grow it. The caller owns
// the record, the string and its buffer.
struct MbcsConversion {
  void* pOwnerSlot;        // address of a variable holding the address of the string
                           // being converted; read only by the growth routine
  MbcsGrowBuffer pfnGrow;  // the growth routine
  int nReserved;           // 0
  char* pBuffer;           // writable buffer holding the NUL-terminated text
  int nBufferSize;         // bytes of pBuffer, terminator included
  int bFailed;             // 0; the growth routine sets 1 when it fails
};

// Converts the text in `pRecord->pBuffer` (up to its NUL, within
// nBufferSize bytes) from the code page utlChooseCodePage(nCodePage) to
// UTF-8, in the same buffer, NUL-terminated. When the UTF-8 text needs more
// room than the buffer has, it calls the record's growth routine once, for
// the exact size, before it writes anything; the text is written only into
// the buffer the record then names. Returns the UTF-8 length in bytes; 0 for
// a null record or buffer, an empty text, a code page that is not served, or
// a growth that failed, and then the buffer is left as it was. Invalid bytes
// become U+FFFD (as MultiByteToWideChar replaces them); well-formed UTF-8
// under code page 65001 is returned as it is.
// Example: a record over "caf\xE9" (size 5) with code page 1252 grows to 6
// bytes and returns 5, the buffer holding "caf\xC3\xA9".
int utlMBCStoUTF8InPlace(MbcsConversion* pRecord, int nCodePage);

// A list of strings is a run of NUL-terminated strings ended by an empty one
// ("a\0bc\0\0"); a position in it is the address of one of its strings.
// Returns the position of the string after the one at `pos`, or null when
// that is the empty end (or `pos` is null).
// Example: for "a\0bc\0\0", utlNextStrPos(list) is list + 2, and
// utlNextStrPos(list + 2) is null.
POSITION utlNextStrPos(POSITION pos);

// ---- Sorting and number conversion ----

// A sort comparator: reads the two elements at `pFirst` and `pSecond` and
// the caller's `pContext`, writes nothing, and returns a negative number when
// the first element orders before the second, 0 when they are equal, and a
// positive number when it orders after.
using SortCompareFunc = int (*)(const void* pFirst, const void* pSecond, const void* pContext);

// An array that utlSortRange rearranges in step with the sorted elements:
// entry i (of `nWidth` bytes) travels with element i.
struct SortCompanion {
  void* pData;
  int nWidth;
};

// Sorts elements `nFirst` to `nLast` (both inclusive, counted from `pBase`,
// each `nWidth` bytes) in place into the ascending order of `pfnCompare`,
// which is called with two element addresses and `pContext`. Elements move
// as raw byte blocks, never constructed, copied or destroyed, so any type
// that stays valid when relocated by memcpy can be sorted. Each of the
// `nCompanions` descriptors at `pCompanions` names an array whose entries
// `nFirst` to `nLast` are permuted exactly as the elements are (the entry
// that stood beside element i ends beside it); a descriptor with null data or
// a width of 0 or less is skipped. Nothing else is read or written. The
// caller owns everything; at most one scratch element (and one entry per
// companion) is used, on the stack up to 256 bytes and allocated once above.
//
// The sort is not stable: equal elements may change their relative order.
// It is a pattern-defeating quicksort: O(n log n) comparisons at worst,
// linear on ascending, descending and all-equal input. A comparator that is
// not a strict weak order (one that calls NaN equal to everything) yields
// some permutation of the elements and never a read or write outside them.
// Bad input changes nothing: a null base or comparator, a width of 0 or
// less, a negative `nFirst`, or `nLast` <= `nFirst`.
// Example: int a[] = {3, 1, 2}; utlSortRange(a, 0, 2, sizeof(int), CompareInts,
// nullptr, 0, nullptr) leaves 1, 2, 3.
void utlSortRange(void* pBase, int nFirst, int nLast, int nWidth, SortCompareFunc pfnCompare,
                  const SortCompanion* pCompanions, int nCompanions, const void* pContext);

// The number that the text at `psz` starts with, parsed as strtod parses in
// the "C" locale (leading white space, sign, decimal or hexadecimal digits,
// exponent, "inf" and "nan"): 0.0 when the text holds no number there, and
// for a null `psz`; ±HUGE_VAL past the range of a double. Reads only the
// text; reports no failure.
// Example: utlStrToDouble(" 1.5e3x") == 1500.0; utlStrToDouble("abc") == 0.0.
double utlStrToDouble(const char* psz);

// ---- Encoding detection ----

// The encodings KESUTIL_DetectEncodingFile tells apart (its result's low byte).
inline constexpr int kEncodingCodePage = 0;  // the host's code page
inline constexpr int kEncodingUtf8 = 1;
inline constexpr int kEncodingUtf16LE = 2;
inline constexpr int kEncodingUtf16BE = 3;
// The third argument of KESUTIL_DetectEncodingFile: look for UTF-16 without a mark.
inline constexpr int kDetectUtf16WithoutMark = 1;

// Reads the first 64 KiB of the file named by the UTF-8 `lpcszFile` (opened
// for reading, deny-write) and returns its encoding: a byte-order mark decides
// (EF BB BF UTF-8, FF FE UTF-16 LE, FE FF UTF-16 BE). Without one: when
// `nFlags` holds kDetectUtf16WithoutMark and at least half of the 16-bit
// units have a zero high byte at odd (LE) or even (BE) positions while the
// other position holds almost no zeros, UTF-16 of that order; otherwise valid
// UTF-8 (a sequence cut at the 64 KiB edge is not held against it), pure
// ASCII and an empty file give UTF-8 (the library's default for texts that
// fit both), and anything else the host code page. `nReserved` is not read.
// A null name or a file that cannot be opened gives kEncodingUtf8, so that
// the caller's own open reports the failure. Raises nothing.
// Example: a file "a\0b\0" with kDetectUtf16WithoutMark gives kEncodingUtf16LE;
// "caf\xE9" gives kEncodingCodePage.
int KESUTIL_DetectEncodingFile(const char* lpcszFile, int nReserved, int nFlags);

// ---- Text search, typed-text clean-up and C source text ----

// 1 when the byte `ch` (taken modulo 256) is a quote: the double quote or the
// single quote, the two quote kinds of the host's script texts; else 0.
// `nReserved` is ignored; callers pass 0.
// Example: KESUTIL_is_quote_char('"', 0) == 1; KESUTIL_is_quote_char('`', 0) == 0.
int KESUTIL_is_quote_char(int ch, int nReserved);

// Options of utlFindTextEx.
enum FindTextOptions : int {
  kFindTextExactCase = 0,
  // ASCII letters match either case; other bytes (UTF-8 included) match exactly.
  kFindTextIgnoreCase = 0x1000,
};

// The first occurrence of the keyword `pszKeyword` at or after `p`, read up
// to the NUL of each; `nOptions` kFindTextIgnoreCase folds ASCII case, other
// bits are ignored. Returns the occurrence's position in `p`'s buffer, or
// null when there is none, and for a null or empty keyword or a null `p`.
// Reads only.
// Example: utlFindTextEx("and", p = "x AND y", kFindTextIgnoreCase) == p + 2.
char* utlFindTextEx(const char* pszKeyword, char* p, int nOptions);

// Cleans up, in place, text that a user pasted from a word processor: the
// UTF-8 characters that have a plain ASCII twin in expressions become that
// twin. Left and right single quotes (U+2018, U+2019) give ', left and right
// double quotes (U+201C, U+201D) give ", the non-breaking space (U+00A0)
// gives a blank, and the en dash (U+2013) and the minus sign (U+2212) give
// -. Every change shortens the text, so it never needs more room than the
// buffer already has. Converts the first `nLength` bytes of the text at `p`
// (-1, or a length past the NUL: the whole text); the bytes after them move up
// to follow the converted part, and the text stays NUL-terminated. Returns
// the new length of the whole text in bytes; 0 for a null `p`.
// Example: "x \xE2\x80\x9C" "a\xE2\x80\x9D" (x “a”) gives "x \"a\"" and returns 5.
int utlConvertTextInPlace(char* p, int nLength);

// The room that utlCharToCEscape needs, the NUL included.
inline constexpr int kCEscapeBufferSize = 12;

// Writes into `pBuffer` (at least kCEscapeBufferSize bytes, the caller's) the
// escape that a C compiler or the host's script compiler reads back as the
// byte `ch` (taken modulo 256), NUL-terminated, and returns its length; 0
// when the byte stands for itself in a double-quoted literal, and then
// nothing is written. Escaped: \a \b \t \n \v \f \r, the backslash \\ and
// the double quote \", and every other control byte (NUL and DEL included)
// as three octal digits, \ooo, which no following digit can extend. Bytes
// 0x80 and above stand for themselves, so UTF-8 text survives. `nReserved`
// is ignored; callers pass 0. A null `pBuffer` gives 0.
// Example: utlCharToCEscape('\n', buf, 0) == 2 with buf "\\n";
// utlCharToCEscape(0x1B, buf, 0) == 4 with buf "\\033".
int utlCharToCEscape(int ch, char* pBuffer, int nReserved);

// Comments of C source text, as utlSkipComment and utlFindComment see them:
// a block comment /* ... */ (an unterminated one runs to the end of the text)
// and a line comment // that runs up to its line feed, which stays in the
// text so that the lines around it stay apart. A comment marker inside a
// string literal "..." or a character literal '...' is not a comment; in a
// literal a backslash makes the byte after it ordinary, and a literal ends at
// its closing quote or at the end of its line.

// The position after the comment that starts at `p` (for a line comment,
// its line feed or the text's NUL), or `p` itself when none starts there; null
// for null. Reads only.
// Example: utlSkipComment(p = "/* a */b") == p + 7.
char* utlSkipComment(char* p);

// The start of the first comment at or after `p`, outside literals, or the
// position of the text's NUL when there is none; null for null. Reads only.
// Example: utlFindComment(p = "s = \"//\"; // c") == p + 10.
char* utlFindComment(char* p);

// ---- Folders and file copies ----
// Paths here are UTF-8; a byte that is not part of UTF-8 names the file
// whose name holds that byte (as the directory search reports such names).

// 1 when the UTF-8 path `lpcszDir` (with or without a trailing backslash;
// either slash separates) names an existing folder, or a link to one; 0
// otherwise, and for a null or empty path.
// Example: utlDirectoryExists("/tmp\\") == 1; utlDirectoryExists("/tmp/x.txt") == 0.
int utlDirectoryExists(const char* lpcszDir);

// utlCopyFile's modes, as bits; other bits are ignored, so mode 0 overwrites.
enum CopyFileMode : int {
  kCopyOverwrite = 0,
  // An existing destination file is refused (and left as it is).
  kCopyFailIfExists = 2,
};

// Copies the file `lpcszSrc` (UTF-8; a link is copied as the file it points
// to) to `lpcszDest` (UTF-8; its folder must exist), and gives the copy the
// source's modification time and permission bits. `nMode`: see
// CopyFileMode. Returns 0 when the file was copied; 1 when it was not: a
// missing source, a source that is not a regular file, a missing destination
// folder, a destination that is a folder or read-only, an existing
// destination under kCopyFailIfExists, both names reaching the same file, a
// failed read or write (a destination the call created is then removed),
// null names. The system's last error tells why.
// Example: utlCopyFile("a.txt", "b.txt", kCopyFailIfExists) == 0; again: 1.
int utlCopyFile(const char* lpcszSrc, const char* lpcszDest, int nMode);

// ---- Integers, message stores and languages ----

// Reads `psz` as a decimal integer: optional white space, an optional + or
// -, one or more digits 0-9, optional white space, and nothing else. Returns
// 1 with the value stored in `*pnValue` when the text is such an integer
// within the range of an int; otherwise 0 with `*pnValue` unchanged (also for
// a null `psz`, an empty text and a value out of range). A null `pnValue`
// only tests.
// Example: utlStrToInt(" +12 ", &n) == 1 with n == 12; utlStrToInt("1x", &n) == 0;
// utlStrToInt("12345678901", &n) == 0.
int utlStrToInt(const char* psz, int* pnValue);

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

// Copies the text of message `nID` of the store `hModule` (a handle from
// utlLoadMessageStore) in the language `nLangId` (a 16-bit language
// identifier; 0 or a language the store lacks for this message: the store's
// default language) into `pBuffer` of `nBufferSize` bytes, NUL-terminated.
// A text that does not fit is cut after the last whole UTF-8 character that
// does. Returns the number of bytes copied, without the NUL; 0, with
// `pBuffer` untouched, when the store holds no text for `nID` in either
// language, the handle is null or not a store's, the buffer is null or fewer
// than 2 bytes; 0 with an empty text when not even the first character
// fits. `nReserved1` and `nReserved2` are not read; callers pass 0.
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

// How serious a problem utlCheckMessageStore reports is.
enum MessageStoreProblemKind : int {
  // The store cannot be loaded while it has this problem.
  kStoreError = 1,
  // The store loads, but a translator should look: a message that exists in
  // some language but not in the default one, which the other languages
  // cannot fall back to.
  kStoreWarning = 2,
};

// Receives one problem: the 1-based line it is on (0 for the file as a
// whole), its kind, and a short English description.
using MessageStoreReport = void (*)(void* pContext, int nLine, int nKind, const char* lpcszProblem);

// Reads the message store file `lpszFileName` (UTF-16 path) and reports each
// problem found, in line order, to `pfnReport` (may be null: count only) with
// `pContext`. Returns the number of problems (0: the store is clean), or -1
// when the file cannot be read or is larger than 64 MiB. Loads nothing and writes to no stream; a
// build step or a tool reports the problems.
// Example: a store line "15000The file" gives one kStoreError on that line.
int utlCheckMessageStore(LPCWSTR lpszFileName, MessageStoreReport pfnReport, void* pContext);
