// How the utility routines classify single bytes: white space, quotes,
// brackets and word bytes, as the contract header describes them. Private to
// host/zutl96.
#pragma once

namespace kxu::zutl96::detail {

// A byte argument of a routine, taken modulo 256 so that a sign-extended char
// and its unsigned value mean the same byte.
constexpr unsigned char ByteOf(int ch) {
  return static_cast<unsigned char>(ch);
}

// Blank, tab, LF, VT, FF and CR.
constexpr bool IsWhite(unsigned char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

constexpr bool IsQuote(unsigned char c) {
  return c == '"' || c == '\'';
}

constexpr bool IsAsciiLetter(unsigned char c) {
  const unsigned char lower = c | 0x20;
  return lower >= 'a' && lower <= 'z';
}

constexpr bool IsDigit(unsigned char c) {
  return c >= '0' && c <= '9';
}

// Letters, digits and the bytes of multi-byte characters: a quote right after
// one of these is part of a word (an apostrophe, an inch mark), not an opener.
constexpr bool IsWordByte(unsigned char c) {
  return c >= 0x80 || IsAsciiLetter(c) || IsDigit(c);
}

// The closer that belongs to the opening bracket `c`, or 0 when `c` opens
// nothing; < opens only when `bAngle` is set.
constexpr unsigned char CloserOf(unsigned char c, bool bAngle) {
  switch (c) {
    case '(':
      return ')';
    case '[':
      return ']';
    case '{':
      return '}';
    case '<':
      return bAngle ? '>' : 0;
    default:
      return 0;
  }
}

constexpr bool IsCloser(unsigned char c, bool bAngle) {
  return c == ')' || c == ']' || c == '}' || (bAngle && c == '>');
}

}  // namespace kxu::zutl96::detail
