#include "directory_commands.h"

#include <kxutils96/kxutils96.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "text_io.h"

namespace kxu::tool {
namespace {

CZQVStringArray ArrayOf(const std::vector<std::string>& texts) {
  CZQVStringArray array;
  for (const std::string& text : texts) array.Add(text.c_str());
  return array;
}

// Says on stderr that the copy of `source` passed over the link to a folder
// at `link` (relative to `source`, backslashes between names).
void ReportPassedLink(const std::string& source, std::string link) {
  std::replace(link.begin(), link.end(), '\\', '/');
  EraseProgressLine();
  std::fprintf(stderr,
               "kxu: passed over '%s/%s': a link to a folder outside '%s' or to one holding it\n",
               source.c_str(), link.c_str(), source.c_str());
}

// `name` in the folder `folder`, as the user would write it.
std::string InFolder(const std::string& folder, const std::string& name) {
  const bool endsInSeparator = !folder.empty() && (folder.back() == '/' || folder.back() == '\\');
  return folder + (endsInSeparator ? "" : "/") + name;
}

struct CopyOptions {
  std::string source, destination;
  bool subfolders = false, nested = false;
  std::vector<std::string> skipFolders, skipFiles;
};

// True when `name` is one of `list`, letter case aside (and, for folders,
// the entries' trailing separators), as the copy compares them.
bool Listed(const std::vector<std::string>& list, const std::string& name, bool folders) {
  return std::any_of(list.begin(), list.end(), [&](std::string entry) {
    while (folders && !entry.empty() && (entry.back() == '\\' || entry.back() == '/'))
      entry.pop_back();
    return CStringUTF8(entry.c_str()).CompareNoCase(name.c_str()) == 0;
  });
}

// A file of the source that the copy makes in the destination.
struct CopiedFile {
  std::string source, destination;              // UTF-8, as the user wrote the folders
  std::string sourceFolder, destinationFolder;  // the folders that hold them
  std::string name;                             // the name of both
};

// The names of the files (not folders) directly in the folder `directory`.
std::vector<std::string> FileNames(const std::string& directory) {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(FsPath(directory), ignored)) {
    if (entry.is_directory(ignored)) continue;
    const std::u8string name = entry.path().filename().u8string();
    names.emplace_back(name.begin(), name.end());
  }
  return names;
}

// The files that the copy of `options` makes, folder by folder in the order
// the system lists them, a folder's files before its subfolders'. Hidden and
// skipped names are left out, and so are links to folders, which the copy
// reports itself. A subfolder that cannot be listed is said on stderr and
// `listed` set to false. The destination is never walked, even inside the
// source.
std::vector<CopiedFile> FilesToCopy(const CopyOptions& options, bool& listed) {
  std::vector<CopiedFile> files;
  std::vector<std::pair<std::string, std::string>> pending = {
      {options.source, options.destination}};
  std::error_code ignored;
  while (!pending.empty()) {
    const auto [source, destination] = pending.back();
    pending.pop_back();
    std::vector<std::pair<std::string, std::string>> subfolders;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(FsPath(source), error)) {
      const std::u8string name8 = entry.path().filename().u8string();
      const std::string name(name8.begin(), name8.end());
      if (name.starts_with('.') || name.find('\\') != std::string::npos) continue;
      const std::string from = InFolder(source, name), to = InFolder(destination, name);
      if (entry.is_symlink(ignored) && entry.is_directory(ignored)) continue;
      if (!entry.is_directory(ignored)) {
        if (!Listed(options.skipFiles, name, false))
          files.push_back({from, to, source, destination, name});
      } else if (options.subfolders && !Listed(options.skipFolders, name, true) &&
                 !std::filesystem::equivalent(entry.path(), FsPath(options.destination), ignored)) {
        subfolders.emplace_back(from, to);
      }
    }
    if (error && source != options.source) {
      FileFailed("read", source, error.message());
      listed = false;
    }
    pending.insert(pending.end(), subfolders.rbegin(), subfolders.rend());
  }
  return files;
}

// Whether the copy made a file: whether a file of its name is where it goes.
// Each destination folder is listed once, where asking the system about each
// file cost two calls a file (as much as the copy's own calls on small files).
class MadeFiles {
 public:
  bool Made(const CopiedFile& file) {
    auto [folder, bNew] = m_names.try_emplace(file.destinationFolder);
    if (bNew) {
      for (std::string& name : FileNames(file.destinationFolder))
        folder->second.insert(std::move(name));
    }
    return folder->second.contains(file.name);
  }

 private:
  std::map<std::string, std::set<std::string>> m_names;
};

