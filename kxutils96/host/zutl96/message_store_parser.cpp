// The message store text: comments, the default language, language sections
// and one message per line, with a few backslash escapes.
#include <kxutils96/host/zutl96/detail/message_store_parser.h>

#include <algorithm>
#include <charconv>
#include <string>
#include <utility>

#include <kxutils96/host/zutl96/message_store.h>
#include <kxutils96/platform/text/byte_order_mark.h>
#include <kxutils96/platform/text/unicode.h>

using namespace kxu::zutl96;

namespace kxu::zutl96 {

namespace {

constexpr std::string_view kDefaultWord = "default";
constexpr std::string_view kLanguageWord = "language";
constexpr int kMaxIdDigits = 5;
// The letters that may follow a backslash in a text, and the bytes they stand for.
constexpr std::string_view kEscapeLetters = "nts\\";
constexpr std::string_view kEscapedBytes = "\n\t \\";

bool IsBlank(char ch) {
  return ch == ' ' || ch == '\t';
}

bool IsDigit(char ch) {
  return ch >= '0' && ch <= '9';
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string HexLanguage(int nLangId) {
  char buffer[8] = "0x";
  const auto result = std::to_chars(buffer + 2, buffer + sizeof buffer, nLangId, 16);
  std::string text(buffer, result.ptr);
  text.insert(2, 6 - text.size(), '0');
  return text;
}

// A language identifier written 0x1 to 0xFFFF (one to four hex digits).
bool ParseLanguageId(std::string_view text, int& nLangId) {
  if (text.size() < 3 || text.size() > 6 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X'))
    return false;
  const char* pEnd = text.data() + text.size();
  const auto result = std::from_chars(text.data() + 2, pEnd, nLangId, 16);
  return result.ec == std::errc() && result.ptr == pEnd && nLangId > 0;
}

// The word at the start of `line` and the rest after the blanks that follow it.
std::pair<std::string_view, std::string_view> SplitWord(std::string_view line) {
  std::size_t nEnd = 0;
  while (nEnd < line.size() && !IsBlank(line[nEnd])) ++nEnd;
  return {line.substr(0, nEnd), TrimBlanks(line.substr(nEnd))};
}

class StoreParser {
 public:
  StoreParser(MessageStoreIndex& index, StoreProblems* pProblems)
      : m_index(index), m_pProblems(pProblems) {}

  bool Parse(std::string_view content) {
    if (const auto found = kxu::platform::ByteOrderMarkOf(content);
        found.mark == kxu::platform::ByteOrderMark::kUtf8)
      content.remove_prefix(found.nSize);
    while (!content.empty() && !m_bStopped) {
      const std::size_t nEnd = std::min(content.find('\n'), content.size());
      std::string_view line = content.substr(0, nEnd);
      content.remove_prefix(std::min(nEnd + 1, content.size()));
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      ++m_nLine;
      ParseLine(line);
    }
    if (!m_bStopped) Finish();
    return m_nErrors == 0;
  }

 private:
  void ParseLine(std::string_view line) {
    if (!platform::IsValidUtf8(line)) return Error("the line is not valid UTF-8");
    line = TrimBlanks(line);
    if (line.empty() || line.front() == '#') return;
    if (IsDigit(line.front())) return ParseMessage(line);
    const auto [word, rest] = SplitWord(line);
    if (word == kDefaultWord) return ParseDefault(rest);
    if (word == kLanguageWord) return ParseLanguage(rest);
    Error("expected a message id, 'language', 'default' or a # comment");
  }

  void ParseDefault(std::string_view rest) {
    if (m_bDefaultSeen) return Error("the default language is named twice");
    m_bDefaultSeen = true;
    if (m_nLangId != 0) return Error("'default' must come before the first 'language' line");
    int nLangId = 0;
    if (!ParseLanguageId(rest, nLangId))
      return Error("'default' takes one language identifier, 0x0001 to 0xFFFF");
    m_index.nDefaultLangId = nLangId;
  }

  void ParseLanguage(std::string_view rest) {
    const auto [id, label] = SplitWord(rest);
    if (!ParseLanguageId(id, m_nLangId))
      return Error("'language' takes a language identifier, 0x0001 to 0xFFFF, then a free label");
  }

  void ParseMessage(std::string_view line) {
    std::size_t nDigits = 0;
    while (nDigits < line.size() && IsDigit(line[nDigits])) ++nDigits;
    int nID = 0;
    std::from_chars(line.data(), line.data() + std::min<std::size_t>(nDigits, kMaxIdDigits), nID);
    if (nDigits > kMaxIdDigits || nID > kMaxMessageId)
      return Error("message ids run from 0 to 65535");
    if (nDigits == line.size()) return Error("a message needs a text");
    if (!IsBlank(line[nDigits]))
      return Error("a blank or tab must separate the message id from its text");
    if (m_nLangId == 0) return Error("a message must stand in a 'language' section");
    std::string text;
    if (!Unescape(TrimBlanks(line.substr(nDigits)), text)) return;
    const auto nOffset = static_cast<std::uint32_t>(m_index.texts.size());
    m_index.texts.append(text).push_back('\0');
    m_index.messages.push_back(StoredMessage{MessageKey(nID, m_nLangId), nOffset,
                                             static_cast<std::uint32_t>(text.size())});
    m_lines.push_back(m_nLine);
  }

  // Reads `escaped` into `text`: \n, \t, \s (a blank) and \\ stand for one
  // byte each; other control bytes than tab are not allowed.
  bool Unescape(std::string_view escaped, std::string& text) {
    for (std::size_t i = 0; i < escaped.size(); ++i) {
      const unsigned char ch = static_cast<unsigned char>(escaped[i]);
      if ((ch < 0x20 && ch != '\t') || ch == 0x7F) {
        Error("control characters are not allowed; write \\n or \\t");
        return false;
      }
      if (ch != '\\') {
        text.push_back(static_cast<char>(ch));
        continue;
      }
      const char chLetter = i + 1 < escaped.size() ? escaped[++i] : '\0';
      const std::size_t nEscape = kEscapeLetters.find(chLetter);  // never finds the NUL
      if (nEscape == std::string_view::npos) {
        Error("a backslash must start \\n, \\t, \\s or \\\\");
        return false;
      }
      text.push_back(kEscapedBytes[nEscape]);
    }
    if (text.empty()) Error("a message needs a text");
    return !text.empty();
  }

  // Sorts the messages for lookup and checks them against one another.
  void Finish() {
    if (!m_bDefaultSeen) {
      m_nLine = 0;
      return Error("the store names no default language ('default 0x0409', say)");
    }
    std::vector<std::size_t> order(m_index.messages.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
      return m_index.messages[a].nKey < m_index.messages[b].nKey;
    });
    std::vector<StoredMessage> sorted;
    std::vector<int> sortedLines;
    sorted.reserve(order.size());
    sortedLines.reserve(order.size());
    for (std::size_t i = 0; i < order.size() && !m_bStopped; ++i) {
      const StoredMessage& message = m_index.messages[order[i]];
      if (!sorted.empty() && sorted.back().nKey == message.nKey) {
        m_nLine = m_lines[order[i]];
        const int nFirstLine = m_lines[order[i - 1]];
        Error([&message, nFirstLine] {
          return "message " + std::to_string(message.nKey >> 16) + " in language " +
                 HexLanguage(static_cast<int>(message.nKey & 0xFFFF)) + " is already on line " +
                 std::to_string(nFirstLine);
        });
        continue;
      }
      sorted.push_back(message);
      sortedLines.push_back(m_lines[order[i]]);
    }
    m_index.messages = std::move(sorted);
    m_lines = std::move(sortedLines);
    if (m_pProblems != nullptr && m_index.nDefaultLangId != 0) WarnAboutMissingDefaults();
  }

  void WarnAboutMissingDefaults() {
    for (std::size_t i = 0; i < m_index.messages.size(); ++i) {
      const StoredMessage& message = m_index.messages[i];
      const int nID = static_cast<int>(message.nKey >> 16);
      if (m_index.Find(nID, 0) != nullptr) continue;
      m_pProblems->Add(m_lines[i], kStoreWarning, [this, nID] {
        return "message " + std::to_string(nID) + " has no text in the default language " +
               HexLanguage(m_index.nDefaultLangId);
      });
    }
  }

  void Error(const char* lpcszText) {
    Error([lpcszText] { return std::string(lpcszText); });
  }

  // An error on the current line, whose text `describe()` makes when the
  // problems keep it.
  template <class Describe>
  void Error(Describe describe) {
    ++m_nErrors;
    if (m_pProblems == nullptr) {
      m_bStopped = true;
      return;
    }
    m_pProblems->Add(m_nLine, kStoreError, describe);
  }

  MessageStoreIndex& m_index;
  StoreProblems* m_pProblems;
  std::vector<int> m_lines;  // the line of each message, in the order of m_index.messages
  int m_nLine = 0;
  int m_nLangId = 0;  // the current section's language; 0 before the first
  int m_nErrors = 0;
  bool m_bDefaultSeen = false;  // a 'default' line was read, even a wrong one
  bool m_bStopped = false;
};

}  // namespace

const StoredMessage* MessageStoreIndex::Find(int nID, int nLangId) const {
  if (nID < 0 || nID > kMaxMessageId) return nullptr;
  const auto find = [this, nID](int nLanguage) -> const StoredMessage* {
    const std::uint32_t nKey = MessageKey(nID, nLanguage);
    const auto it = std::lower_bound(
        messages.begin(), messages.end(), nKey,
        [](const StoredMessage& message, std::uint32_t nWanted) { return message.nKey < nWanted; });
    return it != messages.end() && it->nKey == nKey ? &*it : nullptr;
  };
  const int nAsked = nLangId & 0xFFFF;
  if (nAsked != 0 && nAsked != nDefaultLangId) {
    if (const StoredMessage* pMessage = find(nAsked)) return pMessage;
  }
  return find(nDefaultLangId);
}

bool ParseMessageStore(std::string_view content, MessageStoreIndex& index,
                       StoreProblems* pProblems) {
  return StoreParser(index, pProblems).Parse(content);
}

const std::vector<StoreProblem>& StoreProblems::Listed() {
  KeepFirst();
  return m_listed;
}

bool StoreProblems::ErrorLeftOut() {
  KeepFirst();
  return m_bErrorLeftOut;
}

void StoreProblems::KeepFirst() {
  std::stable_sort(m_listed.begin(), m_listed.end(),
                   [](const StoreProblem& a, const StoreProblem& b) { return a.nLine < b.nLine; });
  if (m_listed.size() <= kMaxListed) return;
  for (auto it = m_listed.begin() + kMaxListed; it != m_listed.end(); ++it)
    m_bErrorLeftOut = m_bErrorLeftOut || it->nKind == kStoreError;
  m_listed.erase(m_listed.begin() + kMaxListed, m_listed.end());
  m_nFirstLineLeftOut = m_listed.back().nLine;
}

}  // namespace kxu::zutl96
