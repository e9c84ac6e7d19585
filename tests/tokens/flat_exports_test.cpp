// The flat exports of the tokens folder: which host objects they ask, with
// which query, in which order, and what a missing one gives.
#include <kxutils96/tokens/csv_line.h>
#include <kxutils96/tokens/join_tokens.h>
#include <kxutils96/tokens/key_values.h>
#include <kxutils96/tokens/numeric_suffix.h>
#include <kxutils96/tokens/separate_by_str.h>

#include <gtest/gtest.h>

#include "support/array_text.h"
#include "support/mock_host_object.h"

namespace {

using kxu::test::ArrayOf;
using kxu::test::MockHostObject;
using kxu::test::QueryLog;
using kxu::test::Texts;
using kxu::test::TextsOf;

class FlatExportsTest : public ::testing::Test {
 protected:
  FlatExportsTest() : first(log), second(log), empty(log) {
    first.Answer(QUERY_STRING_ARRAY, &firstArray);
    second.Answer(QUERY_STRING_ARRAY, &secondArray);
  }

  // True when the log holds exactly one string-array query per object, in order.
  bool AskedInOrder(std::initializer_list<const HostObject*> objects) const {
    if (log.size() != objects.size()) return false;
    std::size_t i = 0;
    for (const HostObject* pObject : objects) {
      const auto& query = log[i++];
      if (query.pObject != pObject || query.nQuery != QUERY_STRING_ARRAY || query.nParam != 0)
        return false;
    }
    return true;
  }

  QueryLog log;
  CZQVStringArray firstArray;
  CZQVStringArray secondArray;
  MockHostObject first;
  MockHostObject second;
  MockHostObject empty;  // yields no array
};

TEST_F(FlatExportsTest, SeparateByStrGuardsEveryPointer) {
  EXPECT_EQ(kxu_separate_by_str(nullptr, &first, ","), -1);
  EXPECT_EQ(kxu_separate_by_str("a", nullptr, ","), -1);
  EXPECT_EQ(kxu_separate_by_str("a", &first, nullptr), -1);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(kxu_separate_by_str("a,b", &first, ","), 2);
  EXPECT_TRUE(AskedInOrder({&first}));
  EXPECT_EQ(TextsOf(firstArray), (Texts{"a", "b"}));
}

TEST_F(FlatExportsTest, SeparateByStrHandsOnAMissingArray) {
  EXPECT_EQ(kxu_separate_by_str("a,b", &empty, ","), -1);
  EXPECT_TRUE(AskedInOrder({&empty}));
}

TEST_F(FlatExportsTest, SetTokensByStrGuardsEveryPointer) {
  CStringUTF8 strResult("keep");
  EXPECT_EQ(kxu_set_tokens_by_str(nullptr, &first, ","), -1);
  EXPECT_EQ(kxu_set_tokens_by_str(&strResult, nullptr, ","), -1);
  EXPECT_EQ(kxu_set_tokens_by_str(&strResult, &first, nullptr), -1);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(strResult, "keep");
  firstArray = ArrayOf({"x", "y"});
  EXPECT_EQ(kxu_set_tokens_by_str(&strResult, &first, "--"), 2);
  EXPECT_TRUE(AskedInOrder({&first}));
  EXPECT_EQ(strResult, "x--y");
}

TEST_F(FlatExportsTest, SeparateKeyValuesAsksKeysThenValues) {
  EXPECT_EQ(kxu_separate_key_values("a=1;b=2", &first, &second, ';'), 2);
  EXPECT_TRUE(AskedInOrder({&first, &second}));
  EXPECT_EQ(TextsOf(firstArray), (Texts{"a", "b"}));
  EXPECT_EQ(TextsOf(secondArray), (Texts{"1", "2"}));
}

TEST_F(FlatExportsTest, SeparateKeyValuesPassesANullObjectOn) {
  EXPECT_EQ(kxu_separate_key_values("a=1", nullptr, &second, ','), -1);
  EXPECT_TRUE(AskedInOrder({&second}));
  EXPECT_TRUE(secondArray.IsEmpty());
}

TEST_F(FlatExportsTest, MakeKeyValuesStrAsksKeysThenValues) {
  firstArray = ArrayOf({"k", "l"});
  secondArray = ArrayOf({"v", "w"});
  CStringUTF8 strResult;
  EXPECT_EQ(kxu_make_key_values_str(&strResult, &second, &first, ';'), 2);
  EXPECT_TRUE(AskedInOrder({&second, &first}));
  EXPECT_EQ(strResult, "v=k;w=l");
}

TEST_F(FlatExportsTest, MakeKeyValuesStrPassesANullObjectOn) {
  CStringUTF8 strResult("keep");
  EXPECT_EQ(kxu_make_key_values_str(&strResult, &first, nullptr, ','), -1);
  EXPECT_TRUE(AskedInOrder({&first}));
  EXPECT_EQ(strResult, "keep");
}

TEST_F(FlatExportsTest, TokenizeOneCsvLineFillsTheObject) {
  EXPECT_EQ(kxu_tokenize_one_csv_line("p,\"q,r\"", &first), 2);
  EXPECT_TRUE(AskedInOrder({&first}));
  EXPECT_EQ(TextsOf(firstArray), (Texts{"p", "q,r"}));
  EXPECT_EQ(kxu_tokenize_one_csv_line("p", nullptr), -1);
  EXPECT_EQ(kxu_tokenize_one_csv_line("p", &empty), -1);
}

TEST_F(FlatExportsTest, SeparateCharWithNumericSuffixRefusesDuplicates) {
  EXPECT_EQ(kxu_separate_char_with_numeric_suffix("AB1A", &first, "A", "B"),
            kxu::tokens::kSuffixDuplicate);
  EXPECT_TRUE(AskedInOrder({&first}));
  EXPECT_EQ(TextsOf(firstArray), (Texts{"A", "B1"}));
  EXPECT_EQ(kxu_separate_char_with_numeric_suffix("A", nullptr, "A", "B"), -1);
}

}  // namespace
