// The byte classes that line wrapping and the letter-code splitter read.
#pragma once

namespace kxu::zutl96 {

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

}  // namespace kxu::zutl96

// The class of the byte `ch` (taken modulo 256). Class kCharBreakAfter holds
// the bytes after which a wrapped line may end and which the letter-code
// splitter skips.
// Example: utlCharClass(',') == kCharBreakAfter; utlCharClass('7') == kCharDigit.
int utlCharClass(int ch);
