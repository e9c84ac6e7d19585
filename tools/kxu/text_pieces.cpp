#include "text_pieces.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <optional>

#include "command_line.h"
#include "text_io.h"

namespace kxu::tool {
namespace {

// The bytes that tell the encoding of an input without a mark.
constexpr size_t kSampleBytes = size_t{64} * 1024;

struct Mark {
  std::string_view bytes;
  int page;
};
constexpr Mark kMarks[] = {{"\xEF\xBB\xBF", kUtf8}, {"\xFF\xFE", kUtf16Le}, {"\xFE\xFF", kUtf16Be}};

bool IsUtf16(int page) {
  return page == kUtf16Le || page == kUtf16Be;
}

// Whether a mark for `marked` may stand at the start of text said to be in
// `page`: any with the encoding unknown, and within the one encoding.
bool MarkFits(int page, int marked) {
  return page == kDetectEncoding || page == marked || (IsUtf16(page) && IsUtf16(marked));
}

// UTF-16 of either order when at least half of the units of `bytes` have a
// zero byte in one place and almost none (under one in sixteen of those) in
// the other; nothing otherwise.
std::optional<int> Utf16ByZeros(std::string_view bytes) {
  size_t zero_first = 0, zero_second = 0;
  const size_t units = bytes.size() / 2;
  for (size_t i = 0; i < units; ++i) {
    zero_first += bytes[2 * i] == '\0' ? 1 : 0;
    zero_second += bytes[2 * i + 1] == '\0' ? 1 : 0;
  }
  if (units == 0) return std::nullopt;
  if (2 * zero_second >= units && 16 * zero_first < zero_second) return kUtf16Le;
  if (2 * zero_first >= units && 16 * zero_second < zero_first) return kUtf16Be;
  return std::nullopt;
}

// The host's code page: kUtf8 where that is UTF-8 (whose conversions take
// no report of lost characters), else kHostPage.
int HostPage() {
  CString text;
  const bool utf8 = zqMBCStoUTF16(text, "\xC3\xA9", kHostPage, 2) == 1 && text[0] == 0xE9;
  return utf8 ? kUtf8 : kHostPage;
}

}  // namespace

size_t PieceBytes() {
  static const size_t bytes = [] {
    const char* setting = std::getenv("KXU_PIECE_BYTES");
    const long long value = setting != nullptr ? std::atoll(setting) : 0;
    return value > 0 ? static_cast<size_t>(value) : size_t{1} << 20;
  }();
  return bytes;
}

TextPieces::TextPieces(const std::string& argument, Decoding decoding, PieceEnd end)
    : argument_(argument), decoding_(decoding), end_(end) {
  SetCurrentInput(argument);
}

bool TextPieces::Open() {
  opened_ = true;
  if (argument_ == "-") {
    stream_ = &std::cin;
    return true;
  }
  errno = 0;
  file_.open(FsPath(argument_), std::ios::binary);
  if (!file_) {
    failed_ = true;
    FileFailed("open", argument_, LastSystemError());
    return false;
  }
  stream_ = &file_;
  return true;
}

void TextPieces::ReadMore(size_t count) {
  const size_t old_size = pending_.size();
  pending_.resize(old_size + count);
  errno = 0;
  stream_->read(pending_.data() + old_size, static_cast<std::streamsize>(count));
  const auto read = static_cast<size_t>(stream_->gcount());
  pending_.resize(old_size + read);
  if (read < count) at_end_ = true;
  if (stream_->bad()) Fail(LastSystemError());
}

void TextPieces::TakeMarkAndEncoding() {
  ReadMore(kSampleBytes);
  for (const Mark& mark : kMarks) {
    if (pending_.starts_with(mark.bytes) && MarkFits(decoding_.page, mark.page)) {
      decoding_.page = mark.page;
      pending_.erase(0, mark.bytes.size());
      next_offset_ = mark.bytes.size();
      return;
    }
  }
  if (decoding_.page != kDetectEncoding) return;
  if (const std::optional<int> utf16 = Utf16ByZeros(pending_); utf16 && decoding_.guess_utf16) {
    decoding_.page = *utf16;
    return;
  }
  // A character that the sample's end cuts short does not count against UTF-8.
  const std::optional<size_t> invalid = FirstInvalidByte(pending_, kUtf8, units_);
  const bool cut_short = invalid && !at_end_ && pending_.size() - *invalid < 4;
  decoding_.page = !invalid || cut_short ? kUtf8 : HostPage();
}

size_t TextPieces::LastLineEnd(size_t from, size_t to) const {
  if (IsUtf16(decoding_.page)) {
    const size_t newline = decoding_.page == kUtf16Le ? 0 : 1;
    for (size_t at = (to & ~size_t{1}); at >= (from & ~size_t{1}) + 2; at -= 2) {
      if (pending_[at - 2 + newline] == '\n' && pending_[at - 1 - newline] == '\0') return at;
    }
    return 0;
  }
  const size_t newline = std::string_view(pending_).substr(from, to - from).rfind('\n');
  return newline == std::string_view::npos ? 0 : from + newline + 1;
}

size_t TextPieces::LastCharacterEnd(size_t to) const {
  if (IsUtf16(decoding_.page)) {
    size_t end = to & ~size_t{1};
    const size_t high = decoding_.page == kUtf16Le ? 1 : 0;
    const auto high_byte = [&](size_t at) { return static_cast<unsigned char>(pending_[at]); };
    if (end >= 2 && (high_byte(end - 2 + high) & 0xFC) == 0xD8) end -= 2;  // a high surrogate
    return end;
  }
  if (decoding_.page == kRawBytes) return to;
  if (decoding_.page != kUtf8) return IsMultiBytePage(decoding_.page) ? 0 : to;
  // Back over continuation bytes to the lead of the last character; when its
  // bytes are not all there, the piece ends before it.
  for (size_t back = 1; back <= 4 && back <= to; ++back) {
    const auto byte = static_cast<unsigned char>(pending_[to - back]);
    if ((byte & 0xC0) == 0x80) continue;
    const size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    return length > back ? to - back : to;
  }
  return to;
}

bool TextPieces::NextBytes(std::string_view& piece) {
  if (!opened_ && Open()) TakeMarkAndEncoding();
  if (failed_) return false;
  pending_.erase(0, given_);
  given_ = 0;
  const size_t wanted = PieceBytes();
  if (pending_.size() < wanted && !at_end_) ReadMore(wanted - pending_.size());
  size_t window = std::min(pending_.size(), wanted);
  size_t cut = LastLineEnd(0, window);
  while (cut == 0 && !failed_) {
    if (at_end_ && window == pending_.size()) {
      cut = window;
      break;
    }
    if (end_ == PieceEnd::kCharacter && (cut = LastCharacterEnd(window)) > 0) break;
    const size_t searched = window;
    if (window == pending_.size()) ReadMore(wanted);
    window = pending_.size();
    if (window > kLongestInput) return Fail("a line is longer than " + std::string(kLimitWords));
    cut = LastLineEnd(searched, window);
  }
  if (cut == 0 || failed_) return false;
  piece = std::string_view(pending_).substr(0, cut);
  given_ = cut;
  piece_offset_ = next_offset_;
  next_offset_ += cut;
  return true;
}

bool TextPieces::Fail(const std::string& reason) {
  failed_ = true;
  FileFailed("read", argument_, reason);
  return false;
}

bool TextPieces::NextUtf16(CString& text) {
  std::string_view bytes;
  return NextBytes(bytes) && Decode(bytes, text);
}

bool TextPieces::NextUtf8(std::string& text) {
  std::string_view bytes;
  if (!NextBytes(bytes)) return false;
  // UTF-8 that is valid passes as it is.
  if (decoding_.page == kRawBytes ||
      (decoding_.page == kUtf8 && !FirstInvalidByte(bytes, kUtf8, units_))) {
    text.assign(bytes);
    return true;
  }
  bool substituted = false;
  if (!Decode(bytes, units_)) return false;
  if (!EncodeFromUtf16(Units(units_), kUtf8, text, substituted))
    return Fail("its text would pass " + std::string(kLimitWords));
  return true;
}

bool TextPieces::Decode(std::string_view bytes, CString& text) {
  if (!DecodeToUtf16(bytes, decoding_.page, text))
    return Fail("its text would pass " + std::string(kLimitWords));
  if (decoding_.lossy) return true;
  const std::optional<size_t> invalid = FirstInvalidByte(bytes, decoding_.page, text);
  if (!invalid) return true;
  return Fail("byte " + std::to_string(piece_offset_ + *invalid) + " is invalid in " +
              EncodingWords(decoding_.page) +
              " (--from names the encoding; --lossy reads such bytes as U+FFFD)");
}

int ForEachPiece(TextPieces& pieces, const std::function<int(std::string_view)>& piece) {
  std::string text;
  while (!StdoutFailed() && pieces.NextUtf8(text)) {
    if (const int exit_code = piece(text); exit_code != kExitDone) return exit_code;
  }
  return pieces.failed() ? kExitFailed : kExitDone;
}

int ForEachLine(TextPieces& pieces, const std::function<bool(std::string_view)>& line) {
  std::string text;
  while (!StdoutFailed() && pieces.NextUtf8(text)) {
    for (const std::string_view each : SplitLines(text)) {
      if (!line(each)) return kExitDone;
    }
  }
  return pieces.failed() ? kExitFailed : kExitDone;
}

std::optional<std::string> ReadText(const std::string& argument, Decoding decoding) {
  if (!LengthWithinLimit(argument)) return std::nullopt;
  TextPieces pieces(argument, decoding, PieceEnd::kCharacter);
  std::string whole, piece;
  while (pieces.NextUtf8(piece)) {
    if (whole.size() + piece.size() > kLongestInput) {
      FileFailed("read", argument, "it is longer than " + std::string(kLimitWords));
      return std::nullopt;
    }
    whole += piece;
  }
  if (pieces.failed()) return std::nullopt;
  return whole;
}

CLI::Validator EncodingValidator() {
  return CLI::Validator(
      [](std::string& value) {
        const std::optional<int> page = PageNamed(value);
        if (!page) return "unknown encoding " + value + " (see kxu convert --list)";
        value = std::to_string(*page);
        return std::string();
      },
      "ENCODING");
}

void AddDecodingOptions(CLI::App* command, Decoding& decoding) {
  command
      ->add_option("--from", decoding.page,
                   "the input's encoding (see kxu convert --list); default: a byte-order mark "
                   "tells, else UTF-8 when the text is valid UTF-8, else the host's code page")
      ->transform(EncodingValidator());
  command->add_flag("--lossy", decoding.lossy,
                    "read bytes that are invalid in the encoding as U+FFFD rather than fail");
}

}  // namespace kxu::tool
