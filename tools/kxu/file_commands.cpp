#include "file_commands.h"

#include <kxutils96/kxutils96.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "text_io.h"

namespace kxu::tool {
namespace {

// The encodings `kxu convert` names besides numbered code pages.
constexpr int kUtf8 = 65001;
constexpr int kUtf16Le = 1200;
constexpr int kUtf16Be = 1201;

const std::map<std::string, int>& EncodingNames() {
  static const std::map<std::string, int> names = {{"utf-8", kUtf8},
                                                   {"utf8", kUtf8},
                                                   {"utf-16", kUtf16Le},
                                                   {"utf-16le", kUtf16Le},
                                                   {"utf-16be", kUtf16Be}};
  return names;
}

// UTF-16 units from bytes in either byte order; an odd last byte is dropped.
CString Utf16FromBytes(std::string_view bytes, bool big_endian) {
  CString text;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    text += static_cast<WCHAR>(big_endian ? (first << 8) | second : (second << 8) | first);
  }
  return text;
}

std::string BytesFromUtf16(const CString& text, bool big_endian) {
  std::string bytes;
  for (int i = 0; i < text.GetLength(); ++i) {
    const auto unit = static_cast<unsigned>(text[i]);
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += big_endian ? high : low;
    bytes += big_endian ? low : high;
  }
  return bytes;
}

// The library's conversions end a text at its first NUL, while a file may
// hold NULs anywhere: calls `convert` on each stretch of `text` between
// NULs and `keep_nul` for each NUL. False as soon as a stretch fails.
template <class Unit, class Convert, class KeepNul>
bool ConvertBetweenNuls(std::basic_string_view<Unit> text, Convert convert, KeepNul keep_nul) {
  for (;;) {
    const size_t end = std::min(text.find(Unit{}), text.size());
    if (!convert(text.substr(0, end))) return false;
    if (end == text.size()) return true;
    keep_nul();
    text.remove_prefix(end + 1);
  }
}

// `bytes` in encoding `from` as UTF-16; false for a code page not served.
bool DecodeToUtf16(std::string_view bytes, int from, CString& text) {
  if (from == kUtf16Le || from == kUtf16Be) {
    text = Utf16FromBytes(bytes, from == kUtf16Be);
    return true;
  }
  text.Empty();
  return ConvertBetweenNuls(
      bytes,
      [&](std::string_view stretch) {
        CString decoded;
        const int length =
            zqMBCStoUTF16(decoded, stretch.data(), from, static_cast<int>(stretch.size()));
        text += decoded;
        return length > 0 || stretch.empty();
      },
      [&] { text.AppendChar(0); });
}

// `text` in encoding `to`; false for a code page not served.
bool EncodeFromUtf16(const CString& text, int to, std::string& bytes) {
  if (to == kUtf16Le || to == kUtf16Be) {
    bytes = BytesFromUtf16(text, to == kUtf16Be);
    return true;
  }
  bytes.clear();
  return ConvertBetweenNuls(
      std::basic_string_view<WCHAR>(text.GetString(), static_cast<size_t>(text.GetLength())),
      [&](std::basic_string_view<WCHAR> stretch) {
        CStringA encoded;
        const int length = zqUTF16toMBCS(encoded, stretch.data(), to,
                                         static_cast<int>(stretch.size()), nullptr, 0);
        bytes.append(encoded.GetString(), static_cast<size_t>(encoded.GetLength()));
        return length > 0 || stretch.empty();
      },
      [&] { bytes += '\0'; });
}

std::string StdinOrFileBytes(const std::string& source) {
  if (source == "-") return *ReadText("-");
  std::string bytes;
  if (std::FILE* file = std::fopen(source.c_str(), "rb")) {
    char buffer[1 << 16];
    size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, read);
    std::fclose(file);
  }
  return bytes;
}

