#include "file_commands.h"

#include <kxutils96/kxutils96.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "text_io.h"

namespace kxu::tool {
namespace {

// The encodings `kxu convert` serves itself besides the library's code pages.
constexpr int kUtf8 = 65001;
constexpr int kUtf16Le = 1200;
constexpr int kUtf16Be = 1201;
constexpr int kLatin1 = 28591;
constexpr int kWindows1252 = 1252;

// The common names of encodings, lower case. A page is also named by its
// number, alone or after "cp", "ibm" or "windows-".
struct EncodingName {
  std::string_view name;
  int page;
};
constexpr EncodingName kEncodingNames[] = {
    {"utf-8", kUtf8},       {"utf8", kUtf8},     {"utf-16", kUtf16Le},   {"utf-16le", kUtf16Le},
    {"utf-16be", kUtf16Be}, {"ascii", 20127},    {"us-ascii", 20127},    {"shift_jis", 932},
    {"sjis", 932},          {"gbk", 936},        {"gb2312", 936},        {"euc-kr", 949},
    {"big5", 950},          {"latin1", kLatin1}, {"iso-8859-1", kLatin1}};

// The pages --list looks for among those the library may serve.
constexpr int kKnownPages[] = {437,   737,   775,   850,   852,   855,   857,      866,
                               874,   932,   936,   949,   950,   1250,  1251,     1252,
                               1253,  1254,  1255,  1256,  1257,  1258,  20127,    20866,
                               28591, 28592, 28595, 28597, 28605, kUtf8, kUtf16Le, kUtf16Be};

bool IsServed(int page) {
  if (page == kUtf16Le || page == kUtf16Be) return true;
  CString text;
  return zqMBCStoUTF16(text, "a", page, 1) > 0;
}

// The page of Latin-1: its own where served, else windows-1252, which
// agrees with it outside 0x80..0x9F.
int Latin1Page() {
  return IsServed(kLatin1) ? kLatin1 : kWindows1252;
}

std::string Lowercase(std::string text) {
  for (char& ch : text) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return text;
}

// The page that `name` stands for, any letter case; nothing for a name not known.
std::optional<int> PageNamed(const std::string& name) {
  const std::string lower = Lowercase(name);
  for (const std::string_view prefix : {"", "cp", "ibm", "windows-"}) {
    if (!lower.starts_with(prefix) || lower.size() == prefix.size()) continue;
    int page = 0;
    const char* end = lower.data() + lower.size();
    const auto [stop, error] = std::from_chars(lower.data() + prefix.size(), end, page);
    if (error == std::errc() && stop == end) return page;
  }
  for (const EncodingName& known : kEncodingNames) {
    if (known.name == lower) return known.page == kLatin1 ? Latin1Page() : known.page;
  }
  return std::nullopt;
}

// The names of `page` that PageNamed takes, "cp" form first.
std::string NamesOf(int page) {
  std::string names =
      page == kUtf8 || page == kUtf16Le || page == kUtf16Be ? "" : "cp" + std::to_string(page);
  if (page == 874 || (page >= 1250 && page <= 1258)) names += " windows-" + std::to_string(page);
  for (const EncodingName& known : kEncodingNames) {
    const int named = known.page == kLatin1 ? Latin1Page() : known.page;
    if (named == page) names += (names.empty() ? "" : " ") + std::string(known.name);
  }
  return names;
}

void PrintServedPages() {
  for (const int page : kKnownPages) {
    if (IsServed(page)) PrintLine(std::to_string(page) + "\t" + NamesOf(page));
  }
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

// `bytes` in encoding `from` as UTF-16; false when a conversion failed.
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
            zqMBCStoUTF16(decoded, stretch.data(), from, kxu::platform::CheckedInt(stretch.size()));
        text += decoded;
        return length > 0 || stretch.empty();
      },
      [&] { text.AppendChar(0); });
}

// `text` in encoding `to`; false when a conversion failed. `substituted`
// tells whether a character the page lacks became '?'.
bool EncodeFromUtf16(const CString& text, int to, std::string& bytes, bool& substituted) {
  substituted = false;
  if (to == kUtf16Le || to == kUtf16Be) {
    bytes = BytesFromUtf16(text, to == kUtf16Be);
    return true;
  }
  bytes.clear();
  return ConvertBetweenNuls(
      std::basic_string_view<WCHAR>(text.GetString(), static_cast<size_t>(text.GetLength())),
      [&](std::basic_string_view<WCHAR> stretch) {
        CStringA encoded;
        // UTF-8 takes no report and needs none. A code page must not fit a
        // near character in silently (Windows would write 'L' for U+0141).
        int used_default = FALSE;
        const bool to_page = to != kUtf8;
        const int length =
            zqUTF16toMBCS(encoded, stretch.data(), to, kxu::platform::CheckedInt(stretch.size()),
                          to_page ? &used_default : nullptr, to_page ? WC_NO_BEST_FIT_CHARS : 0);
        substituted = substituted || used_default != FALSE;
        bytes.append(encoded.GetString(), static_cast<size_t>(encoded.GetLength()));
        return length > 0 || stretch.empty();
      },
      [&] { bytes += '\0'; });
}

