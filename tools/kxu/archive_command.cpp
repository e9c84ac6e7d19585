#include "archive_command.h"

#include <kxutils96/kxutils96.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace kxu::tool {
namespace {

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

int Store(const char* path, const std::vector<std::string>& texts) {
  CZQVStringArray array;
  for (const std::string& text : texts) array.Add(text.c_str());
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

void AddArchiveCommands(CommandLine& commands) {
  struct Options {
    std::string file;
    std::vector<std::string> texts;
  };
  auto options = std::make_shared<Options>();
  CLI::App* archive = commands.AddGroup(
      "archive",
      "List or write an array of UTF-8 strings in the archive format host modules "
      "exchange.",
      "kxu archive store names.kxa alpha beta && kxu archive list names.kxa");
  CLI::App* list = commands.AddTo(archive, "list", "print each string as INDEX<TAB>TEXT",
                                  [options] { return List(options->file.c_str()); });
  list->add_option("FILE", options->file, "the archive file")->required();
  CLI::App* store = commands.AddTo(archive, "store", "write the texts as one array", [options] {
    return Store(options->file.c_str(), options->texts);
  });
  store->add_option("FILE", options->file, "the archive file")->required();
  store->add_option("TEXT", options->texts, "the strings");
}

}  // namespace kxu::tool
