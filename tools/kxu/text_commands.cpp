#include "text_commands.h"

#include <kxutils96/kxutils96.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

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
  const int exit_code = transform(text);
  if (exit_code == kExitDone) Print(View(text));
  return exit_code;
}

// Runs `transform` on the text of the file `source` ("-": stdin) piece by
// piece, each piece whole lines, and prints the results; for a filter that
// treats each line on its own. `transform` returns an exit code, and one
// that is not kExitDone stops. `first` tells whether the piece starts the
// text.
int TransformPieces(const std::string& source,
                    const std::function<int(CStringUTF8&, bool first)>& transform) {
  TextPieces pieces(source, Decoding{kRawBytes}, PieceEnd::kLine);
  bool first = true;
  return ForEachPiece(pieces, [&](std::string_view piece) {
    CStringUTF8 text(piece.data(), kxu::platform::CheckedInt(piece.size()));
    const int exit_code = transform(text, first);
    first = false;
    if (exit_code == kExitDone) Print(View(text));
    return exit_code;
  });
}

// Adds the last argument of a filter: the file to read, stdin when none.
void AddInputFile(CLI::App* command, std::string& source) {
  command->add_option("FILE", source, "the file to read; default - (stdin)");
}

void AddWrap(CommandLine& commands) {
  struct Options {
    int width = 0, indent = 0;
    std::string source = "-";
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "wrap",
      "Wrap the text so that no line passes WIDTH bytes before its break character, "
      "continuation lines indented by --indent blanks.",
      "echo 'the quick brown fox' | kxu wrap 10 --indent 2", [options] {
        return TransformPieces(options->source, [&](CStringUTF8& text, bool first) {
          // A later piece starts a line that is not the text's first: after
          // a line feed put before it, it is wrapped and indented as such.
          if (!first) text.Insert(0, '\n');
          const int lines = kxu_wrap_text(&text, options->width, options->indent);
          if (!first) text.Delete(0, 1);
          return lines < 0 ? Failed("a line has no break character within the width") : kExitDone;
        });
      });
  command->add_option("WIDTH", options->width, "the widest line, in bytes")
      ->required()
      ->check(CLI::PositiveNumber);
  command->add_option("--indent", options->indent, "blanks before every line but the first");
  AddInputFile(command, options->source);
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
      "pad", "Pad or cut every line of the text to exactly WIDTH bytes.",
      "printf 'ab\\nabcdefgh\\n' | kxu pad 6 --align center --char .", [options] {
        TextPieces pieces(options->source, Decoding{kRawBytes}, PieceEnd::kLine);
        return ForEachLine(pieces, [&](std::string_view line) {
          const CStringUTF8 padded = kxu_str_pad_char(std::string(line).c_str(), options->width,
                                                      options->align, options->pad[0]);
          PrintLine(View(padded));
          return true;
        });
      });
  command->add_option("WIDTH", options->width, "the width of every line, in bytes")->required();
  command->add_option("--align", options->align, "left (default), center or right")
      ->transform(CLI::CheckedTransformer(alignments, CLI::ignore_case));
  command->add_option("--char", options->pad, "the padding character; default a blank")
      ->check(CLI::Validator(
          [](const std::string& value) {
            return value.size() == 1 ? std::string() : "not one byte: " + value;
          },
          "BYTE"));
  AddInputFile(command, options->source);
}

void AddUrl(CommandLine& commands) {
  struct Options {
    std::string direction, source = "-";
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "url", "URL-encode or decode the text.", "printf 'a b&c' | kxu url encode", [options] {
        const bool encode = options->direction == "encode";
        const auto url = [&](CStringUTF8& text, bool /*first*/) {
          kxu_url_encode(&text, encode);
          return kExitDone;
        };
        // A decoded NUL ends the text: decoding takes it whole.
        if (!encode)
          return Transform(options->source, [&](CStringUTF8& text) { return url(text, true); });
        return TransformPieces(options->source, url);
      });
  command->add_option("ACTION", options->direction, "encode or decode")
      ->required()
      ->check(CLI::IsMember({"encode", "decode"}));
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
        return TransformPieces(options->source, [&](CStringUTF8& text, bool /*first*/) {
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
        return TransformPieces(*source, [](CStringUTF8& text, bool /*first*/) {
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
    bool leading_only = false;
    std::string source = "-";
  };
  auto options = std::make_shared<Options>();
  CLI::App* command =
      commands.Add("strip-comments", "Remove the /* */ and // comments of the C-like text.",
                   "printf 'a /* b */c // d\\n' | kxu strip-comments", [options] {
                     return Transform(options->source, [&](CStringUTF8& text) {
                       kxu_skip_C_comments(&text, options->leading_only ? 1 : 0);
                       return kExitDone;
                     });
                   });
  command->add_flag("--leading-only", options->leading_only,
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
    bool ignore_case = false;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "keyword-replace", "Replace KEYWORD as a whole word by REPLACEMENT in the text.",
      "echo 'a and b or band' | kxu keyword-replace and '&&'", [options] {
        return TransformPieces(options->source, [&](CStringUTF8& text, bool /*first*/) {
          const int count = kxu_keyword_replace(&text, options->keyword.c_str(),
                                                options->replacement.c_str(), options->ignore_case);
          return count < 0 ? Failed("the keyword is empty or the result too long") : kExitDone;
        });
      });
  command->add_option("KEYWORD", options->keyword, "the word to replace")->required();
  command->add_option("REPLACEMENT", options->replacement, "what replaces it")->required();
  AddInputFile(command, options->source);
  command->add_flag("--ignore-case", options->ignore_case, "ASCII letter case does not matter");
}

}  // namespace

void AddTextCommands(CommandLine& commands) {
  AddWrap(commands);
  AddPad(commands);
  AddUrl(commands);
  AddHtml(commands);
  AddCString(commands);
  AddCName(commands);
  AddStripComments(commands);
  AddExpr(commands);
  AddKeywordReplace(commands);
}

}  // namespace kxu::tool
