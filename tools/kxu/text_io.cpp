#include "text_io.h"

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <mutex>
#include <random>
#include <utility>

#include "console.h"

#include "command_line.h"

namespace kxu::tool {
namespace {

double SecondsNow() {
  using Clock = std::chrono::steady_clock;
  return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

// The first system error of a write to stdout; 0 while there was none.
int g_stdoutError = 0;

// The progress line, shared by the thread that shows it and the writers
// that erase it.
struct ProgressState {
  std::mutex mutex;
  std::condition_variable ended;
  bool running = false;    // a ProgressLine spans the work
  bool silenced = false;   // something else reached the terminal: it shows no more
  size_t shownLength = 0;  // the length of the line on the terminal; 0: none shows
};
ProgressState g_progress;

// True once output reached a terminal through Print: the progress line was
// erased then, and Print has no more to do for it.
bool g_printedToTerminal = false;

// The file argument read last, for CurrentInput.
std::string g_currentInput;

std::string Utf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

// Appends the rest of `stream` to `bytes`, stopping once they are longer
// than kLongestInput; false when a read failed.
bool ReadToEnd(std::istream& stream, std::string& bytes) {
  char buffer[1 << 16];
  while (bytes.size() <= kLongestInput &&
         (stream.read(buffer, sizeof buffer) || stream.gcount() > 0))
    bytes.append(buffer, static_cast<size_t>(stream.gcount()));
  return !stream.bad();
}

// Says that the input `argument` is longer than the library takes and
// returns false; true when it is not.
bool WithinLimit(const std::string& argument, std::uintmax_t length) {
  if (length <= kLongestInput) return true;
  FileFailed("read", argument, "it is longer than " + std::string(kLimitWords));
  return false;
}

// The length of the regular file `argument`; 0 for anything else.
std::uintmax_t RegularFileLength(const std::string& argument) {
  std::error_code ignored;
  const std::filesystem::path path = FsPath(argument);
  if (argument == "-" || !std::filesystem::is_regular_file(path, ignored)) return 0;
  const std::uintmax_t length = std::filesystem::file_size(path, ignored);
  return ignored ? 0 : length;
}

// Says `words` on stderr after "kxu: " and returns `exitCode`.
int Said(std::string_view words, int exitCode) {
  EraseProgressLine();
  std::fprintf(stderr, "kxu: %.*s\n", static_cast<int>(words.size()), words.data());
  return exitCode;
}

}  // namespace

std::string LastSystemError() {
  return std::strerror(errno != 0 ? errno : EIO);
}

std::filesystem::path FsPath(const std::string& utf8) {
  return std::u8string(utf8.begin(), utf8.end());
}

bool LengthWithinLimit(const std::string& argument) {
  return WithinLimit(argument, RegularFileLength(argument));
}

void SetCurrentInput(const std::string& argument) {
  g_currentInput = argument;
}

const std::string& CurrentInput() {
  return g_currentInput;
}

PrivateFolder::PrivateFolder() {
  const std::filesystem::path base = std::filesystem::temp_directory_path(m_error);
  std::random_device random;
  while (!m_error) {
    char name[32];
    std::snprintf(name, sizeof name, "kxu-%08x%08x", random(), random());
    m_path = base / name;
    if (std::filesystem::create_directory(m_path, m_error)) {
      std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, m_error);
      return;
    }
  }
  m_path.clear();
}

PrivateFolder::~PrivateFolder() {
  std::error_code ignored;
  if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
}

std::string PrivateFolder::File(const std::string& name) const {
  return Utf8(m_path / FsPath(name));
}

InputFile::InputFile(const std::string& argument) {
  g_currentInput = argument;
  std::error_code ignored;
  if (argument != "-" && std::filesystem::is_regular_file(FsPath(argument), ignored)) {
    if (!LengthWithinLimit(argument)) return;
    errno = 0;
    if (!std::ifstream(FsPath(argument), std::ios::binary)) {
      FileFailed("open", argument, LastSystemError());
      return;
    }
    m_path = argument;
    m_ready = true;
    return;
  }
  const std::optional<std::string> bytes = ReadBytes(argument);
  if (!bytes) return;
  m_temporary = std::make_unique<PrivateFolder>();
  if (!*m_temporary) {
    FileFailed("copy", argument, "no temporary folder: " + m_temporary->Error().message());
    return;
  }
  m_path = m_temporary->File("input");
  m_ready = WriteOutput(m_path, *bytes);
}

InputFile::~InputFile() = default;

std::optional<std::string> ReadBytes(const std::string& argument) {
  g_currentInput = argument;
  if (!LengthWithinLimit(argument)) return std::nullopt;
  std::string bytes;
  errno = 0;
  std::ifstream file;
  if (argument != "-") {
    file.open(FsPath(argument), std::ios::binary);
    if (!file) {
      FileFailed("open", argument, LastSystemError());
      return std::nullopt;
    }
  }
  if (!ReadToEnd(argument == "-" ? std::cin : file, bytes)) {
    FileFailed("read", argument, LastSystemError());
    return std::nullopt;
  }
  if (!WithinLimit(argument, bytes.size())) return std::nullopt;
  return bytes;
}

bool WriteOutput(const std::string& argument, std::string_view bytes) {
  if (argument == "-") {
    Print(bytes);
    return true;
  }
  errno = 0;
  std::ofstream file(FsPath(argument), std::ios::binary | std::ios::trunc);
  if (file) file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (file) file.close();  // the last bytes reach the system only here
  if (file) return true;
  FileFailed("write", argument, LastSystemError());
  return false;
}

std::string UnreachableReason(const std::string& name) {
  std::error_code error;
  const std::filesystem::path path = FsPath(name);
  if (std::filesystem::is_directory(path, error)) std::filesystem::directory_iterator(path, error);
  return error ? error.message() : std::string();
}

bool FlushStdout() {
  if (std::fflush(stdout) != 0 && g_stdoutError == 0) g_stdoutError = errno;
  if (std::ferror(stdout) && g_stdoutError == 0) g_stdoutError = EIO;
  if (g_stdoutError == 0) return true;
  std::fprintf(stderr, "kxu: cannot write stdout: %s\n", std::strerror(g_stdoutError));
  return false;
}

bool StdoutFailed() {
  return g_stdoutError != 0;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  return lines;
}

void AddLines(std::string_view text, CZQVStringArray& lines) {
  for (std::string_view line : SplitLines(text))
    lines.Add(CStringUTF8(line.data(), kxu::platform::CheckedInt(line.size())));
}

std::string_view View(const CStringUTF8& text) {
  return {text.GetString(), static_cast<size_t>(text.GetLength())};
}

void Print(std::string_view text) {
  static const bool s_toTerminal = StdoutMayReachTerminal();
  if (s_toTerminal && !g_printedToTerminal) {
    EraseProgressLine();
    g_printedToTerminal = true;
  }
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() && g_stdoutError == 0)
    g_stdoutError = errno != 0 ? errno : EIO;
}

