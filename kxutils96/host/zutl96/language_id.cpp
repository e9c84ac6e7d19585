// utlLanguageToLangId: the host's language numbers and their identifiers.
#include <kxutils96/host/zutl96/message_store.h>

#include <array>

namespace {

// Index: the host's language number.
constexpr std::array<int, 5> kLanguageIds = {
    0,       // no language
    0x0409,  // 1 English (United States)
    0x0407,  // 2 German (Germany)
    0x0411,  // 3 Japanese
    0x0804,  // 4 Chinese (Simplified)
};

}  // namespace

int utlLanguageToLangId(int nLanguage) {
  if (nLanguage < 1 || nLanguage >= static_cast<int>(kLanguageIds.size())) return 0;
  return kLanguageIds[static_cast<std::size_t>(nLanguage)];
}
