// C source text: escapes for string literals, and comments.
#pragma once

namespace kxu::zutl96 {

// The room that utlCharToCEscape needs, the NUL included.
inline constexpr int kCEscapeBufferSize = 12;

}  // namespace kxu::zutl96

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
