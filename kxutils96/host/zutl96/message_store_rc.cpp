// The resource script of the message module that a message store makes: one
// string table for each language of the store.
#include <kxutils96/host/zutl96/message_store.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <kxutils96/host/zutl96/detail/message_store_parser.h>
#include <kxutils96/platform/text/unicode.h>
#include <kxutils96/platform/win32/win_resource.h>

namespace kxu::zutl96 {
namespace {

// One line of a string table: an id and its text, or an empty text that
// only marks the id as absent.
struct TableLine {
  int nID;
  std::string_view text;
};

std::string Hex(unsigned nValue, int nDigits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*X", nDigits, nValue);
  return buffer;
}

// `text` as a wide string literal of a resource script: ASCII as it is but
// for a doubled quote and escaped backslash, tab and line feed; every other
// UTF-16 unit as \x and exactly four hex digits, so that a hex digit after it
// is not taken into the escape.
std::string WideLiteral(std::string_view text) {
  std::string literal = "L\"";
  for (const WCHAR unit : kxu::platform::Utf8ToUtf16(text)) {
    if (unit == u'"') {
      literal += "\"\"";
    } else if (unit == u'\\') {
      literal += "\\\\";
    } else if (unit == u'\n') {
      literal += "\\n";
    } else if (unit == u'\t') {
      literal += "\\t";
    } else if (unit >= 0x20 && unit < 0x7F) {
      literal += static_cast<char>(unit);
    } else {
      literal += "\\x" + Hex(unit, 4);
    }
  }
  return literal + "\"";
}

void WriteTable(std::string& rc, const std::string& heading, int nLangId,
                const std::vector<TableLine>& lines) {
  if (lines.empty()) return;  // the resource compiler takes no empty table
  rc += "\n// " + heading + "\n";
  rc += "LANGUAGE 0x" + Hex(static_cast<unsigned>(nLangId) & 0x3FF, 2) + ", 0x" +
        Hex(static_cast<unsigned>(nLangId) >> 10, 2) + "\nSTRINGTABLE\nBEGIN\n";
  for (const TableLine& line : lines)
    rc += "  " + std::to_string(line.nID) + ", " + WideLiteral(line.text) + "\n";
  rc += "END\n";
}

}  // namespace

bool MessageStoreRc(std::string_view content, std::string& rc) {
  MessageStoreIndex index;
  if (!ParseMessageStore(content, index, nullptr)) return false;
  // The messages come sorted by id, so each table lists its ids in order.
  std::vector<TableLine> neutral;
  std::map<int, std::vector<TableLine>> others;  // by language
  std::set<int> absentFromDefault;
  for (const StoredMessage& message : index.messages) {
    const int nID = static_cast<int>(message.nKey >> 16);
    const int nLangId = static_cast<int>(message.nKey & 0xFFFF);
    const std::string_view text =
        std::string_view(index.texts).substr(message.nOffset, message.nLength);
    if (nLangId == index.nDefaultLangId) {
      neutral.push_back({nID, text});
    } else {
      others[nLangId].push_back({nID, text});
      if (index.Find(nID, 0) == nullptr) absentFromDefault.insert(nID);
    }
  }
  // A message without a default-language text is found in its own languages
  // only: the neutral table lists it empty, so that its block is there in the
  // module's default language and answers that there is no such text.
  for (const int nID : absentFromDefault) neutral.push_back({nID, {}});
  std::sort(neutral.begin(), neutral.end(),
            [](const TableLine& a, const TableLine& b) { return a.nID < b.nID; });
  rc = "// The message module of a message store, made by kxu make-rc. The default\n"
       "// language's texts are neutral: the module gives them for any language it\n"
       "// lacks. Compile with windres and link as a DLL without code.\n";
  WriteTable(rc, "The default language, 0x" + Hex(static_cast<unsigned>(index.nDefaultLangId), 4),
             LANG_NEUTRAL, neutral);
  for (const auto& [nLangId, lines] : others)
    WriteTable(rc, "Language 0x" + Hex(static_cast<unsigned>(nLangId), 4), nLangId, lines);
  return true;
}

}  // namespace kxu::zutl96
