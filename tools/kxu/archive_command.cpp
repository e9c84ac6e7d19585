#include "archive_command.h"

#include <kxutils96/kxutils96.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace kxu::tool {
namespace {

constexpr const char* kUsage =
    "usage: kxu archive list FILE\n"
    "       kxu archive store FILE TEXT...\n"
    "Lists or writes an array of UTF-8 strings in the archive format host modules\n"
    "exchange. Example: kxu archive store names.kxa alpha beta && kxu archive list names.kxa\n";

// The file name as the framework's file classes take it (UTF-16).
CString WidePath(const char* path) {
  CString wide;
  zqUTF8toUTF16(wide, path, -1);
  return wide;
}

int ReportFileError(const char* path, CException* e) {
  auto* file_error = dynamic_cast<CFileException*>(e);
  auto* archive_error = dynamic_cast<CArchiveException*>(e);
  if (file_error != nullptr) {
    std::fprintf(stderr, "kxu: cannot open %s (%s)\n", path,
                 std::strerror(static_cast<int>(file_error->m_lOsError)));
  } else if (archive_error != nullptr && archive_error->m_cause == CArchiveException::endOfFile) {
    std::fprintf(stderr, "kxu: %s ends before the array does\n", path);
  } else {
    std::fprintf(stderr, "kxu: %s is not a string array archive\n", path);
  }
  e->Delete();
  return 1;
}

int List(const char* path) {
  try {
    CFile file(WidePath(path), CFile::modeRead | CFile::shareDenyWrite);
    CArchive ar(&file, CArchive::load);
    CZQVStringArray array;
    array.Serialize(ar);
    for (int i = 0; i < array.GetSize(); ++i)
      std::printf("%d\t%s\n", i, static_cast<const char*>(array[i]));
  } catch (CException* e) {
    return ReportFileError(path, e);
  }
  return 0;
}

int Store(const char* path, int count, char** texts) {
  CZQVStringArray array;
  for (int i = 0; i < count; ++i) array.Add(texts[i]);
  try {
    CFile file(WidePath(path), CFile::modeCreate | CFile::modeWrite);
    CArchive ar(&file, CArchive::store);
    array.Serialize(ar);
    ar.Close();
    file.Close();
  } catch (CException* e) {
    return ReportFileError(path, e);
  }
  return 0;
}

}  // namespace

int RunArchiveCommand(int argc, char** argv) {
  if (argc >= 1 && (std::strcmp(argv[0], "--help") == 0 || std::strcmp(argv[0], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[0], "list") == 0) return List(argv[1]);
  if (argc >= 2 && std::strcmp(argv[0], "store") == 0) return Store(argv[1], argc - 2, argv + 2);
  std::fputs(argc == 0 ? "kxu archive: missing action (list or store)\n"
                       : "kxu archive: unknown action or wrong arguments\n",
             stderr);
  std::fputs(kUsage, stderr);
  return 2;
}

}  // namespace kxu::tool
