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
  size_t zeroFirst = 0, zeroSecond = 0;
  const size_t units = bytes.size() / 2;
  for (size_t i = 0; i < units; ++i) {
    zeroFirst += bytes[2 * i] == '\0' ? 1 : 0;
    zeroSecond += bytes[2 * i + 1] == '\0' ? 1 : 0;
  }
  if (units == 0) return std::nullopt;
  if (2 * zeroSecond >= units && 16 * zeroFirst < zeroSecond) return kUtf16Le;
  if (2 * zeroFirst >= units && 16 * zeroSecond < zeroFirst) return kUtf16Be;
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
  static const size_t s_bytes = [] {
    const char* setting = std::getenv("KXU_PIECE_BYTES");
    const long long value = setting != nullptr ? std::atoll(setting) : 0;
    return value > 0 ? static_cast<size_t>(value) : size_t{1} << 20;
  }();
  return s_bytes;
}

TextPieces::TextPieces(const std::string& argument, Decoding decoding, PieceEnd end)
    : m_argument(argument), m_decoding(decoding), m_end(end) {
  SetCurrentInput(argument);
}

bool TextPieces::Open() {
  m_opened = true;
  if (m_argument == "-") {
    m_stream = &std::cin;
    return true;
  }
  errno = 0;
  m_file.open(FsPath(m_argument), std::ios::binary);
  if (!m_file) {
    m_failed = true;
    FileFailed("open", m_argument, LastSystemError());
    return false;
  }
  m_stream = &m_file;
  return true;
}

void TextPieces::ReadMore(size_t count) {
  const size_t oldSize = m_pending.size();
  m_pending.resize(oldSize + count);
  errno = 0;
  m_stream->read(m_pending.data() + oldSize, static_cast<std::streamsize>(count));
  const auto read = static_cast<size_t>(m_stream->gcount());
  m_pending.resize(oldSize + read);
  if (read < count) m_atEnd = true;
  if (m_stream->bad()) Fail(LastSystemError());
}

void TextPieces::TakeMarkAndEncoding() {
  ReadMore(kSampleBytes);
  for (const Mark& mark : kMarks) {
    if (m_pending.starts_with(mark.bytes) && MarkFits(m_decoding.page, mark.page)) {
      m_decoding.page = mark.page;
      m_pending.erase(0, mark.bytes.size());
      m_nextOffset = mark.bytes.size();
      return;
    }
  }
  if (m_decoding.page != kDetectEncoding) return;
  if (const std::optional<int> utf16 = Utf16ByZeros(m_pending); utf16 && m_decoding.guessUtf16) {
    m_decoding.page = *utf16;
    return;
  }
  // A character that the sample's end cuts short does not count against UTF-8.
  const std::optional<size_t> invalid = FirstInvalidByte(m_pending, kUtf8, m_units);
  const bool cutShort = invalid && !m_atEnd && m_pending.size() - *invalid < 4;
  m_decoding.page = !invalid || cutShort ? kUtf8 : HostPage();
}

size_t TextPieces::LastLineEnd(size_t from, size_t to) const {
  if (IsUtf16(m_decoding.page)) {
    const size_t newline = m_decoding.page == kUtf16Le ? 0 : 1;
    for (size_t at = (to & ~size_t{1}); at >= (from & ~size_t{1}) + 2; at -= 2) {
      if (m_pending[at - 2 + newline] == '\n' && m_pending[at - 1 - newline] == '\0') return at;
    }
    return 0;
  }
  const size_t newline = std::string_view(m_pending).substr(from, to - from).rfind('\n');
  return newline == std::string_view::npos ? 0 : from + newline + 1;
}

size_t TextPieces::LastCharacterEnd(size_t to) const {
  if (IsUtf16(m_decoding.page)) {
    size_t end = to & ~size_t{1};
    const size_t high = m_decoding.page == kUtf16Le ? 1 : 0;
    const auto highByte = [&](size_t at) { return static_cast<unsigned char>(m_pending[at]); };
    if (end >= 2 && (highByte(end - 2 + high) & 0xFC) == 0xD8) end -= 2;  // a high surrogate
    return end;
  }
  if (m_decoding.page == kRawBytes) return to;
  if (m_decoding.page != kUtf8) return IsMultiBytePage(m_decoding.page) ? 0 : to;
  // Back over continuation bytes to the lead of the last character; when its
  // bytes are not all there, the piece ends before it.
  for (size_t back = 1; back <= 4 && back <= to; ++back) {
    const auto byte = static_cast<unsigned char>(m_pending[to - back]);
    if ((byte & 0xC0) == 0x80) continue;
    const size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    return length > back ? to - back : to;
  }
  return to;
}

