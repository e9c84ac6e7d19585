#include <kxutils96/format/transforms/source_text.h>

#include <string>

#include <kxutils96/frame/flat_call.h>
#include <kxutils96/host/zutl96/c_source.h>
#include <kxutils96/platform/checked_int.h>

using namespace kxu::frame;

namespace {

constexpr int kResultDone = 1;

// The position after the comments that follow one another from `p`.
char* SkipComments(char* p) {
  for (char* pNext = utlSkipComment(p); pNext != p; pNext = utlSkipComment(p)) p = pNext;
  return p;
}

}  // namespace

int kxu_skip_C_comments(CStringUTF8* pstrText, int bLeadingOnly) {
  if (pstrText == nullptr) return kResultMissingArgument;
  CStringUTF8 trimmed = *pstrText;
  trimmed.TrimLeft();
  trimmed.TrimRight();
  std::string source(trimmed.GetString(), static_cast<std::size_t>(trimmed.GetLength()));
  char* p = SkipComments(source.data());
  if (bLeadingOnly != 0) {
    *pstrText = p;
    return kResultDone;
  }
  std::string result;
  while (*p != '\0') {
    char* pComment = utlFindComment(p);
    if (pComment == nullptr) break;
    result.append(p, pComment);
    p = SkipComments(pComment);
  }
  *pstrText = CStringUTF8(result.data(), kxu::platform::CheckedInt(result.size()));
  return kResultDone;
}
