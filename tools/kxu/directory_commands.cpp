#include "directory_commands.h"

#include <kxutils96/kxutils96.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
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
  std::fprintf(stderr,
               "kxu: passed over '%s/%s': a link to a folder outside '%s' or to one holding it\n",
               source.c_str(), link.c_str(), source.c_str());
}

void AddCopyDir(CommandLine& commands) {
  struct Options {
    std::string source, destination;
    bool subfolders = false, nested = false;
    std::vector<std::string> skip_folders, skip_files;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "copy-dir",
      "Copy the files of a folder, with -r its subfolders too, leaving out hidden "
      "entries and the names given to --skip-folder and --skip-file. A link to a file is "
      "copied as the file; a link to a folder only when that folder is copied too (once more, "
      "where the link stands), never one outside SRC or holding the link: such a link is "
      "passed over, said on stderr.",
      "kxu copy-dir project backup -r --skip-folder build --skip-file notes.txt", [options] {
        CZQVStringArray skip_folders = ArrayOf(options->skip_folders);
        CZQVStringArray skip_files = ArrayOf(options->skip_files);
        const ProgressLine progress("copying " + options->source);
        const auto report = [](const char* link, void* source) {
          ReportPassedLink(*static_cast<const std::string*>(source), link);
        };
        const int result = kxuCopyDirectoryReportingLinks(
            options->source.c_str(), options->destination.c_str(), options->subfolders ? 1 : 0,
            &skip_folders, &skip_files, options->nested ? 1 : 0, report, &options->source);
        return result == 1
                   ? kExitDone
                   : Failed("'" + options->source + "' cannot be read, '" + options->destination +
                            "' cannot be made, or a file could not be copied");
      });
  command->add_option("SRC", options->source, "the folder to copy")->required();
  command->add_option("DST", options->destination, "the folder to copy into")->required();
  command->add_flag("-r,--recursive", options->subfolders, "copy the subfolders too");
  command->add_flag("--nested", options->nested,
                    "overwrite files at the top of DST too (else an existing one stops the copy)");
  command->add_option("--skip-folder", options->skip_folders, "a folder name not to copy");
  command->add_option("--skip-file", options->skip_files, "a file name not to copy");
}

void AddDeleteFiles(CommandLine& commands) {
  struct Options {
    std::string directory, pattern = "*.*";
    std::vector<std::string> skip;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command =
      commands.Add("delete-files",
                   "Delete the files directly in DIR whose names match PATTERN (* and ?, "
                   "any letter case; default *.*), except the names given to --skip; prints "
                   "how many were deleted.",
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
                     return kExitDone;
                   });
  command->add_option("DIR", options->directory, "the folder")->required();
  command->add_option("PATTERN", options->pattern, "the names to delete");
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
    int max_levels = 32;
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
            kxu_make_relative_path(&relative, base.c_str(), path.c_str(), options->max_levels);
        if (result != 0) return Failed(RelativePathFailure(result));
        const std::string text(View(relative));
        PrintLine(slashes ? SlashResult(text) : text);
        return kExitDone;
      });
  command->add_option("BASE", options->base, "the base folder")->required();
  command->add_option("PATH", options->path, "the path to express")->required();
  command->add_option("--max-levels", options->max_levels,
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
        const int count = kxu_read_GIMP_palette(file.path().c_str(), red.data(), green.data(),
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
      ->check(CLI::NonNegativeNumber);
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
