// The message store parser over arbitrary bytes. Checked on every input: no
// crash and no access outside a buffer; the quick parse (stopping at the
// first error) and the full check agree on whether the store is good; a good
// store's table is sorted with no key twice, every text lies inside the
// texts, is valid UTF-8 and is what a lookup of its id and language returns.
#include <kxutils96/host/zutl96/detail/message_store_parser.h>
#include <kxutils96/host/zutl96/zutl96.h>
#include <kxutils96/platform/text/unicode.h>

#include <cstdint>
#include <string_view>

#include "fuzz_require.h"

using namespace kxu::zutl96;

namespace {

bool HasError(StoreProblems& problems) {
  for (const StoreProblem& problem : problems.Listed())
    if (problem.nKind == kStoreError) return true;
  return problems.ErrorLeftOut();
}

void CheckIndex(const MessageStoreIndex& index) {
  for (std::size_t i = 0; i < index.messages.size(); ++i) {
    const StoredMessage& message = index.messages[i];
    if (i > 0) Require(index.messages[i - 1].nKey < message.nKey);
    Require(static_cast<std::size_t>(message.nOffset) + message.nLength < index.texts.size());
    const std::string_view text(index.texts.data() + message.nOffset, message.nLength);
    Require(!text.empty() && kxu::platform::IsValidUtf8(text));
    const int nLangId = static_cast<int>(message.nKey & 0xFFFF);
    Require(index.Find(static_cast<int>(message.nKey >> 16), nLangId) == &message);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  MessageStoreIndex quick;
  const bool bGood = kxu::zutl96::ParseMessageStore(content, quick, nullptr);
  MessageStoreIndex full;
  StoreProblems problems;
  Require(kxu::zutl96::ParseMessageStore(content, full, &problems) == bGood);
  Require(HasError(problems) == !bGood);
  if (bGood) CheckIndex(quick);
  return 0;
}