// Why `file` was not copied, in words.
std::string CopyFailure(const CopiedFile& file) {
  std::error_code ignored;
  if (!std::filesystem::is_directory(FsPath(file.destinationFolder), ignored))
    return "the folder '" + file.destinationFolder + "' could not be made";
  std::string reason = UnreachableReason(file.source);
  if (!reason.empty()) return reason;
  errno = 0;
  if (!std::ifstream(FsPath(file.source), std::ios::binary)) return LastSystemError();
  return "'" + file.destination + "' could not be written";
}

// Names each of `files` that the copy did not make, and why, on stderr;
// returns kExitFailed when there is one, else `exit_code`. The copy of a
// folder ends at its first failure: the folder's files after it are named
// as passed over.
int ReportNotCopied(const std::vector<CopiedFile>& files, int exitCode) {
  const CopiedFile* stop = nullptr;
  MadeFiles made;
  for (const CopiedFile& file : files) {
    if (made.Made(file)) continue;
    if (stop != nullptr && stop->sourceFolder == file.sourceFolder) {
      FileFailed("copy", file.source, "the copy of its folder stopped at '" + stop->source + "'");
    } else {
      FileFailed("copy", file.source, CopyFailure(file));
      stop = &file;
    }
    exitCode = kExitFailed;
  }
  return exitCode;
}

// What the copy reported it could not copy: whether anything, and the path
// reported last (relative to the source, backslashes between names).
struct NotCopied {
  bool any = false;
  std::string last;
};

// Says why a copy that the library ended with a failure stopped: the
// source or the destination out of reach, or the file of the top level that
// the copy reported last (`notCopied`), which stops it: one that is there
// already (and not to be overwritten) or that could not be copied.
int CopyStopped(const CopyOptions& options, const NotCopied& notCopied) {
  const std::string reason = UnreachableReason(options.source);
  std::error_code ignored;
  if (!reason.empty()) return FileFailed("read", options.source, reason);
  if (!std::filesystem::is_directory(FsPath(options.source), ignored))
    return FileFailed("read", options.source, "it is not a folder");
  if (!std::filesystem::is_directory(FsPath(options.destination), ignored))
    return FileFailed("make", options.destination,
                      "its parent folder is missing, or the system refused");
  const std::string& name = notCopied.last;
  if (!notCopied.any || name.find('\\') != std::string::npos)
    return Failed("the copy stopped at a file that the folder no longer shows");
  const CopiedFile file{InFolder(options.source, name), InFolder(options.destination, name),
                        options.source, options.destination, name};
  if (!options.nested && std::filesystem::exists(FsPath(file.destination), ignored))
    return Failed("stopped at '" + file.source + "': '" + file.destination +
                  "' is there already (--nested overwrites it)");
  return FileFailed("copy", file.source, CopyFailure(file));
}

void AddCopyDir(CommandLine& commands) {
  auto options = std::make_shared<CopyOptions>();
  CLI::App* command = commands.Add(
      "copy-dir",
      "Copy the files of a folder, with -r its subfolders too, leaving out hidden "
      "entries and the names given to --skip-folder and --skip-file. A link to a file is "
      "copied as the file; a link to a folder only when that folder is copied too (once more, "
      "where the link stands), never one outside SRC or holding the link: such a link is "
      "passed over, said on stderr. A file directly in SRC that is in DST already stops the "
      "copy (unless --nested); every file that could not be copied, and the one that stopped "
      "the copy, is named on stderr, and the exit is 1.",
      "kxu copy-dir project backup -r --skip-folder build --skip-file notes.txt", [options] {
        CZQVStringArray skipFolders = ArrayOf(options->skipFolders);
        CZQVStringArray skipFiles = ArrayOf(options->skipFiles);
        struct Reports {
          const std::string& source;
          NotCopied notCopied;
        } reports{options->source, {}};
        const auto passedLink = [](const char* link, void* context) {
          ReportPassedLink(static_cast<Reports*>(context)->source, link);
        };
        const auto notCopied = [](const char* path, unsigned int, void* context) {
          static_cast<Reports*>(context)->notCopied = {true, path};
        };
        const int result = kxuCopyDirectoryReportingFailures(
            options->source.c_str(), options->destination.c_str(), options->subfolders ? 1 : 0,
            &skipFolders, &skipFiles, options->nested ? 1 : 0, passedLink, notCopied, &reports);
        if (result != kxu::files::kDirectoryDone) return CopyStopped(*options, reports.notCopied);
        if (!reports.notCopied.any) return kExitDone;
        // Only a copy that missed something is searched again, to name it all.
        bool listed = true;
        return ReportNotCopied(FilesToCopy(*options, listed), listed ? kExitDone : kExitFailed);
      });
  command->add_option("SRC", options->source, "the folder to copy")->required();
  command->add_option("DST", options->destination, "the folder to copy into")->required();
  command->add_flag("-r,--recursive", options->subfolders, "copy the subfolders too");
  command->add_flag("--nested", options->nested,
                    "overwrite files at the top of DST too (else an existing one stops the copy)");
  command->add_option("--skip-folder", options->skipFolders, "a folder name not to copy");
  command->add_option("--skip-file", options->skipFiles, "a file name not to copy");
}

