#include "archive_command.h"

#include <kxutils96/kxutils96.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "text_io.h"

namespace kxu::tool {
namespace {

// The file name as the framework's file classes take it (UTF-16).
CString WidePath(const char* path) {
  CString wide;
  zqUTF8toUTF16(wide, path, -1);
  return wide;
}

int ReportFileError(const std::string& name, CException* e) {
  auto* fileError = dynamic_cast<CFileException*>(e);
  auto* archiveError = dynamic_cast<CArchiveException*>(e);
  if (fileError != nullptr) {
    FileFailed("open", name, std::strerror(static_cast<int>(fileError->m_lOsError)));
  } else if (archiveError != nullptr && archiveError->m_cause == CArchiveException::endOfFile) {
    Failed("'" + name + "' ends before the array does");
  } else {
    Failed("'" + name + "' is not a string array archive");
  }
  e->Delete();
  return kExitFailed;
}

int List(const std::string& name) {
  const InputFile input(name);
  if (!input) return kExitFailed;
  try {
    CFile file(WidePath(input.Path().c_str()), CFile::modeRead | CFile::shareDenyWrite);
    CArchive ar(&file, CArchive::load);
    CZQVStringArray array;
    array.Serialize(ar);
    for (int i = 0; i < array.GetSize(); ++i)
      PrintLine(std::to_string(i) + "\t" + array[i].GetString());
  } catch (CException* e) {
    return ReportFileError(name, e);
  }
  return kExitDone;
}

// Serialises the array in memory and writes the bytes through the checked
// output, so that "-" is stdout and a failed write is seen.
int Store(const std::string& name, const std::vector<std::string>& texts) {
  CZQVStringArray array;
  for (const std::string& text : texts) array.Add(text.c_str());
  CMemFile file;
  CArchive ar(&file, CArchive::store);
  array.Serialize(ar);
  ar.Close();
  std::string bytes(static_cast<size_t>(file.GetLength()), '\0');
  file.SeekToBegin();
  file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
  return WriteOutput(name, bytes) ? kExitDone : kExitFailed;
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
                                  [options] { return List(options->file); });
  list->add_option("FILE", options->file, "the archive file, or - for stdin")->required();
  CLI::App* store = commands.AddTo(archive, "store", "write the texts as one array",
                                   [options] { return Store(options->file, options->texts); });
  store->add_option("FILE", options->file, "the archive file, or - for stdout")->required();
  store->add_option("TEXT", options->texts, "the strings");
}

}  // namespace kxu::tool
