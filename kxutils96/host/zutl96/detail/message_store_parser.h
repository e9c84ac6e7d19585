// Reading a message store's text into the index that lookups search. Only
// the message store routines of this folder use it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kxu::zutl96 {

// Message ids run from 0 to this, as in the string tables of resource modules.
inline constexpr int kMaxMessageId = 0xFFFF;

// One text of a store: its key and where its bytes lie in the index's texts.
struct StoredMessage {
  std::uint32_t nKey;
  std::uint32_t nOffset;
  std::uint32_t nLength;
};

// Orders messages by id first, then by language.
constexpr std::uint32_t MessageKey(int nID, int nLangId) {
  return (static_cast<std::uint32_t>(nID) << 16) | static_cast<std::uint32_t>(nLangId);
}

// A store in memory: every text once, and a table sorted by key for binary
// search.
struct MessageStoreIndex {
  int nDefaultLangId = 0;
  std::string texts;                    // the texts one after another, each NUL-terminated
  std::vector<StoredMessage> messages;  // sorted by nKey, no key twice

  // The text of `nID` in `nLangId` (0: none asked), else in the default
  // language; null when there is neither.
  const StoredMessage* Find(int nID, int nLangId) const;
};

// One problem of a store's text (kind: MessageStoreProblemKind of zutl96.h).
struct StoreProblem {
  int nLine;
  int nKind;
  std::string text;
};

// Parses `content` (the bytes of a store file) into `index`. With
// `pProblems` null, stops at the first error; otherwise appends every error
// and warning, in line order, to `*pProblems`. Returns true when the store
// has no error (warnings allowed); `index` is complete only then.
// Example: "default 0x0409\nlanguage 0x0409\n1 Hello\n" gives one message.
bool ParseMessageStore(std::string_view content, MessageStoreIndex& index,
                       std::vector<StoreProblem>* pProblems);

}  // namespace kxu::zutl96
