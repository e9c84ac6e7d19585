#include "text_commands.h"

#include <kxutils96/kxutils96.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text_io.h"
#include "text_pieces.h"

namespace kxu::tool {
namespace {

// Runs `transform` on all the bytes of the file `source` ("-": stdin) and
// prints the result; for a filter whose work may span lines. `transform`
// returns an exit code.
int Transform(const std::string& source, const std::function<int(CStringUTF8&)>& transform) {
  const std::optional<std::string> input = ReadBytes(source);
  if (!input) return kExitFailed;
  CStringUTF8 text(input->data(), kxu::platform::CheckedInt(input->size()));
  const int exitCode = transform(text);
  if (exitCode == kExitDone) Print(View(text));
  return exitCode;
}

// Runs `transform` on the text of the file `source` ("-": stdin) piece by
// piece, each piece whole lines, and prints the results; for a filter that
// treats each line on its own. `transform` returns an exit code, and one
// that is not kExitDone stops.
int TransformPieces(const std::string& source, const std::function<int(CStringUTF8&)>& transform) {
  TextPieces pieces(source, Decoding{kRawBytes}, PieceEnd::kLine);
  return ForEachPiece(pieces, [&](std::string_view piece) {
    CStringUTF8 text(piece.data(), kxu::platform::CheckedInt(piece.size()));
    const int exitCode = transform(text);
    if (exitCode == kExitDone) Print(View(text));
    return exitCode;
  });
}

// Adds the last argument of a filter: the file to read, stdin when none.
void AddInputFile(CLI::App* command, std::string& source) {
  command->add_option("FILE", source, "the file to read; default - (stdin)");
}

// The characters after which kxu_wrap_text may break a line.
constexpr std::string_view kBreakCharacters = " \t,;:.!?-/)]}";

// `line` without the blanks and tabs at its end.
std::string_view WithoutTrailingBlanks(std::string_view line) {
  const size_t end = line.find_last_not_of(" \t");
  return line.substr(0, end == std::string_view::npos ? 0 : end + 1);
}

// Appends `text` to `lines` as kxu_wrap_text wraps it at `width` (no
// indent), each line but the last without the blanks it broke after. False
// when the library refuses.
bool AppendWrapped(std::string_view text, int width, std::vector<std::string>& lines) {
  if (text.empty()) return true;
  CStringUTF8 wrapped(text.data(), kxu::platform::CheckedInt(text.size()));
  if (kxu_wrap_text(&wrapped, width, 0) < 0) return false;
  const std::vector<std::string_view> parts = SplitLines(View(wrapped));
  for (size_t i = 0; i < parts.size(); ++i)
    lines.emplace_back(i + 1 < parts.size() ? WithoutTrailingBlanks(parts[i]) : parts[i]);
  return true;
}

// The lines that one input line (without its line feed) wraps into at
// `width` bytes. A word longer than the width (a run of bytes without a
// break character) cannot be broken: it stands whole on a line of its own,
// with the break character after it. Nothing when the library refuses.
std::optional<std::vector<std::string>> WrapLine(std::string_view line, int width) {
  std::vector<std::string> lines;
  const auto limit = static_cast<size_t>(width);
  size_t start = 0;  // what is not yet wrapped
  size_t word = 0;
  while (word < line.size()) {
    const size_t wordEnd = std::min(line.find_first_of(kBreakCharacters, word), line.size());
    if (wordEnd - word > limit) {
      if (!AppendWrapped(line.substr(start, word - start), width, lines)) return std::nullopt;
      if (!lines.empty()) lines.back() = WithoutTrailingBlanks(lines.back());
      const size_t after = std::min(wordEnd + 1, line.size());
      lines.emplace_back(line.substr(word, after - word));
      start = std::min(line.find_first_not_of(" \t", after), line.size());
      if (start < line.size()) lines.back() = WithoutTrailingBlanks(lines.back());
    }
    word = wordEnd + 1;
  }
  if (!AppendWrapped(line.substr(start), width, lines)) return std::nullopt;
  return lines;
}

void AddWrap(CommandLine& commands) {
  struct Options {
    int width = 0, indent = 0;
    std::string source = "-";
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "wrap",
      "Wrap the text at break characters (blank, tab and , ; : . ! ? - / ) ] }) so that no "
      "line passes WIDTH bytes (of UTF-8) before the break character it ends with; the blanks "
      "at a break are dropped, and lines after the first are indented by --indent blanks. A "
      "break never falls inside a character; a word longer than WIDTH stands whole on a line "
      "of its own.",
      "echo 'the quick brown fox' | kxu wrap 10 --indent 2", [options] {
        const std::string indent(static_cast<size_t>(options->indent), ' ');
        bool first = true;
        std::string out;
        TextPieces pieces(options->source, Decoding{kRawBytes}, PieceEnd::kLine);
        return ForEachPiece(pieces, [&](std::string_view piece) {
          out.clear();
          while (!piece.empty()) {
            const size_t feed = std::min(piece.find('\n'), piece.size());
            std::optional<std::vector<std::string>> lines =
                WrapLine(piece.substr(0, feed), options->width);
            if (!lines) return Failed("the wrapped text would pass the library's limit");
            if (lines->empty()) lines->emplace_back();
            for (size_t i = 0; i < lines->size(); ++i) {
              const std::string& line = (*lines)[i];
              if (i > 0) out += '\n';
              if (!first && !line.empty()) out += indent;
              out += line;
              first = false;
            }
            if (feed < piece.size()) out += '\n';
            piece.remove_prefix(std::min(feed + 1, piece.size()));
          }
          Print(out);
          return kExitDone;
        });
      });
  command->add_option("WIDTH", options->width, "the widest line, in bytes")
      ->required()
      ->check(AtLeast(1));
  command->add_option("--indent", options->indent, "blanks before every line but the first")
      ->check(AtLeast(0));
  AddInputFile(command, options->source);
}

// The longest start of `line` of at most `width` bytes that ends between
// two characters of UTF-8 (a byte that continues a character does not
// start one).
std::string_view WholeCharacters(std::string_view line, size_t width) {
  if (line.size() <= width) return line;
  size_t end = width;
  while (end > 0 && (static_cast<unsigned char>(line[end]) & 0xC0) == 0x80) --end;
  return line.substr(0, end);
}

void AddPad(CommandLine& commands) {
  struct Options {
    int width = 0;
    int align = kPadAlignLeft;
    std::string pad = " ";
    std::string source = "-";
  };
  auto options = std::make_shared<Options>();
  const std::map<std::string, int> alignments = {
      {"left", kPadAlignLeft}, {"center", kPadAlignCenter}, {"right", kPadAlignRight}};
  CLI::App* command = commands.Add(
      "pad",
      "Pad or cut every line of the text to exactly WIDTH bytes of UTF-8 (an accented letter "
      "takes 2, a CJK character 3). A line is cut between characters, never inside one: a "
      "character that does not fit whole is left out and the line padded on the right.",
      "printf 'ab\\nabcdefgh\\n' | kxu pad 6 --align center --char .", [options] {
        TextPieces pieces(options->source, Decoding{kRawBytes}, PieceEnd::kLine);
        const auto width = static_cast<size_t>(options->width);
        std::string kept;
        return ForEachLine(pieces, [&](std::string_view line) {
          kept = WholeCharacters(line, width);
          const int align = kept.size() < line.size() ? kPadAlignLeft : options->align;
          PrintLine(View(kxu_str_pad_char(kept.c_str(), options->width, align, options->pad[0])));
          return true;
        });
      });
  command->add_option("WIDTH", options->width, "the width of every line, in bytes")
      ->required()
      ->check(AtLeast(0));
  OfferValues(command->add_option("--align", options->align, "left (default), center or right"),
              {"left", "center", "right"})
      ->transform(CLI::CheckedTransformer(alignments, CLI::ignore_case));
  command->add_option("--char", options->pad, "the padding character; default a blank")
      ->check(CLI::Validator(
          [](const std::string& value) {
            return value.size() == 1 && static_cast<unsigned char>(value[0]) < 0x80
                       ? std::string()
                       : "'" + value + "' is not one ASCII character";
          },
          "CHAR"));
  AddInputFile(command, options->source);
}

// Why the URL-encoded `text` cannot be decoded faithfully, with the byte
// offset of its first % that is not followed by two hex digits or that
// stands for a NUL (which would end the decoded text); empty when it can.
std::string UndecodableEscape(std::string_view text) {
  const auto hex = [](char ch) { return std::isxdigit(static_cast<unsigned char>(ch)) != 0; };
  for (size_t at = text.find('%'); at != std::string_view::npos; at = text.find('%', at + 3)) {
    const std::string_view escape = text.substr(at, 3);
    const std::string where = "byte " + std::to_string(at) + ": '" + std::string(escape) + "' ";
    if (escape.size() < 3 || !hex(escape[1]) || !hex(escape[2]))
      return where + "is not % and two hex digits";
    if (escape == "%00") return where + "stands for a NUL, which would end the text";
  }
  return {};
}

void AddUrl(CommandLine& commands) {
  struct Options {
    std::string direction, source = "-";
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "url",
      "URL-encode or decode the text. Decoding fails, naming the byte offset, at a % not "
      "followed by two hex digits and at %00.",
      "printf 'a b&c' | kxu url encode", [options] {
        if (options->direction == "decode") {
          return Transform(options->source, [&](CStringUTF8& text) {
            const std::string problem = UndecodableEscape(View(text));
            if (!problem.empty()) return Failed(problem);
            kxu_url_encode(&text, 0);
            return kExitDone;
          });
        }
        return TransformPieces(options->source, [&](CStringUTF8& text) {
          kxu_url_encode(&text, 1);
          return kExitDone;
        });
      });
  command->add_option("ACTION", options->direction, "encode or decode")
      ->required()
      ->check(CLI::IsMember({"encode", "decode"}));
  AddInputFile(command, options->source);
}

// The whole numbers of the comma-separated `text`; nothing when one is not.
std::optional<std::vector<int>> NumberList(std::string_view text) {
  std::vector<int> numbers;
  for (;;) {
    const size_t comma = std::min(text.find(','), text.size());
    int number = 0;
    if (!ParseNumber(text.substr(0, comma), number)) return std::nullopt;
    numbers.push_back(number);
    if (comma == text.size()) return numbers;
    text.remove_prefix(comma + 1);
  }
}

void AddReorder(CommandLine& commands) {
  struct Options {
    std::string orderText, source = "-";
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "reorder",
      "Put the lines of a file (or stdin) in a new order: line i of the output is line "
      "ORDER[i] of the input (counting from 0), for as many lines as ORDER names; the lines "
      "after those stay as they were.",
      "printf 'a\\nb\\nc\\n' | kxu reorder 2,0,1   # c a b", [options] {
        const std::optional<std::vector<int>> order = NumberList(options->orderText);
        if (!order)
          return UsageError("ORDER is not a list of whole numbers: " + options->orderText);
        const std::optional<std::string> text = ReadBytes(options->source);
        if (!text) return kExitFailed;
        StringArrayObject source;
        AddLines(*text, source.Strings());
        StringArrayObject reordered(source.Strings());
        const int lines = source.Strings().GetSize();
        const int result = kxu_multi_str_reorder(kxu::platform::CheckedInt(order->size()),
                                                 &reordered, order->data(), lines, &source);
        if (result != kxu::format::kReorderDone)
          return Failed("ORDER must name at most " + std::to_string(lines) +
                        " lines, each from 0 to " + std::to_string(lines - 1) +
                        ", for an input of " + std::to_string(lines) + " lines");
        PrintLines(reordered.Strings());
        return kExitDone;
      });
  command->add_option("ORDER", options->orderText, "the input line of each output line: 2,0,1")
      ->required();
  AddInputFile(command, options->source);
}

void AddHtml(CommandLine& commands) {
  struct Options {
    std::string direction, characters, source = "-";
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "html",
      "Escape the characters of CHARS among & < > \" (blank) and line feed in the text "
      "to their HTML entities, or unescape the entities.",
      "printf 'a<b & c' | kxu html escape '<&'", [options] {
        return TransformPieces(options->source, [&](CStringUTF8& text) {
          kxu_check_escape_html_charcters(&text, options->characters.c_str(),
                                          options->direction == "unescape" ? 1 : 0);
          return kExitDone;
        });
      });
  command->add_option("ACTION", options->direction, "escape or unescape")
      ->required()
      ->check(CLI::IsMember({"escape", "unescape"}));
  command->add_option("CHARS", options->characters, "the characters to treat")->required();
  AddInputFile(command, options->source);
}

void AddCString(CommandLine& commands) {
  auto source = std::make_shared<std::string>("-");
  CLI::App* command = commands.Add(
      "c-string", "Print the body of a double-quoted C literal that reads back as the text.",
      "printf 'say \"hi\"\\n' | kxu c-string", [source] {
        return TransformPieces(*source, [](CStringUTF8& text) {
          const CStringUTF8 original = text;
          kxu_make_C_string_from_ascii(original, &text);
          return kExitDone;
        });
      });
  AddInputFile(command, *source);
}

void AddCName(CommandLine& commands) {
  struct Options {
    std::string prefix, source = "-";
  };
  auto options = std::make_shared<Options>();
  CLI::App* command =
      commands.Add("c-name",
                   "Make the text a C identifier: other bytes deleted, a leading digit "
                   "prefixed with --prefix or else deleted.",
                   "printf 3d-plot | kxu c-name --prefix _", [options] {
                     return Transform(options->source, [&](CStringUTF8& text) {
                       const std::string& prefix = options->prefix;
                       kxuMakeValidCName(&text, prefix.empty() ? '\0' : prefix[0]);
                       return kExitDone;
                     });
                   });
  command->add_option("--prefix", options->prefix, "put before a leading digit (_ or a letter)");
  AddInputFile(command, options->source);
}

void AddStripComments(CommandLine& commands) {
  struct Options {
    bool leadingOnly = false;
    std::string source = "-";
  };
  auto options = std::make_shared<Options>();
  CLI::App* command =
      commands.Add("strip-comments", "Remove the /* */ and // comments of the C-like text.",
                   "printf 'a /* b */c // d\\n' | kxu strip-comments", [options] {
                     return Transform(options->source, [&](CStringUTF8& text) {
                       kxu_skip_C_comments(&text, options->leadingOnly ? 1 : 0);
                       return kExitDone;
                     });
                   });
  command->add_flag("--leading-only", options->leadingOnly,
                    "remove only the comments at the start");
  AddInputFile(command, options->source);
}

void AddExpr(CommandLine& commands) {
  struct Options {
    std::string expression;
    bool convert = false;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "expr", "Correct an expression into the operators of the host's scripting language.",
      "kxu expr 'x=1 & y=2 | not z'", [options] {
        CStringUTF8 corrected;
        if (kxu_get_correct_KS_expression(options->expression.c_str(), &corrected,
                                          options->convert) == 0)
          return Failed("the expression is empty");
        PrintLine(View(corrected));
        return kExitDone;
      });
  command->add_option("EXPRESSION", options->expression, "the expression")->required();
  command->add_flag("--convert", options->convert,
                    "first turn typographic quotes, dashes and spaces into ASCII");
}

void AddKeywordReplace(CommandLine& commands) {
  struct Options {
    std::string keyword, replacement, source = "-";
    bool ignoreCase = false;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "keyword-replace", "Replace KEYWORD as a whole word by REPLACEMENT in the text.",
      "echo 'a and b or band' | kxu keyword-replace and '&&'", [options] {
        return TransformPieces(options->source, [&](CStringUTF8& text) {
          const int count = kxu_keyword_replace(&text, options->keyword.c_str(),
                                                options->replacement.c_str(), options->ignoreCase);
          return count < 0 ? Failed("the keyword is empty or the result too long") : kExitDone;
        });
      });
  command->add_option("KEYWORD", options->keyword, "the word to replace")->required();
  command->add_option("REPLACEMENT", options->replacement, "what replaces it")->required();
  AddInputFile(command, options->source);
  command->add_flag("--ignore-case", options->ignoreCase, "ASCII letter case does not matter");
}

}  // namespace

void AddTextCommands(CommandLine& commands) {
  AddWrap(commands);
  AddPad(commands);
  AddUrl(commands);
  AddReorder(commands);
  AddHtml(commands);
  AddCString(commands);
  AddCName(commands);
  AddStripComments(commands);
  AddExpr(commands);
  AddKeywordReplace(commands);
}

}  // namespace kxu::tool
