#include "text_commands.h"

#include <kxutils96/kxutils96.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "text_io.h"

namespace kxu::tool {
namespace {

// Runs `transform` on the whole of stdin and prints the result. `transform`
// returns an exit code.
int TransformStdin(const std::function<int(CStringUTF8&)>& transform) {
  const std::optional<std::string> input = ReadText("-");
  CStringUTF8 text(input->data(), static_cast<int>(input->size()));
  const int exit_code = transform(text);
  if (exit_code == kExitDone) Print(View(text));
  return exit_code;
}

void AddWrap(CommandLine& commands) {
  struct Options {
    int width = 0, indent = 0;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "wrap",
      "Wrap the text on stdin so that no line passes WIDTH bytes before its break "
      "character, continuation lines indented by INDENT blanks.",
      "echo 'the quick brown fox' | kxu wrap 10 2", [options] {
        return TransformStdin([&](CStringUTF8& text) {
          if (text.IsEmpty()) return kExitDone;
          const int lines = kxu_wrap_text(&text, options->width, options->indent);
          return lines < 0 ? Failed("a line has no break character within the width", lines)
                           : kExitDone;
        });
      });
  command->add_option("WIDTH", options->width, "the widest line, in bytes")
      ->required()
      ->check(CLI::PositiveNumber);
  command->add_option("INDENT", options->indent, "blanks before every line but the first");
}

void AddPad(CommandLine& commands) {
  struct Options {
    int width = 0;
    int align = kPadAlignLeft;
    std::string pad = " ";
  };
  auto options = std::make_shared<Options>();
  const std::map<std::string, int> alignments = {
      {"left", kPadAlignLeft}, {"center", kPadAlignCenter}, {"right", kPadAlignRight}};
  CLI::App* command = commands.Add(
      "pad", "Pad or cut every line of stdin to exactly WIDTH bytes.",
      "printf 'ab\\nabcdefgh\\n' | kxu pad 6 --align center --char .", [options] {
        const std::optional<std::string> input = ReadText("-");
        for (std::string_view line : SplitLines(*input)) {
          const CStringUTF8 padded = kxu_str_pad_char(std::string(line).c_str(), options->width,
                                                      options->align, options->pad[0]);
          PrintLine(View(padded));
        }
        return kExitDone;
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
}

void AddUrl(CommandLine& commands) {
  auto direction = std::make_shared<std::string>();
  CLI::App* command = commands.Add("url", "URL-encode or decode the text on stdin.",
                                   "printf 'a b&c' | kxu url encode", [direction] {
                                     return TransformStdin([&](CStringUTF8& text) {
                                       kxu_url_encode(&text, *direction == "encode" ? 1 : 0);
                                       return kExitDone;
                                     });
                                   });
  command->add_option("ACTION", *direction, "encode or decode")
      ->required()
      ->check(CLI::IsMember({"encode", "decode"}));
}

void AddHtml(CommandLine& commands) {
  struct Options {
    std::string direction, characters;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "html",
      "Escape the characters of CHARS among & < > \" (blank) and line feed in the text "
      "on stdin to their HTML entities, or unescape the entities.",
      "printf 'a<b & c' | kxu html escape '<&'", [options] {
        return TransformStdin([&](CStringUTF8& text) {
          kxu_check_escape_html_charcters(&text, options->characters.c_str(),
                                          options->direction == "unescape" ? 1 : 0);
          return kExitDone;
        });
      });
  command->add_option("ACTION", options->direction, "escape or unescape")
      ->required()
      ->check(CLI::IsMember({"escape", "unescape"}));
  command->add_option("CHARS", options->characters, "the characters to treat")->required();
}

void AddCString(CommandLine& commands) {
  commands.Add("c-string",
               "Print the body of a double-quoted C literal that reads back as stdin's bytes.",
               "printf 'say \"hi\"\\n' | kxu c-string", [] {
                 return TransformStdin([](CStringUTF8& text) {
                   const CStringUTF8 source = text;
                   kxu_make_C_string_from_ascii(source, &text);
                   return kExitDone;
                 });
               });
}

void AddCName(CommandLine& commands) {
  auto prefix = std::make_shared<std::string>();
  CLI::App* command =
      commands.Add("c-name",
                   "Make the text on stdin a C identifier: other bytes deleted, a leading digit "
                   "prefixed with --prefix or else deleted.",
                   "printf 3d-plot | kxu c-name --prefix _", [prefix] {
                     return TransformStdin([&](CStringUTF8& text) {
                       kxuMakeValidCName(&text, prefix->empty() ? '\0' : (*prefix)[0]);
                       return kExitDone;
                     });
                   });
  command->add_option("--prefix", *prefix, "put before a leading digit (_ or a letter)");
}

void AddStripComments(CommandLine& commands) {
  auto leading_only = std::make_shared<bool>(false);
  CLI::App* command = commands.Add(
      "strip-comments", "Remove the /* */ and // comments of the C-like text on stdin.",
      "printf 'a /* b */c // d\\n' | kxu strip-comments", [leading_only] {
        return TransformStdin([&](CStringUTF8& text) {
          kxu_skip_C_comments(&text, *leading_only ? 1 : 0);
          return kExitDone;
        });
      });
  command->add_flag("--leading-only", *leading_only, "remove only the comments at the start");
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
          return Failed("the expression is empty", 0);
        PrintLine(View(corrected));
        return kExitDone;
      });
  command->add_option("EXPRESSION", options->expression, "the expression")->required();
  command->add_flag("--convert", options->convert,
                    "first turn typographic quotes, dashes and spaces into ASCII");
}

void AddKeywordReplace(CommandLine& commands) {
  struct Options {
    std::string keyword, replacement;
    bool ignore_case = false;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "keyword-replace", "Replace KEYWORD as a whole word by REPLACEMENT in the text on stdin.",
      "echo 'a and b or band' | kxu keyword-replace and '&&'", [options] {
        return TransformStdin([&](CStringUTF8& text) {
          if (text.IsEmpty()) return kExitDone;
          const int count = kxu_keyword_replace(&text, options->keyword.c_str(),
                                                options->replacement.c_str(), options->ignore_case);
          return count < 0 ? Failed("the keyword is empty or the result too long", count)
                           : kExitDone;
        });
      });
  command->add_option("KEYWORD", options->keyword, "the word to replace")->required();
  command->add_option("REPLACEMENT", options->replacement, "what replaces it")->required();
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