bool TextPieces::NextBytes(std::string_view& piece) {
  if (!m_opened && Open()) TakeMarkAndEncoding();
  if (m_failed) return false;
  m_pending.erase(0, m_given);
  m_given = 0;
  const size_t wanted = PieceBytes();
  if (m_pending.size() < wanted && !m_atEnd) ReadMore(wanted - m_pending.size());
  size_t window = std::min(m_pending.size(), wanted);
  size_t cut = LastLineEnd(0, window);
  while (cut == 0 && !m_failed) {
    if (m_atEnd && window == m_pending.size()) {
      cut = window;
      break;
    }
    if (m_end == PieceEnd::kCharacter && (cut = LastCharacterEnd(window)) > 0) break;
    const size_t searched = window;
    if (window == m_pending.size()) ReadMore(wanted);
    window = m_pending.size();
    if (window > kLongestInput) return Fail("a line is longer than " + std::string(kLimitWords));
    cut = LastLineEnd(searched, window);
  }
  if (cut == 0 || m_failed) return false;
  piece = std::string_view(m_pending).substr(0, cut);
  m_given = cut;
  m_pieceOffset = m_nextOffset;
  m_nextOffset += cut;
  return true;
}

bool TextPieces::Fail(const std::string& reason) {
  m_failed = true;
  FileFailed("read", m_argument, reason);
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
  if (m_decoding.page == kRawBytes ||
      (m_decoding.page == kUtf8 && !FirstInvalidByte(bytes, kUtf8, m_units))) {
    text.assign(bytes);
    return true;
  }
  bool substituted = false;
  if (!Decode(bytes, m_units)) return false;
  if (!EncodeFromUtf16(Units(m_units), kUtf8, text, substituted))
    return Fail("its text would pass " + std::string(kLimitWords));
  return true;
}

bool TextPieces::Decode(std::string_view bytes, CString& text) {
  if (!DecodeToUtf16(bytes, m_decoding.page, text))
    return Fail("its text would pass " + std::string(kLimitWords));
  if (m_decoding.lossy) return true;
  const std::optional<size_t> invalid = FirstInvalidByte(bytes, m_decoding.page, text);
  if (!invalid) return true;
  return Fail("byte " + std::to_string(m_pieceOffset + *invalid) + " is invalid in " +
              EncodingWords(m_decoding.page) +
              " (--from names the encoding; --lossy reads such bytes as U+FFFD)");
}

int ForEachPiece(TextPieces& pieces, const std::function<int(std::string_view)>& piece) {
  std::string text;
  while (!StdoutFailed() && pieces.NextUtf8(text)) {
    if (const int exitCode = piece(text); exitCode != kExitDone) return exitCode;
  }
  return pieces.Failed() ? kExitFailed : kExitDone;
}

int ForEachLine(TextPieces& pieces, const std::function<bool(std::string_view)>& line) {
  std::string text;
  while (!StdoutFailed() && pieces.NextUtf8(text)) {
    for (const std::string_view each : SplitLines(text)) {
      if (!line(each)) return kExitDone;
    }
  }
  return pieces.Failed() ? kExitFailed : kExitDone;
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
  if (pieces.Failed()) return std::nullopt;
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
  OfferValues(command->add_option(
                  "--from", decoding.page,
                  "the input's encoding (see kxu convert --list); default: a byte-order mark "
                  "tells, else UTF-8 when the text is valid UTF-8, else the host's code page"),
              ServedEncodingNames)
      ->transform(EncodingValidator());
  command->add_flag("--lossy", decoding.lossy,
                    "read bytes that are invalid in the encoding as U+FFFD rather than fail");
}

}  // namespace kxu::tool