// Those of `names` that kxuDelFiles takes for `pattern` and `skip`: asked
// of the library itself, in a private folder holding an empty file of each
// name, so that no second reading of the patterns can disagree with its own.
std::vector<std::string> NamesTaken(const std::vector<std::string>& names,
                                    const std::string& pattern, CZQVStringArray& skip) {
  const PrivateFolder probe;
  if (!probe) return names;
  for (const std::string& name : names) WriteOutput(probe.File(name), "");
  kxuDelFiles(probe.File("").c_str(), pattern.c_str(), &skip);
  std::vector<std::string> taken;
  std::error_code ignored;
  for (const std::string& name : names) {
    if (!std::filesystem::exists(FsPath(probe.File(name)), ignored)) taken.push_back(name);
  }
  return taken;
}

// Why the file `path` that the delete passed over is still there.
std::string KeptReason(const std::string& path) {
  using std::filesystem::perms;
  std::error_code error;
  const perms mode = std::filesystem::status(FsPath(path), error).permissions();
  if (!error &&
      (mode & (perms::owner_write | perms::group_write | perms::others_write)) == perms::none)
    return "it is read-only";
  return "the system refused (the folder may not let this user delete)";
}

void AddDeleteFiles(CommandLine& commands) {
  struct Options {
    std::string directory, pattern = "*.*";
    std::vector<std::string> skip;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "delete-files",
      "Delete the files directly in DIR whose names match PATTERN (* any run of characters, "
      "? one, any letter case), except the names given to --skip; prints how many were "
      "deleted. The default pattern *.* matches every name, with or without a dot. Read-only "
      "files are kept. Each matching file that is still there afterwards is named on stderr, "
      "and the exit is 1.",
      "kxu delete-files build/logs '*.log' --skip keep.log", [options] {
        CZQVStringArray skip = ArrayOf(options->skip);
        const int deleted =
            kxuDelFiles(options->directory.c_str(), options->pattern.c_str(), &skip);
        if (deleted < 0) {
          const std::string reason = UnreachableReason(options->directory);
          return FileFailed("list", options->directory,
                            reason.empty() ? "the listing stopped" : reason);
        }
        PrintLine(std::to_string(deleted));
        int exitCode = kExitDone;
        for (const std::string& name :
             NamesTaken(FileNames(options->directory), options->pattern, skip)) {
          const std::string path = InFolder(options->directory, name);
          exitCode = FileFailed("delete", path, KeptReason(path));
        }
        return exitCode;
      });
  command->add_option("DIR", options->directory, "the folder")->required();
  command->add_option("PATTERN", options->pattern, "the names to delete; default *.*, every name");
  command->add_option("--skip", options->skip, "a file name not to delete");
}

// Paths without a backslash are written with '/': they are handed to the
// library with '\\', the only separator it knows, and the result comes back
// with '/'.
bool UsesSlashes(const std::string& base, const std::string& path) {
  return base.find('\\') == std::string::npos && path.find('\\') == std::string::npos;
}

std::string WithSeparator(std::string text, char from, char to) {
  std::replace(text.begin(), text.end(), from, to);
  return text;
}

// The '/' path `text` made absolute against the current folder, "." and
// ".." taken out and '/' repeated once, ending in '/' as a folder, with '\\'
// for the library. A path from the root starts with "R:" instead, a stand-in
// for the root that the library takes for a shared folder.
std::string LibraryFolder(const std::string& text) {
  std::filesystem::path path = FsPath(text);
  if (!path.has_root_directory()) path = std::filesystem::current_path() / path;
  const std::u8string normal = (path.lexically_normal() / "").generic_u8string();
  const std::string folder(normal.begin(), normal.end());
  return WithSeparator(folder.starts_with('/') ? "R:" + folder : folder, '/', '\\');
}

// The library's relative path between two LibraryFolder forms with '/', as
// `realpath --relative-to` writes it: no trailing '/', "." for the same folder.
std::string SlashResult(std::string relative) {
  if (!relative.empty() && relative.back() == '\\') relative.pop_back();
  return relative.empty() ? "." : WithSeparator(relative, '\\', '/');
}