void PrintLine(std::string_view text) {
  Print(text);
  Print("\n");
}

void PrintLines(const CZQVStringArray& array) {
  for (int i = 0; i < array.GetSize(); ++i) PrintLine(View(array[i]));
}

int FileFailed(std::string_view action, std::string_view name, std::string_view reason) {
  EraseProgressLine();
  std::fprintf(stderr, "kxu: cannot %.*s '%.*s': %.*s\n", static_cast<int>(action.size()),
               action.data(), static_cast<int>(name.size()), name.data(),
               static_cast<int>(reason.size()), reason.data());
  return kExitFailed;
}

int Failed(std::string_view words) {
  return Said(words, kExitFailed);
}

int UsageError(std::string_view words) {
  return Said(words, kExitUsage);
}

std::optional<char> ByteOption(std::string_view text) {
  static constexpr std::pair<std::string_view, char> kNamed[] = {
      {"\\t", '\t'}, {"\\n", '\n'}, {"\\0", '\0'}, {"tab", '\t'}, {"space", ' '}};
  if (text.size() == 1) return text[0];
  for (const auto& [name, byte] : kNamed) {
    if (text == name) return byte;
  }
  return std::nullopt;
}

StringArrayObject::StringArrayObject(CZQVStringArray strings) : m_strings(std::move(strings)) {}

void* StringArrayObject::GetNativeObject(int nQuery, intptr_t /*nParam*/) {
  return nQuery == QUERY_STRING_ARRAY ? &m_strings : nullptr;
}

ProgressLine::ProgressLine(std::string what) : m_what(std::move(what)), m_started(SecondsNow()) {
  if (!IsStderrTerminal()) return;
  {
    const std::lock_guard<std::mutex> lock(g_progress.mutex);
    g_progress.running = true;
    g_progress.silenced = false;
  }
  m_timer = std::thread([this] {
    std::unique_lock<std::mutex> lock(g_progress.mutex);
    if (g_progress.ended.wait_for(lock, std::chrono::seconds(1),
                                  [] { return !g_progress.running; }) ||
        g_progress.silenced)
      return;
    const std::string line = "kxu: " + m_what + "...";
    std::fputs(line.c_str(), stderr);
    g_progress.shownLength = line.size();
  });
}

ProgressLine::~ProgressLine() {
  if (!m_timer.joinable()) return;
  {
    const std::lock_guard<std::mutex> lock(g_progress.mutex);
    g_progress.running = false;
  }
  g_progress.ended.notify_all();
  m_timer.join();
  if (g_progress.shownLength > 0)
    std::fprintf(stderr, " done in %.1f s\n", SecondsNow() - m_started);
  g_progress.shownLength = 0;
}

void EraseProgressLine() {
  const std::lock_guard<std::mutex> lock(g_progress.mutex);
  g_progress.silenced = true;
  if (g_progress.shownLength == 0) return;
  // Blanks over the line rather than a terminal's escape, which not every
  // console takes.
  std::fprintf(stderr, "\r%*s\r", static_cast<int>(g_progress.shownLength), "");
  g_progress.shownLength = 0;
}

}  // namespace kxu::tool
