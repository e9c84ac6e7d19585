#include <kxutils96/host/zstrings96/string_utf8.h>

void CStringUTF8::Format(const char* pszFormat, ...) {
  va_list args;
  va_start(args, pszFormat);
  FormatV(pszFormat, args);
  va_end(args);
}

CStringUTF8 operator+(const CStringUTF8& lhs, const CStringUTF8& rhs) {
  CStringUTF8 result(lhs);
  result += rhs;
  return result;
}

CStringUTF8 operator+(const CStringUTF8& lhs, const char* rhs) {
  CStringUTF8 result(lhs);
  result += rhs;
  return result;
}

CStringUTF8 operator+(const char* lhs, const CStringUTF8& rhs) {
  CStringUTF8 result(lhs);
  result += rhs;
  return result;
}