void AddConvert(CommandLine& commands) {
  struct Options {
    int from = kUtf8, to = kUtf8;
    std::string source;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "convert",
      "Convert text between UTF-8, UTF-16LE, UTF-16BE and code pages (by number, "
      "e.g. 1252, 932, 936).",
      "printf 'caf\\xe9' | kxu convert --from 1252 --to utf-8 -", [options] {
        const std::string bytes = StdinOrFileBytes(options->source);
        CString text;
        std::string converted;
        if (!DecodeToUtf16(bytes, options->from, text))
          return Failed("code page " + std::to_string(options->from) + " is not served", 0);
        if (!EncodeFromUtf16(text, options->to, converted))
          return Failed("code page " + std::to_string(options->to) + " is not served", 0);
        Print(converted);
        return kExitDone;
      });
  const auto encoding = CLI::Transformer(EncodingNames(), CLI::ignore_case);
  command->add_option("--from", options->from, "the input's encoding; default utf-8")
      ->transform(encoding);
  command->add_option("--to", options->to, "the output's encoding; default utf-8")
      ->transform(encoding);
  command->add_option("FILE", options->source, "the file, or - for stdin")
      ->required()
      ->check(CLI::ExistingFile | CLI::IsMember({"-"}));
}

void AddRead(CommandLine& commands) {
  struct Options {
    std::string file;
    bool no_guess = false;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "read",
      "Print a text file of any encoding (UTF-8, UTF-16 of either byte order, the "
      "host's code page) as UTF-8.",
      "kxu read notes-utf16.txt", [options] {
        CStringUTF8 text;
        const ProgressLine progress("reading " + options->file);
        if (kxu_read_text_file(options->file.c_str(), &text, options->no_guess ? 1 : 0) == 0)
          return Failed("cannot open " + options->file, 0);
        Print(View(text));
        return kExitDone;
      });
  command->add_option("FILE", options->file, "the file")->required();
  command->add_flag("--no-utf16-guess", options->no_guess,
                    "without a byte-order mark, never take the file for UTF-16");
}

void AddLines(CommandLine& commands) {
  struct Options {
    std::string file;
    bool trim = false, skip_empty = false;
    int limit = 0;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "lines", "Print the lines of a text file of any encoding, as the line reader gives them.",
      "kxu lines data.txt --trim --skip-empty --limit 10", [options] {
        unsigned int flags = (options->trim ? READLINES_TRIM : 0u) |
                             (options->skip_empty ? READLINES_SKIP_EMPTY : 0u);
        if (options->limit > 0) {
          kxuReadTextFileLines(options->file.c_str(), nullptr,
                               static_cast<unsigned int>(options->limit));
          flags |= READLINES_LIMIT;
        }
        CZQVStringArray lines;
        const int count = kxuReadTextFileLines(options->file.c_str(), &lines, flags);
        if (count < 0) return Failed("cannot open " + options->file, count);
        PrintLines(lines);
        return kExitDone;
      });
  command->add_option("FILE", options->file, "the file")->required();
  command->add_flag("--trim", options->trim, "remove white space at both ends of each line");
  command->add_flag("--skip-empty", options->skip_empty, "leave out empty lines");
  command->add_option("--limit", options->limit, "stop after N lines")->check(CLI::PositiveNumber);
}

void AddWrite(CommandLine& commands) {
  auto file = std::make_shared<std::string>();
  CLI::App* command =
      commands.Add("write", "Write stdin into FILE as UTF-8, replacing its content.",
                   "echo hello | kxu write hello.txt", [file] {
                     const std::string text = *ReadText("-");
                     if (!kxuWriteToFile(file->c_str(), text.c_str()))
                       return Failed("cannot write " + *file, 0);
                     return kExitDone;
                   });
  command->add_option("FILE", *file, "the file to write")->required();
}

}  // namespace

void AddFileCommands(CommandLine& commands) {
  AddConvert(commands);
  AddRead(commands);
  AddLines(commands);
  AddWrite(commands);
}

}  // namespace kxu::tool
