// Input and output shared by the `kxu` subcommands: texts from files or
// stdin, string arrays to stdout, failures in words, and the host-object
// wrapper through which the script-facing exports are called.
#pragma once

#include <kxutils96/kxutils96.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace kxu::tool {

// The longest input the commands take, in bytes: the library's texts count
// their bytes in an int. A longer file is refused before it is read.
inline constexpr std::uintmax_t kLongestInput = 2147483647;  // 2 GiB - 1

// The words that name the limit above, for messages.
inline constexpr std::string_view kLimitWords =
    "the library's limit of 2147483647 bytes (2 GiB - 1)";

// The file argument that the command at work read last ("-": stdin); empty
// before any. A refusal of the library names it.
const std::string& CurrentInput();

// A new folder in the temporary folder that only this user may enter, for
// files that only this run needs (a copy of an input, an output on its way
// to stdout); it goes, with what it holds, when this object does. Its random
// name is taken only where nothing has it (making a folder never follows a
// link), so no other program can lay a file or link there first.
class PrivateFolder {
 public:
  // Makes the folder; when none can be made, the object is false and
  // error() says why.
  PrivateFolder();
  ~PrivateFolder();
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;

  explicit operator bool() const { return !m_error; }
  // The UTF-8 name of the file `name` in the folder.
  std::string File(const std::string& name) const;
  const std::error_code& Error() const { return m_error; }

 private:
  std::filesystem::path m_path;
  std::error_code m_error;
};

// A file argument as a name the library can open. "-" stands for stdin.
// Stdin, a pipe, a FIFO, a process substitution, a socket or a character
// device has no length, and the library would read it as empty: such an
// input is read to its end and its bytes put in a file of a PrivateFolder,
// which goes when this object does. A regular file is used where it is. An input longer than
// kLongestInput is refused.
class InputFile {
 public:
  // Prepares `argument`; when it cannot be read, says "kxu: cannot open
  // 'NAME': REASON" on stderr and the object is false.
  explicit InputFile(const std::string& argument);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  explicit operator bool() const { return m_ready; }
  // The UTF-8 name to hand to the library.
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
  std::unique_ptr<PrivateFolder> m_temporary;  // the folder of the copy; null for none
  bool m_ready = false;
};

// The bytes of the file `argument` ("-": stdin) as they are. Nothing after
// "kxu: cannot open 'NAME': REASON" on stderr when it cannot be read, or
// "kxu: cannot read 'NAME': ..." when it is longer than kLongestInput (a
// regular file is measured before it is read, a stream read only that far).
std::optional<std::string> ReadBytes(const std::string& argument);

// False after "kxu: cannot read 'NAME': ..." on stderr when `argument` is
// a regular file longer than kLongestInput.
bool LengthWithinLimit(const std::string& argument);

// Makes `argument` the file that CurrentInput names.
void SetCurrentInput(const std::string& argument);

// A UTF-8 argument as a path of the system's kind.
std::filesystem::path FsPath(const std::string& utf8);

// The system's words for the last failed call, or for a failure that left
// errno unset.
std::string LastSystemError();

// Writes `bytes` to the file `argument` ("-": stdout), replacing its content,
// and checks that every byte arrived. False after "kxu: cannot write 'NAME':
// REASON" on stderr when not.
bool WriteOutput(const std::string& argument, std::string_view bytes);

// Why the file or folder `name` cannot be reached (or, a folder, listed), in
// the system's words; empty when nothing is in the way.
std::string UnreachableReason(const std::string& name);

// Flushes stdout. False after "kxu: cannot write stdout: REASON" on stderr
// when a write to it failed since the program started.
bool FlushStdout();

// True once a write to stdout failed (a reader that went away, a full disk):
// a command that works in pieces stops there.
bool StdoutFailed();

// `text` cut at its line feeds, each line without its "\n" or "\r\n"; a last
// line feed ends the last line rather than starting an empty one.
std::vector<std::string_view> SplitLines(std::string_view text);

// Appends the lines of `text` to `lines`.
void AddLines(std::string_view text, CZQVStringArray& lines);

// The bytes of `text`, NULs inside it included.
std::string_view View(const CStringUTF8& text);

// Writes `text` to stdout as it is; PrintLine adds a line feed. A failure
// is remembered for FlushStdout.
void Print(std::string_view text);
void PrintLine(std::string_view text);

// Writes every string of `array` to stdout on a line of its own.
void PrintLines(const CZQVStringArray& array);

// Reports that `name` cannot be handled, "kxu: cannot ACTION 'NAME':
// REASON" on stderr, and returns kExitFailed.
int FileFailed(std::string_view action, std::string_view name, std::string_view reason);

// Reports a failure of the library, described by `words`, on stderr as
// "kxu: WORDS" and returns kExitFailed.
int Failed(std::string_view words);

// Reports an argument the command cannot take, described by `words`, on
// stderr as "kxu: WORDS" and returns kExitUsage.
int UsageError(std::string_view words);

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

  CZQVStringArray& Strings() { return m_strings; }

 private:
  CZQVStringArray m_strings;
};

// Shows "kxu: WHAT..." on stderr once the work it spans has lasted a
// second, and how long it took when it ends; silent unless stderr is a
// terminal. Before anything else may reach the terminal (output, when stdout
// is a terminal or a pipe, or a message on stderr) the line is erased and
// shows no more: EraseProgressLine. One at a time.
class ProgressLine {
 public:
  explicit ProgressLine(std::string what);
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

 private:
  std::string m_what;
  double m_started;
  std::thread m_timer;  // shows the line; none when stderr is no terminal
};

// Erases the progress line if it shows, and keeps it from showing, before
// something else is written to the terminal. Print and the messages of
// this file call it; a command that writes to stderr itself calls it first.
void EraseProgressLine();

}  // namespace kxu::tool
