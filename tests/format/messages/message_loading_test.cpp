// The message exports over the sample stores that the build places beside
// this program: headings, languages, the filling rules of kxu_load_msg_str,
// both paths of kxu_load_msg_str_ex, the runtime store and the message box.
#include <kxutils96/format/messages/message_loading.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include <kxutils96/host/zutl96/zutl96.h>
#include <kxutils96/platform/framework/afx_message_box.h>
#include <kxutils96/platform/win32/win_resource.h>

#include "support/concurrently.h"
#include "support/program_path.h"
#include "support/utf8_path.h"

namespace {

constexpr int kEnglish = 1;
constexpr int kGerman = 2;
constexpr int kAbsentId = 12345;
constexpr const char* kUntouched = "untouched";

// "a" and euro signs, as many as fit whole in `nBufferSize` bytes with the NUL.
std::string CutLongText(int nBufferSize) {
  std::string text = "a";
  while (text.size() + 3 < static_cast<std::size_t>(nBufferSize)) text += "\xE2\x82\xAC";
  return text;
}

// Where modules carry string tables, the modules made from the sample stores
// lie beside the program and no store does: every text below comes through
// a string table. Elsewhere the stores themselves lie there.
TEST(SampleStores, CleanAndBesideTheProgramAsThisSystemsModules) {
  const bool bModules = kxu::platform::ModulesCarryStringTables();
  const std::filesystem::path folder = kxu::test::ProgramPath().parent_path();
  for (const char* name : {"zErrMsg", "ZKSmsg96"}) {
    const std::filesystem::path store =
        std::filesystem::path(KXU_SAMPLE_STORES_DIR) / (name + std::string(".kxmsg"));
    EXPECT_EQ(kxuCheckMessageStore(kxu::test::Utf8(store).c_str(), nullptr, nullptr), 0) << store;
    EXPECT_EQ(std::filesystem::exists(folder / (name + std::string(".dll"))), bModules);
    EXPECT_EQ(std::filesystem::exists(folder / (name + std::string(".kxmsg"))), !bModules);
  }
}

TEST(kxu_err_msg_heading, NumbersWarningsAndErrorsOnly) {
  const std::tuple<int, int, const char*> cases[] = {
      {9999, 0, kUntouched},    {10000, 1, "WARN0010000"}, {14999, 1, "WARN0014999"},
      {15000, 1, "ERR0015000"}, {19999, 1, "ERR0019999"},  {20000, 0, kUntouched}};
  for (const auto& [nID, nResult, expected] : cases) {
    CStringUTF8 heading(kUntouched);
    EXPECT_EQ(kxu_err_msg_heading(nID, &heading), nResult) << nID;
    EXPECT_STREQ(heading.GetString(), expected) << nID;
  }
  EXPECT_EQ(kxu_err_msg_heading(15000, nullptr), 1);
}

// The filling rules of kxu_load_msg_str, each row under the first rule that
// applies: 1. two %s and no %d take both texts and no int; 2. %d and %s take
// the int and the first text, in the order they stand; 3. %d takes the int and
// no first text; 4. %s takes the first text and no int; 5. a text with neither
// is copied as it is, whatever is given. A row that fits no rule fails.
TEST(kxu_load_msg_str, FillsByTheFirstRuleThatApplies) {
  // Id, first text, whether an int is given, second text, result and the text.
  const std::tuple<int, const char*, bool, const char*, int, const char*> rows[] = {
      {10005, "A", false, "B", 1, "WARN0010005: Copy the settings of A to B?"},
      {10005, "A", true, "B", 0, kUntouched},
      {10002, "B", true, nullptr, 1, "WARN0010002: Column B holds 4 missing values."},
      {10003, "B", true, "unused", 1,
       "WARN0010003: 4 values in column B were clipped to the axis range."},
      {10002, nullptr, true, nullptr, 1, "WARN0010002: Column %s holds 4 missing values."},
      {10002, "B", false, nullptr, 1, "WARN0010002: Column B holds %d missing values."},
      {10001, nullptr, true, nullptr, 1, "WARN0010001: Only 4 rows could be read."},
      {10001, nullptr, false, nullptr, 0, kUntouched},
      {10000, "Sheet1", false, nullptr, 1, "WARN0010000: The worksheet Sheet1 is empty."},
      {10000, nullptr, true, nullptr, 0, kUntouched},
      {100, nullptr, false, nullptr, 1, "Data Import"},
  };
  for (const auto& [nID, lpcsz1, bValue, lpcsz2, nResult, expected] : rows) {
    int nValue = 4;
    CStringUTF8 text(kUntouched);
    EXPECT_EQ(kxu_load_msg_str(nID, &text, lpcsz1, bValue ? &nValue : nullptr, lpcsz2, kEnglish),
              nResult)
        << nID;
    EXPECT_STREQ(text.GetString(), expected);
  }
  // Without a string it only finds the message.
  EXPECT_EQ(kxu_load_msg_str(10002, nullptr, nullptr, nullptr, nullptr, kEnglish), 1);
  EXPECT_EQ(kxu_load_msg_str(kAbsentId, nullptr, nullptr, nullptr, nullptr, kEnglish), 0);
}

TEST(kxu_load_msg_str_ex, FormatsOrderedSignsOrPrintfStyleAndFailsWithoutTouchingTheString) {
  CStringUTF8 text(kUntouched);
  EXPECT_EQ(kxu_load_msg_str_ex(kAbsentId, &text, kEnglish, 1, 2), 0);
  EXPECT_STREQ(text.GetString(), kUntouched);
  EXPECT_EQ(kxu_load_msg_str_ex(10006, nullptr, kEnglish, 12, "Data"), 0);
  EXPECT_EQ(kxu_load_msg_str_ex(10006, &text, kEnglish, 12, "Data"), 1);
  EXPECT_STREQ(text.GetString(), "WARN0010006: Sheet Data has 12 rows.");
  // A single ordered sign leaves the formatter's error.
  EXPECT_EQ(kxu_load_msg_str_ex(15003, &text, kEnglish, "x"), 0);
  EXPECT_STREQ(text.GetString(), "ERROR: Too many or too few format sign");
  // "}%" at the very start is no ordered sign: printf-style, with one value,
  // here long enough that the text is formatted past the stack's scratch.
  const std::string strValue(600, 'v');
  EXPECT_EQ(kxu_load_msg_str_ex(102, &text, kEnglish, strValue.c_str()), 1);
  EXPECT_EQ(text.GetString(), "}" + strValue + " closes the group without an opening brace.");
}

TEST(kxu_load_runtime_err, LoadsWithoutHeadingInTheDefaultLanguage) {
  CStringUTF8 text(kUntouched);
  EXPECT_EQ(kxu_load_runtime_err(2099, &text), 1021);  // cut to the 1024-byte buffer
  EXPECT_EQ(text.GetString(), CutLongText(1024));
  text = kUntouched;
  EXPECT_EQ(kxu_load_runtime_err(15000, &text), 0);
  EXPECT_STREQ(text.GetString(), kUntouched);
  EXPECT_EQ(kxu_load_runtime_err(2001, nullptr), 0);
}

// The last box shown (its text and style) and how many were, each answered with Cancel.
struct ShownBoxes {
  std::u16string text;
  UINT nType = 0;
  int nCalls = 0;
} g_shown;

int RecordBox(LPCWSTR lpszText, UINT nType, UINT) {
  g_shown = {lpszText, nType, g_shown.nCalls + 1};
  return IDCANCEL;
}

TEST(kxu_err_msgbox, ShowsTheFilledMessageWithItsStyleOrAnEmptyBox) {
  const AfxMessageBoxHandler pfnBefore = AfxSetMessageBoxHandler(RecordBox);
  EXPECT_EQ(kxu_err_msgbox(15000, MB_OKCANCEL | MB_ICONERROR, "a.csv", nullptr, nullptr), IDCANCEL);
  EXPECT_EQ(g_shown.text, u"ERR0015000: The file a.csv could not be opened.");
  EXPECT_EQ(g_shown.nType, MB_OKCANCEL | MB_ICONERROR);
  // Any one argument fills (here it cannot: no first text); none loads the plain text.
  kxu_err_msgbox(15000, MB_OK, nullptr, nullptr, "b.csv");
  EXPECT_EQ(g_shown.text, u"");
  kxu_err_msgbox(15000, MB_OK, nullptr, nullptr, nullptr);
  EXPECT_EQ(g_shown.text, u"ERR0015000: The file %s could not be opened.");
  EXPECT_EQ(kxu_err_msgbox(kAbsentId, MB_ICONWARNING, nullptr, nullptr, nullptr), IDCANCEL);
  EXPECT_EQ(g_shown.nCalls, 4);
  EXPECT_EQ(g_shown.text, u"");
  AfxSetMessageBoxHandler(pfnBefore);
}

// Each thread may load the store or find the one another loaded; either way
// every lookup finds the message, in the asked language with its heading.
TEST(ErrorStoreThreads, FirstLookupsOnManyThreadsAllFindTheMessage) {
  kxu::test::RunConcurrently(kxu::test::kThreads, [](int) {
    CStringUTF8 text;
    EXPECT_EQ(kxu_load_err_msg_str(15000, &text, kGerman), 1);
    EXPECT_STREQ(text.GetString(),
                 "ERR0015000: Die Datei %s konnte nicht ge\xC3\xB6\x66\x66net werden.");
  });
}

}  // namespace
