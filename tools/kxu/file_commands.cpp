#include "file_commands.h"

#include <kxutils96/kxutils96.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "encodings.h"
#include "text_io.h"
#include "text_pieces.h"

namespace kxu::tool {
namespace {

// The byte-order mark of `page`; empty for a code page, which has none.
std::string_view MarkOf(int page) {
  switch (page) {
    case kUtf8:
      return "\xEF\xBB\xBF";
    case kUtf16Le:
      return "\xFF\xFE";
    case kUtf16Be:
      return "\xFE\xFF";
    default:
      return {};
  }
}

// Says that the character at `unit` of the piece `text` that `pieces` gave
// has no code in page `to`, naming its offset in the input.
int Unencodable(const TextPieces& pieces, const CString& text, size_t unit, int to) {
  const std::uint64_t offset =
      pieces.PieceOffset() + EncodedLength(Units(text).substr(0, unit), pieces.Page());
  return FileFailed("convert", pieces.Name(),
                    "the character at byte " + std::to_string(offset) + " has no code in " +
                        EncodingWords(to) + " (--lossy writes such characters as '?')");
}

void AddConvert(CommandLine& commands) {
  struct Options {
    Decoding decoding{kUtf8};
    int to = kUtf8;
    std::string source = "-";
    bool bom = false, list = false;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "convert",
      "Convert text between UTF-8, UTF-16LE, UTF-16BE and the code pages the library serves, "
      "named by number (1252, 932...) or common name (cp1252, windows-1252, latin1, shift_jis, "
      "utf-16le...; see --list). A byte-order mark at the input's start is dropped (for UTF-16 it "
      "tells the byte order); none is written unless --bom. Input that is invalid in its encoding, "
      "or a character the target lacks, stops the conversion with its byte offset (the output so "
      "far stays written) unless --lossy is given. Any size of input converts in bounded memory.",
      "printf 'caf\\xe9' | kxu convert --from cp1252 --to utf-8", [options] {
        if (options->list) {
          PrintServedPages();
          return kExitDone;
        }
        for (const int page : {options->decoding.page, options->to}) {
          if (!IsServed(page))
            return UsageError("code page " + std::to_string(page) +
                              " is not served (kxu convert --list names those that are)");
        }
        if (options->bom && MarkOf(options->to).empty()) {
          return UsageError("--bom needs --to utf-8, utf-16le or utf-16be");
        }
        TextPieces pieces(options->source, options->decoding, PieceEnd::kCharacter);
        if (options->bom) Print(MarkOf(options->to));
        CString text;
        std::string converted;
        bool substituted = false;
        while (!StdoutFailed() && pieces.NextUtf16(text)) {
          if (!EncodeFromUtf16(Units(text), options->to, converted, substituted))
            return FileFailed("convert", options->source,
                              "its text would pass " + std::string(kLimitWords));
          if (substituted && !options->decoding.lossy)
            return Unencodable(pieces, text, *FirstUnencodableUnit(Units(text), options->to),
                               options->to);
          Print(converted);
        }
        return pieces.Failed() ? kExitFailed : kExitDone;
      });
  AddDecodingOptions(command, options->decoding);
  command->get_option("--from")->description("the input's encoding; default utf-8");
  command->get_option("--lossy")->description(
      "read invalid input as U+FFFD and write characters the target lacks as '?' rather than "
      "fail");
  OfferValues(command->add_option("--to", options->to, "the output's encoding; default utf-8"),
              ServedEncodingNames)
      ->transform(EncodingValidator());
  command->add_flag("--bom", options->bom, "start the output with the target's byte-order mark");
  command->add_flag("--list", options->list,
                    "print the encodings served: NUMBER<TAB>NAMES, one per line");
  command->add_option("FILE", options->source, "the file; default - (stdin)");
}

void AddRead(CommandLine& commands) {
  struct Options {
    std::string file = "-";
    Decoding decoding;
    bool noGuess = false;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "read",
      "Print a text file (UTF-8, UTF-16 of either byte order, a code page) as UTF-8, without "
      "its byte-order mark; any size, in bounded memory.",
      "kxu read notes-utf16.txt", [options] {
        options->decoding.guessUtf16 = !options->noGuess;
        TextPieces pieces(options->file, options->decoding, PieceEnd::kCharacter);
        return ForEachPiece(pieces, [](std::string_view piece) {
          Print(piece);
          return kExitDone;
        });
      });
  command->add_option("FILE", options->file, "the file; default - (stdin)");
  AddDecodingOptions(command, options->decoding);
  command->add_flag("--no-utf16-guess", options->noGuess,
                    "without a byte-order mark, never take the file for UTF-16");
}

void AddLines(CommandLine& commands) {
  struct Options {
    std::string file = "-";
    Decoding decoding;
    bool trim = false, skipEmpty = false;
    int limit = 0;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "lines",
      "Print the lines of a text file (read as `kxu read` reads it), each without its line end; "
      "any size, in bounded memory.",
      "kxu lines data.txt --trim --skip-empty --limit 10", [options] {
        TextPieces pieces(options->file, options->decoding, PieceEnd::kLine);
        int printed = 0;
        return ForEachLine(pieces, [&](std::string_view line) {
          CStringUTF8 text(line.data(), kxu::platform::CheckedInt(line.size()));
          if (options->trim) text.Trim();
          if (options->skipEmpty && text.IsEmpty()) return true;
          PrintLine(View(text));
          return options->limit == 0 || ++printed < options->limit;
        });
      });
  command->add_option("FILE", options->file, "the file; default - (stdin)");
  AddDecodingOptions(command, options->decoding);
  command->add_flag("--trim", options->trim, "remove white space at both ends of each line");
  command->add_flag("--skip-empty", options->skipEmpty, "leave out empty lines");
  command->add_option("--limit", options->limit, "stop after N lines")->check(AtLeast(1));
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