void AddConvert(CommandLine& commands) {
  struct Options {
    int from = kUtf8, to = kUtf8;
    std::string source = "-";
    bool lossy = false, list = false;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "convert",
      "Convert text between UTF-8, UTF-16LE, UTF-16BE and the code pages the library serves, "
      "named by number (1252, 932...) or common name (cp1252, windows-1252, latin1, shift_jis, "
      "utf-16le...; see --list). A character the target lacks stops the conversion unless "
      "--lossy is given.",
      "printf 'caf\\xe9' | kxu convert --from cp1252 --to utf-8", [options] {
        if (options->list) {
          PrintServedPages();
          return kExitDone;
        }
        for (const int page : {options->from, options->to}) {
          if (!IsServed(page))
            return Failed("code page " + std::to_string(page) + " is not served", 0);
        }
        const std::optional<std::string> bytes = ReadBytes(options->source);
        if (!bytes) return kExitFailed;
        CString text;
        std::string converted;
        bool substituted = false;
        // With both pages served, a conversion fails only for a text that
        // would not fit the library's strings.
        if (!DecodeToUtf16(*bytes, options->from, text) ||
            !EncodeFromUtf16(text, options->to, converted, substituted)) {
          return FileFailed("convert", options->source,
                            "its text would pass " + std::string(kLimitWords));
        }
        if (substituted && !options->lossy) {
          return FileFailed("convert", options->source,
                            "characters that page " + std::to_string(options->to) +
                                " lacks would become '?' (--lossy writes them so)");
        }
        Print(converted);
        return kExitDone;
      });
  const CLI::Validator encoding(
      [](std::string& value) {
        const std::optional<int> page = PageNamed(value);
        if (!page) return "unknown encoding " + value + " (see kxu convert --list)";
        value = std::to_string(*page);
        return std::string();
      },
      "ENCODING");
  command->add_option("--from", options->from, "the input's encoding; default utf-8")
      ->transform(encoding);
  command->add_option("--to", options->to, "the output's encoding; default utf-8")
      ->transform(encoding);
  command->add_flag("--lossy", options->lossy,
                    "write characters the target lacks as '?' rather than fail");
  command->add_flag("--list", options->list,
                    "print the encodings served: NUMBER<TAB>NAMES, one per line");
  command->add_option("FILE", options->source, "the file; default - (stdin)");
}

void AddRead(CommandLine& commands) {
  struct Options {
    std::string file = "-";
    bool no_guess = false;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "read",
      "Print a text file of any encoding (UTF-8, UTF-16 of either byte order, the "
      "host's code page) as UTF-8.",
      "kxu read notes-utf16.txt", [options] {
        const InputFile file(options->file);
        if (!file) return kExitFailed;
        CStringUTF8 text;
        const ProgressLine progress("reading " + options->file);
        if (kxu_read_text_file(file.path().c_str(), &text, options->no_guess ? 1 : 0) == 0)
          return FileFailed("open", options->file, "the text reader could not open it");
        Print(View(text));
        return kExitDone;
      });
  command->add_option("FILE", options->file, "the file; default - (stdin)");
  command->add_flag("--no-utf16-guess", options->no_guess,
                    "without a byte-order mark, never take the file for UTF-16");
}

void AddLines(CommandLine& commands) {
  struct Options {
    std::string file = "-";
    bool trim = false, skip_empty = false;
    int limit = 0;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "lines", "Print the lines of a text file of any encoding, as the line reader gives them.",
      "kxu lines data.txt --trim --skip-empty --limit 10", [options] {
        const InputFile file(options->file);
        if (!file) return kExitFailed;
        unsigned int flags = (options->trim ? READLINES_TRIM : 0u) |
                             (options->skip_empty ? READLINES_SKIP_EMPTY : 0u);
        if (options->limit > 0) {
          kxuReadTextFileLines(file.path().c_str(), nullptr,
                               static_cast<unsigned int>(options->limit));
          flags |= READLINES_LIMIT;
        }
        CZQVStringArray lines;
        const int count = kxuReadTextFileLines(file.path().c_str(), &lines, flags);
        if (count < 0)
          return FileFailed("open", options->file, "the line reader could not open it");
        PrintLines(lines);
        return kExitDone;
      });
  command->add_option("FILE", options->file, "the file; default - (stdin)");
  command->add_flag("--trim", options->trim, "remove white space at both ends of each line");
  command->add_flag("--skip-empty", options->skip_empty, "leave out empty lines");
  command->add_option("--limit", options->limit, "stop after N lines")->check(CLI::PositiveNumber);
}

void AddWrite(CommandLine& commands) {
  auto file = std::make_shared<std::string>();
  CLI::App* command =
      commands.Add("write",
                   "Write the text on stdin, of any encoding the reader recognises, into FILE "
                   "(- for stdout) as UTF-8, replacing its content.",
                   "echo hello | kxu write hello.txt", [file] {
                     const std::optional<std::string> text = ReadText("-");
                     if (!text) return kExitFailed;
                     return WriteOutput(*file, *text) ? kExitDone : kExitFailed;
                   });
  command->add_option("FILE", *file, "the file to write, or - for stdout")->required();
}

}  // namespace

void AddFileCommands(CommandLine& commands) {
  AddConvert(commands);
  AddRead(commands);
  AddLines(commands);
  AddWrite(commands);
}

}  // namespace kxu::tool