const char* RelativePathFailure(int code) {
  switch (code) {
    case -1:
      return "the path has no folder";
    case -2:
      return "the base is empty or shares no folder with the path";
    default:
      return "the path climbs more levels than --max-levels allows";
  }
}

void AddRelPath(CommandLine& commands) {
  struct Options {
    std::string base, path;
    int maxLevels = 32;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "relpath",
      "Express PATH relative to the folder BASE, on the texts alone. With backslashes, a "
      "folder ends in one, else the file's folder is meant. Paths without backslashes "
      "are taken as a POSIX user writes them: relative ones from the current folder, . and .. "
      "taken out, BASE always a folder, and the result as `realpath -m --relative-to` gives "
      "it (links aside).",
      "kxu relpath /work/data/ /work/plots/a.png   # ../plots/a.png", [options] {
        const bool slashes = UsesSlashes(options->base, options->path);
        const std::string base = slashes ? LibraryFolder(options->base) : options->base;
        const std::string path = slashes ? LibraryFolder(options->path) : options->path;
        CStringUTF8 relative;
        const int result =
            kxu_make_relative_path(&relative, base.c_str(), path.c_str(), options->maxLevels);
        if (result != 0) return Failed(RelativePathFailure(result));
        const std::string text(View(relative));
        PrintLine(slashes ? SlashResult(text) : text);
        return kExitDone;
      });
  command->add_option("BASE", options->base, "the base folder")->required();
  command->add_option("PATH", options->path, "the path to express")->required();
  command->add_option("--max-levels", options->maxLevels,
                      "the most levels the result may climb with ..; default 32");
}

// A swatch of the colours as an SVG picture: 16 squares a row.
std::string PaletteSvg(const std::vector<int>& red, const std::vector<int>& green,
                       const std::vector<int>& blue, int count) {
  constexpr int kSide = 32;
  constexpr int kPerRow = 16;
  const int columns = std::min(count, kPerRow);
  const int rows = (count + kPerRow - 1) / kPerRow;
  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                    std::to_string(columns * kSide) + "\" height=\"" +
                    std::to_string(rows * kSide) + "\">\n";
  for (int i = 0; i < count; ++i) {
    const auto index = static_cast<size_t>(i);
    svg += "  <rect x=\"" + std::to_string(i % kPerRow * kSide) + "\" y=\"" +
           std::to_string(i / kPerRow * kSide) + "\" width=\"" + std::to_string(kSide) +
           "\" height=\"" + std::to_string(kSide) + "\" fill=\"rgb(" + std::to_string(red[index]) +
           "," + std::to_string(green[index]) + "," + std::to_string(blue[index]) + ")\"/>\n";
  }
  return svg + "</svg>\n";
}

void AddPalette(CommandLine& commands) {
  struct Options {
    std::string file, svg;
    int max = 256;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "palette",
      "Read the colours of a GIMP palette file; prints 'r g b' per colour, or "
      "writes a swatch picture with --svg.",
      "kxu palette Tango.gpl --max 16 --svg tango.svg", [options] {
        const auto room = static_cast<size_t>(std::max(options->max, 1));
        std::vector<int> red(room), green(room), blue(room);
        const InputFile file(options->file);
        if (!file) return kExitFailed;
        const int count = kxu_read_GIMP_palette(file.Path().c_str(), red.data(), green.data(),
                                                blue.data(), options->max);
        if (count == -1)
          return FileFailed("open", options->file, "the palette reader could not open it");
        if (count < 0) return Failed("'" + options->file + "' is not a GIMP palette");
        if (!options->svg.empty())
          return WriteOutput(options->svg, PaletteSvg(red, green, blue, count)) ? kExitDone
                                                                                : kExitFailed;
        for (size_t i = 0; i < static_cast<size_t>(count); ++i)
          PrintLine(std::to_string(red[i]) + " " + std::to_string(green[i]) + " " +
                    std::to_string(blue[i]));
        return kExitDone;
      });
  command->add_option("FILE", options->file, "the palette file, or - for stdin")->required();
  command->add_option("--max", options->max, "read at most N colours; default 256")
      ->check(AtLeast(0));
  command->add_option("--svg", options->svg,
                      "write the colours as an SVG swatch to OUT (- for stdout)");
}

}  // namespace

void AddDirectoryCommands(CommandLine& commands) {
  AddCopyDir(commands);
  AddDeleteFiles(commands);
  AddRelPath(commands);
  AddPalette(commands);
}

}  // namespace kxu::tool
