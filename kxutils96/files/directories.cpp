#include <kxutils96/files/directories.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <deque>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <kxutils96/files/wide_file_name.h>
#include <kxutils96/frame/flat_call.h>
#include <kxutils96/host/zstrings96/zstrings96.h>
#include <kxutils96/host/zutl96/file_system.h>
#include <kxutils96/platform/text/unicode.h>
#include <kxutils96/platform/win32/win_file.h>

using namespace kxu::zutl96;

namespace {

constexpr char kSeparator[] = "\\";
constexpr char kAllNames[] = "*.*";

// `lpcszPath` with one backslash appended when it does not end in one.
CStringUTF8 WithSeparator(const char* lpcszPath) {
  CStringUTF8 strPath(lpcszPath);
  const int nLength = strPath.GetLength();
  if (nLength == 0 || strPath[nLength - 1] != kSeparator[0]) strPath += kSeparator;
  return strPath;
}

// The entry's name in UTF-8; bytes of a name that is not UTF-8 stay as they
// are, so that joined to its folder the name reaches the entry again.
CStringUTF8 NameOf(const WIN32_FIND_DATAW& data) {
  return CStringUTF8(
      kxu::platform::Utf16ToUtf8(data.cFileName, kxu::platform::InvalidInput::kEscape).c_str());
}

using WideString = std::basic_string<WCHAR>;

// `strPath` in UTF-16, bytes that are not UTF-8 escaped as the search reports
// them.
WideString WideOf(const CStringUTF8& strPath) {
  return kxu::platform::Utf8ToUtf16(
      std::string_view(strPath, static_cast<std::size_t>(strPath.GetLength())),
      kxu::platform::InvalidInput::kEscape);
}

// True when the entry's name holds a separator: POSIX allows '\' inside a
// name, and joined to its folder such a name would lead elsewhere.
bool HoldsSeparator(const WIN32_FIND_DATAW& data) {
  for (const WCHAR* p = data.cFileName; *p != 0; ++p) {
    if (*p == u'\\' || *p == u'/') return true;
  }
  return false;
}

bool IsFolder(const WIN32_FIND_DATAW& data) {
  return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// True for a symbolic link or a junction; other reparse points (a cloud
// file's placeholder, say) are the files and folders they stand for.
bool IsLink(const WIN32_FIND_DATAW& data) {
  return (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
         (data.dwReserved0 == IO_REPARSE_TAG_SYMLINK ||
          data.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT);
}

bool IsHiddenOrSystem(const WIN32_FIND_DATAW& data) {
  return (data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
}

bool IsDotOrDotDot(const WIN32_FIND_DATAW& data) {
  const WCHAR* name = data.cFileName;
  return name[0] == u'.' && (name[1] == 0 || (name[1] == u'.' && name[2] == 0));
}

enum class ListKind { kFolders, kFiles };

// True when the list entry `strEntry` names `strName`, ignoring case; a
// folder entry without its trailing backslashes.
bool EntryNames(const CStringUTF8& strEntry, const CStringUTF8& strName, ListKind kind) {
  if (kind == ListKind::kFiles) return strEntry.CompareNoCase(strName) == 0;
  CStringUTF8 strFolder(strEntry);
  strFolder.TrimRight(kSeparator[0]);
  return strFolder.CompareNoCase(strName) == 0;
}

bool IsListed(const CZQVStringArray* psaList, const WIN32_FIND_DATAW& entry, ListKind kind) {
  if (psaList == nullptr || psaList->GetSize() == 0) return false;
  const CStringUTF8 strName = NameOf(entry);
  for (int i = 0; i < psaList->GetSize(); ++i) {
    if (EntryNames(psaList->GetAt(i), strName, kind)) return true;
  }
  return false;
}

// An open directory search, closed when it goes away. Its entries hold
// names and kinds only (folder, link, hidden): all that the copy and the
// delete look at, which the system can tell without a call per entry.
class DirectorySearch {
 public:
  // Starts a search for the UTF-8 `strPattern`; Started() tells whether it did.
  explicit DirectorySearch(const CStringUTF8& strPattern)
      : m_hFind(FindFirstFileExW(kxu::files::WideFileName(strPattern).Get(), FindExInfoBasic,
                                 &m_data, FindExSearchNameMatch, nullptr,
                                 FIND_FIRST_EX_LARGE_FETCH)) {}
  DirectorySearch(const DirectorySearch&) = delete;
  DirectorySearch& operator=(const DirectorySearch&) = delete;
  ~DirectorySearch() {
    if (Started()) FindClose(m_hFind);
  }

  bool Started() const { return m_hFind != INVALID_HANDLE_VALUE; }
  // The entry found last.
  const WIN32_FIND_DATAW& Entry() const { return m_data; }
  // Moves to the next entry; false at the end (the last error tells why).
  bool Next() { return FindNextFileW(m_hFind, &m_data) != FALSE; }

 private:
  WIN32_FIND_DATAW m_data{};
  HANDLE m_hFind;
};

// A folder's identity, for telling whether the walk has been there.
using FolderId = std::array<BYTE, sizeof(FILE_ID_INFO)>;

// The identity of the folder `strPath`, or none when the system cannot tell
// it (the folder is then copied like any other: identities only guard
// against endless walks).
std::optional<FolderId> IdOf(const CStringUTF8& strPath) {
  FILE_ID_INFO info{};
  if (!GetFileIdInfoW(kxu::files::WideFileName(strPath).Get(), &info)) return std::nullopt;
  FolderId id{};
  std::memcpy(id.data(), &info, sizeof(info));
  return id;
}

// A link to a folder met by the walk, followed once the tree is done.
struct FolderLink {
  CStringUTF8 strSource;          // the link, ends in a backslash
  CStringUTF8 strDestination;     // ends in a backslash
  std::vector<FolderId> holders;  // the folders the link lies in
};

// One folder being copied: its search, still open at the entry to look at.
struct CopyLevel {
  CStringUTF8 strSource;       // ends in a backslash
  CStringUTF8 strDestination;  // ends in a backslash
  WideString wideSource;       // the same two in UTF-16, to which each file's name is joined
  WideString wideDestination;
  int nCopyMode;
  std::optional<FolderId> sourceId;
  std::unique_ptr<DirectorySearch> search;
  bool bEntryPending = true;  // the search's current entry has not been looked at
};

// The copy of one tree, walked with an explicit stack of open levels: a
// level's subfolder is pushed and walked to its end before the level goes on.
class CopyWalk {
 public:
  CopyWalk(bool bSubfolders, const CZQVStringArray* psaSkipFolders,
           const CZQVStringArray* psaSkipFiles, KXU_PASSED_LINK_PROC pfnPassedLink,
           KXU_NOT_COPIED_PROC pfnNotCopied, void* pContext)
      : m_bSubfolders(bSubfolders),
        m_psaSkipFolders(psaSkipFolders),
        m_psaSkipFiles(psaSkipFiles),
        m_pfnPassedLink(pfnPassedLink),
        m_pfnNotCopied(pfnNotCopied),
        m_pContext(pContext) {}

  // Copies the top level and what lies below it, then the links to folders
  // inside it; true when the top level's walk completed.
  bool Run(const CStringUTF8& strSource, const CStringUTF8& strDestination, int nCopyMode) {
    m_nSourceLength = strSource.GetLength();
    if (!Walk(strSource, strDestination, nCopyMode)) return false;
    FollowLinks();
    return true;
  }

 private:
  // Copies one folder and what lies below it, links to folders set aside;
  // true when its own walk completed. A level that finishes or fails is
  // closed; the failure of a level below the first one is not reported upward.
  bool Walk(const CStringUTF8& strSource, const CStringUTF8& strDestination, int nCopyMode) {
    if (!Enter(strSource, strDestination, nCopyMode)) return false;
    while (!m_levels.empty()) {
      const StepResult result = Step(m_levels.back());
      if (result == StepResult::kEnteredSubfolder) continue;
      const bool bTopLevel = m_levels.size() == 1;
      m_levels.pop_back();
      if (bTopLevel) return result == StepResult::kFinished;
    }
    return true;
  }

  // Copies each link set aside that leads to a folder of the tree walked
  // and not back to one holding it, as the folder it leads to; reports the
  // others. Links met on the way are set aside and handled the same way.
  void FollowLinks() {
    while (!m_links.empty()) {
      FolderLink link = std::move(m_links.front());
      m_links.pop_front();
      const std::optional<FolderId> id = IdOf(link.strSource);
      m_holders = std::move(link.holders);
      if (id && m_treeIds.count(*id) != 0 && !IsWalked(*id)) {
        Walk(link.strSource, link.strDestination, kCopyOverwrite);
      } else if (m_pfnPassedLink != nullptr) {
        const int nLength = link.strSource.GetLength() - m_nSourceLength - 1;
        m_pfnPassedLink(link.strSource.Mid(m_nSourceLength, nLength), m_pContext);
      }
    }
  }

  // Says that `strPath` (below the top source; a folder's path ends in a
  // backslash) was not copied, for the reason the last error gives.
  void ReportNotCopied(const CStringUTF8& strPath) const {
    const DWORD dwError = GetLastError();
    if (m_pfnNotCopied == nullptr || strPath.GetLength() <= m_nSourceLength) return;
    m_pfnNotCopied(strPath.Mid(m_nSourceLength), dwError, m_pContext);
  }

  // Creates the destination when it is missing and starts the search of the
  // source; false, with nothing pushed, when either fails (a failure below
  // the top source reported).
  bool Enter(const CStringUTF8& strSource, const CStringUTF8& strDestination, int nCopyMode) {
    if (!utlDirectoryExists(strDestination) &&
        !CreateDirectoryW(kxu::files::WideFileName(strDestination).Get(), nullptr)) {
      ReportNotCopied(strSource);
      return false;
    }
    if (const std::optional<FolderId> destinationId = IdOf(strDestination)) {
      m_destinationIds.insert(*destinationId);
    }
    auto search = std::make_unique<DirectorySearch>(strSource + kAllNames);
    if (!search->Started()) {
      ReportNotCopied(strSource);
      return false;
    }
    const std::optional<FolderId> sourceId = IdOf(strSource);
    if (sourceId) m_treeIds.insert(*sourceId);
    m_levels.push_back({strSource, strDestination, WideOf(strSource), WideOf(strDestination),
                        nCopyMode, sourceId, std::move(search)});
    return true;
  }

  enum class StepResult { kEnteredSubfolder, kFinished, kFailed };

  // Handles the entries of `level` until it enters a subfolder (which is
  // walked before the level goes on), runs out of entries, or fails to copy
  // a file.
  StepResult Step(CopyLevel& level) {
    while (level.bEntryPending || level.search->Next()) {
      level.bEntryPending = false;
      const WIN32_FIND_DATAW& entry = level.search->Entry();
      if (IsHiddenOrSystem(entry)) continue;
      if (IsFolder(entry)) {
        if (EnterSubfolder(level, entry)) return StepResult::kEnteredSubfolder;
      } else if (!CopyFileEntry(level, entry)) {
        return StepResult::kFailed;
      }
    }
    return StepResult::kFinished;
  }

  // Pushes the subfolder `entry` of `level` unless it is excluded, already
  // part of the walk or a link (which is set aside); true when it was pushed.
  bool EnterSubfolder(const CopyLevel& level, const WIN32_FIND_DATAW& entry) {
    if (!m_bSubfolders || IsDotOrDotDot(entry) || HoldsSeparator(entry) ||
        IsListed(m_psaSkipFolders, entry, ListKind::kFolders)) {
      return false;
    }
    const CStringUTF8 strName = NameOf(entry);
    const CStringUTF8 strSource = level.strSource + strName + kSeparator;
    const CStringUTF8 strDestination = level.strDestination + strName + kSeparator;
    if (IsLink(entry)) {
      m_links.push_back({strSource, strDestination, HoldersHere()});
      return false;
    }
    const std::optional<FolderId> id = IdOf(strSource);
    if (id && IsWalked(*id)) return false;
    return Enter(strSource, strDestination, kCopyOverwrite);
  }

  // The folders that hold the level being walked: those of the link walked
  // (if any), then the open levels.
  std::vector<FolderId> HoldersHere() const {
    std::vector<FolderId> holders = m_holders;
    for (const CopyLevel& level : m_levels) {
      if (level.sourceId) holders.push_back(*level.sourceId);
    }
    return holders;
  }

  // Copies the file `entry` of `level` unless it is excluded, as utlCopyFile
  // copies in the level's mode, its paths joined in UTF-16 (no conversion of
  // each name); false, the failure reported, when the copy failed.
  bool CopyFileEntry(const CopyLevel& level, const WIN32_FIND_DATAW& entry) {
    if (HoldsSeparator(entry) || IsListed(m_psaSkipFiles, entry, ListKind::kFiles)) return true;
    m_source.assign(level.wideSource).append(entry.cFileName);
    m_destination.assign(level.wideDestination).append(entry.cFileName);
    const BOOL bFailIfExists = (level.nCopyMode & kCopyFailIfExists) != 0 ? TRUE : FALSE;
    if (CopyFileW(m_source.c_str(), m_destination.c_str(), bFailIfExists)) return true;
    ReportNotCopied(level.strSource + NameOf(entry));
    return false;
  }

  // True when the folder `id` is being walked, holds the link walked, or
  // receives copies.
  bool IsWalked(const FolderId& id) const {
    if (m_destinationIds.count(id) != 0) return true;
    if (std::find(m_holders.begin(), m_holders.end(), id) != m_holders.end()) return true;
    for (const CopyLevel& level : m_levels) {
      if (level.sourceId == id) return true;
    }
    return false;
  }

  bool m_bSubfolders;
  const CZQVStringArray* m_psaSkipFolders;
  const CZQVStringArray* m_psaSkipFiles;
  KXU_PASSED_LINK_PROC m_pfnPassedLink;
  KXU_NOT_COPIED_PROC m_pfnNotCopied;
  void* m_pContext;
  int m_nSourceLength = 0;         // of the top source, with its backslash
  std::deque<CopyLevel> m_levels;  // references stay valid while levels are pushed
  std::set<FolderId> m_destinationIds;
  std::set<FolderId> m_treeIds;     // every folder walked
  std::deque<FolderLink> m_links;   // set aside, to follow
  std::vector<FolderId> m_holders;  // those of the link being walked
  WideString m_source;              // the file being copied, and its copy
  WideString m_destination;
};

}  // namespace

int kxuCopyDirectory(const char* lpcszSrcDir, const char* lpcszDestDir, int bSubfolders,
                     CZQVStringArray* psaSkipFolders, CZQVStringArray* psaSkipFiles, int bNested) {
  return kxuCopyDirectoryReportingFailures(lpcszSrcDir, lpcszDestDir, bSubfolders, psaSkipFolders,
                                           psaSkipFiles, bNested, nullptr, nullptr, nullptr);
}

int kxuCopyDirectoryReportingLinks(const char* lpcszSrcDir, const char* lpcszDestDir,
                                   int bSubfolders, CZQVStringArray* psaSkipFolders,
                                   CZQVStringArray* psaSkipFiles, int bNested,
                                   KXU_PASSED_LINK_PROC pfnPassedLink, void* pContext) {
  return kxuCopyDirectoryReportingFailures(lpcszSrcDir, lpcszDestDir, bSubfolders, psaSkipFolders,
                                           psaSkipFiles, bNested, pfnPassedLink, nullptr, pContext);
}

int kxuCopyDirectoryReportingFailures(const char* lpcszSrcDir, const char* lpcszDestDir,
                                      int bSubfolders, CZQVStringArray* psaSkipFolders,
                                      CZQVStringArray* psaSkipFiles, int bNested,
                                      KXU_PASSED_LINK_PROC pfnPassedLink,
                                      KXU_NOT_COPIED_PROC pfnNotCopied, void* pContext) {
  if (lpcszSrcDir == nullptr || lpcszDestDir == nullptr) return kxu::files::kDirectoryFailed;
  CopyWalk walk(bSubfolders != 0, psaSkipFolders, psaSkipFiles, pfnPassedLink, pfnNotCopied,
                pContext);
  const int nTopMode = bNested == 0 ? kCopyFailIfExists : kCopyOverwrite;
  return walk.Run(WithSeparator(lpcszSrcDir), WithSeparator(lpcszDestDir), nTopMode)
             ? kxu::files::kDirectoryDone
             : kxu::files::kDirectoryFailed;
}

int kxuDelFiles(const char* lpcszDir, const char* lpcszPattern, CZQVStringArray* psaSkipFiles) {
  if (lpcszDir == nullptr || *lpcszDir == '\0') return kxu::files::kDirectoryNoFolder;
  const CStringUTF8 strDir = WithSeparator(lpcszDir);
  if (!utlDirectoryExists(strDir)) return kxu::files::kDirectoryNoFolder;
  DirectorySearch search(strDir + (lpcszPattern != nullptr ? lpcszPattern : kAllNames));
  if (!search.Started()) {
    return GetLastError() == ERROR_FILE_NOT_FOUND ? 0 : kxu::files::kDirectorySearchFailed;
  }
  int nDeleted = 0;
  do {
    const WIN32_FIND_DATAW& entry = search.Entry();
    if (IsFolder(entry) || HoldsSeparator(entry) || IsListed(psaSkipFiles, entry, ListKind::kFiles))
      continue;
    if (DeleteFileW(kxu::files::WideFileName(strDir + NameOf(entry)).Get())) ++nDeleted;
  } while (search.Next());
  return GetLastError() == ERROR_NO_MORE_FILES ? nDeleted : kxu::files::kDirectoryListingBroken;
}

int kxu_copy_directory(const char* lpcszSrcDir, const char* lpcszDestDir, int bSubfolders,
                       HostObject* pSkipFolders, HostObject* pSkipFiles, int bNested) {
  CZQVStringArray* psaSkipFolders = kxu::frame::StringArrayOf(pSkipFolders);
  CZQVStringArray* psaSkipFiles = kxu::frame::StringArrayOf(pSkipFiles);
  return kxuCopyDirectory(lpcszSrcDir, lpcszDestDir, bSubfolders, psaSkipFolders, psaSkipFiles,
                          bNested);
}

int kxu_delete_files(const char* lpcszDir, const char* lpcszPattern, HostObject* pSkipFiles) {
  return kxuDelFiles(lpcszDir, lpcszPattern, kxu::frame::StringArrayOf(pSkipFiles));
}
