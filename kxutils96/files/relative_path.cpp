#include <kxutils96/files/relative_path.h>

#include <kxutils96/frame/flat_call.h>

namespace {

constexpr char kSeparator = '\\';
constexpr char kClimb[] = "..\\";
// The path's last backslash must stand at this byte position or later.
constexpr int kFirstFolderPosition = 2;

// The length of the longest leading run of folders that `strBase` and
// `strFolder` share: the position after the last backslash (other than a
// first byte) up to which both agree. 0 when they share none.
int SharedFolderLength(const CStringUTF8& strBase, const CStringUTF8& strFolder) {
  int nShared = 0;
  const int nLength =
      strBase.GetLength() < strFolder.GetLength() ? strBase.GetLength() : strFolder.GetLength();
  for (int i = 0; i < nLength && strBase[i] == strFolder[i]; ++i) {
    if (strBase[i] == kSeparator && i != 0) nShared = i + 1;
  }
  return nShared;
}

// The backslashes of `strRest` from its second byte on.
int LevelsBelow(const CStringUTF8& strRest) {
  int nLevels = 0;
  for (int i = 1; i < strRest.GetLength(); ++i) {
    if (strRest[i] == kSeparator) ++nLevels;
  }
  return nLevels;
}

}  // namespace

int kxu_make_relative_path(CStringUTF8* pstrResult, const char* lpcszBase, const char* lpcszPath,
                           int nMaxLevels) {
  if (kxu::frame::AnyNull(pstrResult, lpcszBase, lpcszPath))
    return kxu::files::kRelativePathNoFolder;
  const CStringUTF8 strBase(lpcszBase);
  const CStringUTF8 strPath(lpcszPath);
  const int nLastSeparator = strPath.ReverseFind(kSeparator);
  if (nLastSeparator < kFirstFolderPosition) return kxu::files::kRelativePathNoFolder;
  const CStringUTF8 strFolder = strPath.Left(nLastSeparator + 1);
  const int nShared = strBase.IsEmpty() ? 0 : SharedFolderLength(strBase, strFolder);
  if (nShared == 0) return kxu::files::kRelativePathNothingShared;
  const int nLevels = LevelsBelow(strBase.Mid(nShared));
  if (nLevels > nMaxLevels) return kxu::files::kRelativePathTooManyLevels;
  CStringUTF8 strClimb;
  for (int i = 0; i < nLevels; ++i) strClimb += kClimb;
  pstrResult->Format("%s%s", static_cast<const char*>(strClimb),
                     static_cast<const char*>(strPath.Mid(nShared)));
  return kxu::files::kRelativePathDone;
}
