#include "text_io.h"

#include <chrono>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <utility>

#include "console.h"

#include "command_line.h"

namespace kxu::tool {
namespace {

double SecondsNow() {
  using Clock = std::chrono::steady_clock;
  return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

std::string StdinBytes() {
  std::cin >> std::noskipws;
  return {std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
}

}  // namespace

std::optional<std::string> ReadText(const std::string& source) {
  if (source == "-") return StdinBytes();
  CStringUTF8 text;
  if (kxu_read_text_file(source.c_str(), &text, 0) == 0) {
    Failed("cannot open " + source, 0);
    return std::nullopt;
  }
  return std::string(text.GetString(), static_cast<size_t>(text.GetLength()));
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

CZQVStringArray LinesOf(std::string_view text) {
  CZQVStringArray lines;
  for (std::string_view line : SplitLines(text))
    lines.Add(CStringUTF8(line.data(), static_cast<int>(line.size())));
  return lines;
}

std::string_view View(const CStringUTF8& text) {
  return {text.GetString(), static_cast<size_t>(text.GetLength())};
}

void Print(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
}

void PrintLine(std::string_view text) {
  Print(text);
  std::fputc('\n', stdout);
}

void PrintLines(const CZQVStringArray& array) {
  for (int i = 0; i < array.GetSize(); ++i) PrintLine(View(array[i]));
}

int Failed(std::string_view words, long long code) {
  std::fprintf(stderr, "kxu: %.*s (%lld)\n", static_cast<int>(words.size()), words.data(), code);
  return kExitFailed;
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

StringArrayObject::StringArrayObject(CZQVStringArray strings) : strings_(std::move(strings)) {}

void* StringArrayObject::GetNativeObject(int nQuery, intptr_t /*nParam*/) {
  return nQuery == QUERY_STRING_ARRAY ? &strings_ : nullptr;
}

ProgressLine::ProgressLine(std::string_view what)
    : shown_(kxu::tool::IsStderrTerminal()), started_(SecondsNow()) {
  if (shown_) std::fprintf(stderr, "kxu: %.*s...", static_cast<int>(what.size()), what.data());
}

ProgressLine::~ProgressLine() {
  if (shown_) std::fprintf(stderr, " done in %.1f s\n", SecondsNow() - started_);
}

}  // namespace kxu::tool
