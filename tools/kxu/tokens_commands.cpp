#include "tokens_commands.h"

#include <kxutils96/kxutils96.h>

#include <functional>
#include <memory>
#include <string>

#include "text_io.h"
#include "text_pieces.h"

namespace kxu::tool {
namespace {

// Calls `text` with the TEXT argument, or for "-" with each line of stdin;
// returns an exit code.
int ForEachText(const std::string& argument, const std::function<void(const char*)>& text) {
  if (argument != "-") {
    text(argument.c_str());
    return kExitDone;
  }
  TextPieces lines("-", Decoding{kRawBytes}, PieceEnd::kLine);
  return ForEachLine(lines, [&](std::string_view line) {
    text(std::string(line).c_str());
    return true;
  });
}

// The text of a TEXT|- argument: the argument itself, or stdin without the
// line feed that ends it.
std::optional<std::string> TextArgument(const std::string& argument) {
  if (argument != "-") return argument;
  std::optional<std::string> text = ReadBytes("-");
  if (text && !text->empty() && text->back() == '\n') text->pop_back();
  if (text && !text->empty() && text->back() == '\r') text->pop_back();
  return text;
}

// Adds a --sep option that names one byte, checked when parsed.
CLI::Option* AddSeparatorOption(CLI::App* command, std::string& separator,
                                const std::string& description) {
  return command->add_option("--sep", separator, description)
      ->check(CLI::Validator(
          [](std::string& value) {
            return ByteOption(value) ? std::string() : "not a single byte: " + value;
          },
          "BYTE"));
}

// A --quote value: a number (the quote options -2, -1, 0, 32, 34, ...) or one
// quote character.
std::optional<int> QuoteOption(const std::string& text) {
  if (text.size() == 1 && (text[0] < '0' || text[0] > '9'))
    return static_cast<unsigned char>(text[0]);
  try {
    size_t used = 0;
    const int value = std::stoi(text, &used, 0);
    if (used == text.size()) return value;
  } catch (const std::exception&) {
  }
  return std::nullopt;
}

void AddTokens(CommandLine& commands) {
  struct Options {
    std::string text, separator, quote = "0";
    unsigned int flags = 0;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "tokens",
      "Split a text into tokens at a separator or white space, keeping quoted and "
      "bracketed stretches whole; prints one token per line.",
      "kxu tokens --sep , 'a,\"b,c\",(d,e)'", [options] {
        const std::optional<int> quote = QuoteOption(options->quote);
        if (!quote) return UsageError("--quote is neither a number nor one character");
        const char separator = options->separator.empty() ? '\0' : *ByteOption(options->separator);
        CZQVStringArray tokens;
        return ForEachText(options->text, [&](const char* text) {
          kxutilsGetTokens(text, &tokens, separator, nullptr, *quote, options->flags);
          PrintLines(tokens);
        });
      });
  command->add_option("TEXT", options->text, "the text, or - for each line of stdin")->required();
  AddSeparatorOption(command, options->separator,
                     "the separator byte (a character, \\t, tab or space); default: white space");
  command->add_option("--quote", options->quote,
                      "quote option: -2 angle brackets, -1 unquote all, 0 none, 32 skip "
                      "leading white space, 34 CSV double quotes, or a quote character");
  command->add_option("--flags", options->flags,
                      "search flags: 1 quote-aware search, 2 backslash escapes in quotes; "
                      "0x01000000 and up go to the CSV unquoting");
}

// JSON string literal of a UTF-8 text.
std::string JsonString(std::string_view text) {
  std::string json = "\"";
  for (const char ch : text) {
    const auto byte = static_cast<unsigned char>(ch);
    if (ch == '"' || ch == '\\') {
      json += '\\';
      json += ch;
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      json += escaped;
    } else {
      json += ch;
    }
  }
  return json + '"';
}

// Prints the fields of a line tab-separated, or as a JSON array; `line` is
// the buffer it is built in.
void PrintFields(const CZQVStringArray& fields, bool json, std::string& line) {
  line = json ? "[" : "";
  for (int i = 0; i < fields.GetSize(); ++i) {
    if (i > 0) line += json ? "," : "\t";
    if (json)
      line += JsonString(View(fields[i]));
    else
      line += View(fields[i]);
  }
  line += json ? "]\n" : "\n";
  Print(line);
}

void AddCsv(CommandLine& commands) {
  struct Options {
    std::string source = "-";
    Decoding decoding;
    bool json = false;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "csv",
      "Split each line of a CSV file (read as `kxu read` reads it) into its fields, CSV quoting "
      "removed; prints the fields of a line tab-separated, or as a JSON array with --json. Any "
      "size, in bounded memory. The library's rules differ from RFC 4180 in two ways: a comma "
      "inside brackets of any kind, ( ) [ ] { } and < > too, stays in its field ('1,x<y,2' is "
      "two fields: 1 and 'x<y,2'), and a quoted field ends with its line (a line feed inside "
      "quotes starts a new record). Quotes doubled inside a quoted field stand for one.",
      "printf '1,\"a \"\"b\"\"\",x\\n' | kxu csv --json", [options] {
        TextPieces pieces(options->source, options->decoding, PieceEnd::kLine);
        CZQVStringArray fields;
        std::string lineText, printed;
        return ForEachLine(pieces, [&](std::string_view line) {
          lineText = line;
          kxutilsTokenizeOneCSVLine(lineText.c_str(), &fields);
          PrintFields(fields, options->json, printed);
          return true;
        });
      });
  command->add_option("FILE", options->source, "the CSV file; default - (stdin)");
  AddDecodingOptions(command, options->decoding);
  command->add_flag("--json", options->json, "print each line's fields as a JSON array");
}

void AddKeyValues(CommandLine& commands) {
  struct Options {
    std::string text, separator = ",";
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "keyvalues", "Split a text of key=value pairs; prints KEY<TAB>VALUE per pair.",
      "kxu keyvalues 'a=1, b = 2'", [options] {
        CZQVStringArray keys;
        CZQVStringArray values;
        return ForEachText(options->text, [&](const char* text) {
          kxutilsSeparateKeyValues(text, &keys, &values, *ByteOption(options->separator));
          for (int i = 0; i < keys.GetSize() && i < values.GetSize(); ++i) {
            Print(View(keys[i]));
            Print("\t");
            PrintLine(View(values[i]));
          }
        });
      });
  command->add_option("TEXT", options->text, "the text, or - for each line of stdin")->required();
  AddSeparatorOption(command, options->separator, "the byte between pairs; default ,");
}

void AddSplitByStr(CommandLine& commands) {
  struct Options {
    std::string separator, text;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "split-by-str",
      "Split a text at every occurrence of a separator text; prints one piece "
      "per line.",
      "kxu split-by-str :: 'a::b::'", [options] {
        const std::optional<std::string> text = TextArgument(options->text);
        if (!text) return kExitFailed;
        CZQVStringArray pieces;
        const int count = kxutilsSeparateByStr(text->c_str(), &pieces, options->separator.c_str());
        if (count < 0) return Failed("the text could not be split");
        PrintLines(pieces);
        return kExitDone;
      });
  command->add_option("SEP", options->separator, "the separator text")->required();
  command->add_option("TEXT", options->text, "the text, or - for stdin")->required();
}

void AddJoin(CommandLine& commands) {
  struct Options {
    std::string separator, source = "-";
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "join", "Join the lines of a file (or stdin) into one line, with SEP between every two.",
      "printf 'a\\nb\\nc\\n' | kxu join ', '   # a, b, c", [options] {
        const std::optional<std::string> text = ReadBytes(options->source);
        if (!text) return kExitFailed;
        CZQVStringArray lines;
        AddLines(*text, lines);
        CStringUTF8 joined;
        kxutilsSetTokensByStr(&joined, &lines, options->separator.c_str());
        PrintLine(View(joined));
        return kExitDone;
      });
  command->add_option("SEP", options->separator, "the text between every two lines")->required();
  command->add_option("FILE", options->source, "the file; default - (stdin)");
}

// The words for a failure of the label splitter.
const char* LabelFailure(int code) {
  switch (code) {
    case kxu::tokens::kSuffixDuplicate:
      return "a letter repeats";
    case kxu::tokens::kSuffixBadByte:
      return "a character is not a label letter";
    case kxu::tokens::kSuffixStrayDigit:
      return "a digit follows a letter that takes none";
    case kxu::tokens::kSuffixLeadingDigit:
      return "the code starts with a digit";
    default:
      return "the code could not be split";
  }
}

void AddLabels(CommandLine& commands) {
  struct Options {
    std::string text;
    bool withoutG = false, duplicates = false;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "labels",
      "Split a code of worksheet label letters, some with numeric suffixes, into one "
      "element per letter; prints one per line.",
      "kxu labels lp3U", [options] {
        const std::optional<std::string> text = TextArgument(options->text);
        if (!text) return kExitFailed;
        CZQVStringArray letters;
        const int flags = (options->duplicates ? kxu::tokens::kWksAllowDuplicates : 0) |
                          (options->withoutG ? kxu::tokens::kWksWithoutG : 0);
        const int count = kxutilsSeparateWksLabelsChar(text->c_str(), &letters, flags);
        if (count < 0) return Failed(LabelFailure(count));
        PrintLines(letters);
        return kExitDone;
      });
  command->add_option("TEXT", options->text, "the code, or - for stdin")->required();
  command->add_flag("--without-g", options->withoutG, "G is not a label letter");
  command->add_flag("--allow-duplicates", options->duplicates, "keep letters that repeat");
}

}  // namespace

void AddTokensCommands(CommandLine& commands) {
  AddTokens(commands);
  AddCsv(commands);
  AddKeyValues(commands);
  AddSplitByStr(commands);
  AddJoin(commands);
  AddLabels(commands);
}

}  // namespace kxu::tool
