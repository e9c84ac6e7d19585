// Input and output shared by the `kxu` subcommands: texts from files or
// stdin, string arrays to stdout, failures in words, and the host-object
// wrapper through which the script-facing exports are called.
#pragma once

#include <kxutils96/kxutils96.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kxu::tool {

// The whole of `source` in UTF-8: stdin's bytes as they come for "-", else
// the file read by the library (any encoding it recognises). Empty with a
// message on stderr when the file cannot be opened.
std::optional<std::string> ReadText(const std::string& source);

// `text` cut at its line feeds, each line without its "\n" or "\r\n"; a last
// line feed ends the last line rather than starting an empty one.
std::vector<std::string_view> SplitLines(std::string_view text);

// The lines of `text` as a string array.
CZQVStringArray LinesOf(std::string_view text);

// The bytes of `text`, NULs inside it included.
std::string_view View(const CStringUTF8& text);

// Writes `text` to stdout as it is; PrintLine adds a line feed.
void Print(std::string_view text);
void PrintLine(std::string_view text);

// Writes every string of `array` to stdout on a line of its own.
void PrintLines(const CZQVStringArray& array);

// Reports the library's failure `code`, described by `words`, on stderr as
// "kxu: WORDS (CODE)" and returns kExitFailed.
int Failed(std::string_view words, long long code);

// The one byte an option such as --sep names: a single character, or one
// of the escapes \t, \n, \0 (the text "\t"), or "tab" and "space".
// Returns nothing for anything else.
std::optional<char> ByteOption(std::string_view text);

// A string array handed to the script-facing exports as a host object.
class StringArrayObject final : public HostObject {
 public:
  StringArrayObject() = default;
  explicit StringArrayObject(CZQVStringArray strings);

  void* GetNativeObject(int nQuery, intptr_t nParam) override;

  CZQVStringArray& strings() { return strings_; }

 private:
  CZQVStringArray strings_;
};

// Shows "kxu: WHAT..." on stderr while long work runs, and how long it took
// when it ends; silent unless stderr is a terminal.
class ProgressLine {
 public:
  explicit ProgressLine(std::string_view what);
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

 private:
  bool shown_;
  double started_;
};

}  // namespace kxu::tool
