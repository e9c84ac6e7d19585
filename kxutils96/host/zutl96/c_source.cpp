// C source text: escapes of single bytes, and comments outside literals.
#include <array>
#include <cstdio>

#include <kxutils96/host/zutl96/c_source.h>
#include <kxutils96/host/zutl96/detail/byte_kinds.h>

using namespace kxu::zutl96::detail;
using namespace kxu::zutl96;

namespace {

constexpr unsigned char kDelete = 0x7F;

// The one-letter escapes: the byte and the letter after the backslash.
struct LetterEscape {
  unsigned char byte;
  char letter;
};

constexpr std::array<LetterEscape, 9> kLetterEscapes = {{
    {'\a', 'a'},
    {'\b', 'b'},
    {'\t', 't'},
    {'\n', 'n'},
    {'\v', 'v'},
    {'\f', 'f'},
    {'\r', 'r'},
    {'\\', '\\'},
    {'"', '"'},
}};

bool StartsBlockComment(const char* p) {
  return p[0] == '/' && p[1] == '*';
}

bool StartsLineComment(const char* p) {
  return p[0] == '/' && p[1] == '/';
}

// The position after the literal whose opening quote is at `p`: after its
// closing quote, or at the line feed or NUL that ends it unclosed.
char* SkipLiteral(char* p) {
  const char quote = *p++;
  while (*p != '\0' && *p != '\n') {
    if (*p == '\\' && p[1] != '\0') {
      p += 2;
    } else if (*p++ == quote) {
      return p;
    }
  }
  return p;
}

}  // namespace

int utlCharToCEscape(int ch, char* pBuffer, int /*nReserved*/) {
  if (pBuffer == nullptr) return 0;
  const unsigned char c = ByteOf(ch);
  for (const LetterEscape& escape : kLetterEscapes) {
    if (escape.byte == c) {
      pBuffer[0] = '\\';
      pBuffer[1] = escape.letter;
      pBuffer[2] = '\0';
      return 2;
    }
  }
  if (c >= ' ' && c != kDelete) return 0;
  return std::snprintf(pBuffer, kCEscapeBufferSize, "\\%03o", static_cast<unsigned>(c));
}

char* utlSkipComment(char* p) {
  if (p == nullptr) return nullptr;
  if (StartsBlockComment(p)) {
    char* q = p + 2;
    while (*q != '\0' && !(q[0] == '*' && q[1] == '/')) ++q;
    return *q == '\0' ? q : q + 2;
  }
  if (StartsLineComment(p)) {
    char* q = p + 2;
    while (*q != '\0' && *q != '\n') ++q;
    return q;
  }
  return p;
}

char* utlFindComment(char* p) {
  if (p == nullptr) return nullptr;
  while (*p != '\0') {
    if (StartsBlockComment(p) || StartsLineComment(p)) return p;
    if (*p == '"' || *p == '\'')
      p = SkipLiteral(p);
    else
      ++p;
  }
  return p;
}
