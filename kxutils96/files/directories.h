// Copying a directory with its subdirectories, and deleting the matching
// files of one directory.
//
// Paths are UTF-8, with or without a trailing backslash; either slash
// separates directories. Exclusion lists are the caller's and only read; a
// null list excludes nothing.
//
// A name found in a folder is always one name, never a path: on POSIX, where
// a name may hold a backslash (an ordinary character there), such a file or
// folder cannot be named through these paths and is passed over, neither
// copied nor deleted nor counted, so that a name such as `x\..\..\a.txt` never
// reaches outside the folders given. Names that are not UTF-8 (bytes of
// another encoding) are copied, compared and deleted as the bytes they are.
//
// Exclusion-list entries are whole names (not paths, not patterns) compared
// with the found name ignoring ASCII letter case. Nothing is kept after a
// call: every directory search is closed on every way out.
#pragma once

#include <kxutils96/frame/host_object.h>
#include <kxutils96/kxu_export.h>
#include <kxutils96/strings/zqv_string_array.h>

namespace kxu::files {

// The results of the copy (done or failed) and of the delete (which returns
// the number of files deleted, 0 or more, when it succeeds).
enum DirectoryResult : int {
  kDirectoryDone = 1,            // the copy copied everything
  kDirectoryFailed = 0,          // the copy could not create, list or copy something
  kDirectoryNoFolder = -1,       // the delete's folder is missing, empty or not a folder
  kDirectorySearchFailed = -2,   // the delete's folder could not be searched
  kDirectoryListingBroken = -3,  // the listing ended early with an error
};

}  // namespace kxu::files

