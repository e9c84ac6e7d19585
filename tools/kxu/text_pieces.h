// An input of any size read in pieces, each decoded on its own: commands
// that work line by line see whole lines and keep a bounded memory, and
// their output is byte for byte that of one pass over the whole input.
#pragma once

#include <kxutils96/kxutils96.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "command_line.h"
#include "encodings.h"

namespace kxu::tool {

// The bytes a piece holds before it ends at the next line end, 1 MiB; the
// environment variable KXU_PIECE_BYTES sets another (a test's way to cut
// small inputs everywhere).
size_t PieceBytes();

// Where a piece may end: after a line feed only (a longer line makes its
// piece longer), or also at the end of any character.
enum class PieceEnd { kLine, kCharacter };

// How an input is decoded.
struct Decoding {
  int page = kDetectEncoding;  // or kHostPage, kUtf8, kUtf16Le, a code page...
  bool lossy = false;          // invalid input becomes U+FFFD rather than fail
  bool guessUtf16 = true;      // kDetectEncoding: take a text without a mark for UTF-16
};

// The file `argument` ("-": stdin) read piece by piece. A byte-order mark at
// its start is removed and names the encoding; for UTF-16 it decides the
// byte order whatever the page says. With kDetectEncoding and no mark, the
// first 64 KiB tell: UTF-16 when one byte of most units is zero (unless
// guess_utf16 is false), else UTF-8 when valid, else the host's code page.
// A failure (no such file, a read error, invalid input) is said on stderr,
// "kxu: cannot read 'NAME': REASON", and ends the pieces.
class TextPieces {
 public:
  TextPieces(const std::string& argument, Decoding decoding, PieceEnd end);
  TextPieces(const TextPieces&) = delete;
  TextPieces& operator=(const TextPieces&) = delete;

  // The next piece in UTF-16 or UTF-8 (NULs kept); false at the end of the
  // input or after a failure.
  bool NextUtf16(CString& text);
  bool NextUtf8(std::string& text);

  // True after a failure was said.
  bool Failed() const { return m_failed; }
  // The encoding read, once the first piece was asked for.
  int Page() const { return m_decoding.page; }
  // The input's offset of the piece given last.
  std::uint64_t PieceOffset() const { return m_pieceOffset; }
  const std::string& Name() const { return m_argument; }

 private:
  bool Open();
  void ReadMore(size_t count);
  void TakeMarkAndEncoding();
  size_t LastLineEnd(size_t from, size_t to) const;
  size_t LastCharacterEnd(size_t to) const;
  bool NextBytes(std::string_view& piece);
  bool Decode(std::string_view bytes, CString& text);
  bool Fail(const std::string& reason);

  std::string m_argument;
  Decoding m_decoding;
  PieceEnd m_end;
  std::ifstream m_file;
  std::istream* m_stream = nullptr;
  bool m_opened = false, m_atEnd = false, m_failed = false;
  std::string m_pending;  // bytes read and not yet given
  size_t m_given = 0;     // the length of the piece given last, at the start of pending_
  std::uint64_t m_pieceOffset = 0;
  std::uint64_t m_nextOffset = 0;
  CString m_units;  // a piece's UTF-16 form, kept for its buffer
};

// Calls `line` for each line of `pieces` in UTF-8, without its "\n" or
// "\r\n", until it returns false or stdout fails. Returns kExitDone, or
// kExitFailed after a failure was said.
int ForEachLine(TextPieces& pieces, const std::function<bool(std::string_view)>& line);

// Calls `piece` for each piece of `pieces` in UTF-8 until stdout fails;
// `piece` returns an exit code, and one that is not kExitDone stops.
int ForEachPiece(TextPieces& pieces, const std::function<int(std::string_view)>& piece);

// The whole text of `argument` ("-": stdin) in UTF-8, decoded as
// `decoding` says; nothing after a message on stderr when it cannot be read
// or is longer than kLongestInput.
std::optional<std::string> ReadText(const std::string& argument, Decoding decoding = {});

// Adds --from ENCODING (and --lossy) to `command`, filling `decoding`.
void AddDecodingOptions(CLI::App* command, Decoding& decoding);

// The validator that turns an encoding's name into its page number.
CLI::Validator EncodingValidator();

}  // namespace kxu::tool