extern "C" {

// Copies every file of the folder `lpcszSrcDir` into `lpcszDestDir`, first
// creating that folder when it is missing (one level: its parent must
// exist). With `bSubfolders` nonzero each subfolder is copied the same way
// into a subfolder of the same name below the destination, at every depth.
// Hidden entries (names beginning with '.') are never copied; a folder whose
// name equals an entry of `psaSkipFolders` (trailing backslashes of the entry
// aside) and a file whose name equals an entry of `psaSkipFiles` are not
// copied, at any depth. Files are copied as utlCopyFile copies them (with
// their permission bits and times): those directly in the source with
// kCopyFailIfExists when `bNested` is 0 (an existing destination file then
// stops the walk) and with kCopyOverwrite otherwise; files below the top
// level always with kCopyOverwrite. Entries are visited in the order the
// system lists them.
//
// Links (symbolic links; on Windows also junctions). A copy never reads
// outside its source: a link to a file is copied as the file it points to
// (one that points nowhere cannot be copied: a failed copy, as below); a
// link to a folder is copied as a folder, with what it holds, only when that
// folder is one the copy walks itself (inside the source, neither hidden nor
// skipped) and not one the link lies in. Any other link to a folder (to
// "..", to "/", to anything outside the source) is passed over. Links to
// folders are followed after the rest of the tree, each where it stands (two
// links to one folder give two copies of it); links met through a link are
// followed the same way, so no chain of links loops.
//
// Returns 1 when the walk of the top level completed; 0 when the
// destination was missing and could not be created, when the source cannot
// be searched (missing, not a folder, no permission), when a file directly
// in the source could not be copied (the walk stops there; files copied
// before stay), and for a null path. A failure below the top level (a
// subfolder that cannot be created or read, a file that cannot be copied)
// ends the walk of that subfolder only and leaves the result 1. A folder
// copied onto itself gives 0 at its first file and changes nothing (a file is
// never copied onto itself). An empty path stands for the root folder.
//
// Folders that would make the walk endless are not entered: a folder that
// is one of the folders being walked (reached again by other means than a
// link, such as a bind mount), and a folder that is one of this call's
// destination folders (a destination inside the source). Such a folder is
// passed over as a skipped one is; a folder whose identity the system cannot
// tell is copied, a link to one is passed over. The walk keeps its own list
// of pending folders instead of calling itself, so the depth of a tree costs
// no stack.
// Example: with src holding a.txt and sub/b.txt,
// kxuCopyDirectory("src", "dst", 1, nullptr, nullptr, 0) == 1 and dst holds
// both files in the same places.
KXU_API int kxuCopyDirectory(const char* lpcszSrcDir, const char* lpcszDestDir, int bSubfolders,
                             CZQVStringArray* psaSkipFolders, CZQVStringArray* psaSkipFiles,
                             int bNested);

// Receives the path of a link to a folder that a copy passed over: UTF-8,
// relative to the source, names joined by backslashes ("sub\\loop"), valid
// during the call only; `pContext` is the one handed to the copy.
typedef void (*KXU_PASSED_LINK_PROC)(const char* lpcszLink, void* pContext);

// kxuCopyDirectory, calling `pfnPassedLink` (when not null) with `pContext`
// for each link to a folder it passes over; same arguments and results.
// Example: with src holding loop -> .., kxuCopyDirectoryReportingLinks("src",
// "dst", 1, nullptr, nullptr, 0, report, nullptr) == 1, and report is called
// once with "loop".
KXU_API int kxuCopyDirectoryReportingLinks(const char* lpcszSrcDir, const char* lpcszDestDir,
                                           int bSubfolders, CZQVStringArray* psaSkipFolders,
                                           CZQVStringArray* psaSkipFiles, int bNested,
                                           KXU_PASSED_LINK_PROC pfnPassedLink, void* pContext);

// Receives what a copy could not copy: a file (its path) or a subfolder
// whose destination could not be made or whose source could not be
// searched (its path ending in a backslash). Paths are UTF-8, relative to the
// source, names joined by backslashes ("sub\\a.txt"), valid during the call
// only; `nError` is the system's error for it (win_error.h: ERROR_FILE_EXISTS
// for an existing file the copy may not overwrite), `pContext` the one handed
// to the copy.
typedef void (*KXU_NOT_COPIED_PROC)(const char* lpcszPath, unsigned int nError, void* pContext);

// kxuCopyDirectoryReportingLinks, calling also `pfnNotCopied` (when not null)
// with `pContext` for each file and subfolder it could not copy, at any
// depth, so that a caller learns of every failure without searching the
// folders itself; same arguments and results otherwise. A failure of the
// source or destination given is told by the result alone.
// Example: with src holding a.txt and dst holding a.txt already,
// kxuCopyDirectoryReportingFailures("src", "dst", 1, nullptr, nullptr, 0,
// nullptr, report, nullptr) == 0, and report is called once with "a.txt" and
// ERROR_FILE_EXISTS.
KXU_API int kxuCopyDirectoryReportingFailures(const char* lpcszSrcDir, const char* lpcszDestDir,
                                              int bSubfolders, CZQVStringArray* psaSkipFolders,
                                              CZQVStringArray* psaSkipFiles, int bNested,
                                              KXU_PASSED_LINK_PROC pfnPassedLink,
                                              KXU_NOT_COPIED_PROC pfnNotCopied, void* pContext);

// Deletes every file directly in the folder `lpcszDir` whose name matches the
// wildcard pattern `lpcszPattern` ('*' any run, '?' one character, letters in
// either case; "*.*" every name; null means "*.*"), except the names listed
// in `psaSkipFiles`. Subfolders and their content are never touched. Hidden
// files are deleted; read-only files cannot be and are passed over, as are
// files whose deletion the system refuses.
// Returns the number of files deleted (0 when the pattern matches nothing);
// -1 when the folder does not exist (also for a null or empty `lpcszDir`);
// -2 when the folder cannot be searched (no permission); -3 when the system
// stopped listing the folder before its end (what was deleted stays deleted).
// Example: in a folder holding a.txt, b.txt and c.log,
// kxuDelFiles(dir, "*.txt", nullptr) == 2 and leaves c.log.
KXU_API int kxuDelFiles(const char* lpcszDir, const char* lpcszPattern,
                        CZQVStringArray* psaSkipFiles);

// The script's kxuCopyDirectory: each host object, when not null, is replaced
// by its string array (the folder list first, then the file list), a null one
// by a null list; returns kxuCopyDirectory's result.
// Example: kxu_copy_directory("src", "dst", 0, nullptr, nullptr, 0) copies
// the files of src as kxuCopyDirectory does.
KXU_API int kxu_copy_directory(const char* lpcszSrcDir, const char* lpcszDestDir, int bSubfolders,
                               HostObject* pSkipFolders, HostObject* pSkipFiles, int bNested);

// The script's kxuDelFiles: the host object, when not null, is replaced by
// its string array, a null one by a null list; returns kxuDelFiles' result.
// Example: kxu_delete_files(dir, nullptr, nullptr) deletes every file of dir.
KXU_API int kxu_delete_files(const char* lpcszDir, const char* lpcszPattern,
                             HostObject* pSkipFiles);

}  // extern "C"
