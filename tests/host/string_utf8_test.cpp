// CStringUTF8 is the framework's narrow string underneath (whose own tests
// hold its rules against std::string); this checks that each of its forms
// reaches the operation it names and returns the UTF-8 string itself.
#include <kxutils96/host/zstrings96/zstrings96.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Std(const CStringUTF8& str) {
  return std::string(str.GetString(), static_cast<std::size_t>(str.GetLength()));
}

TEST(CStringUTF8Test, EachFormForwardsToItsOperation) {
  CStringUTF8 s(
      " \tGr\xC3\xBC\xC3\x9F"
      "e\xC2\xA0\r\n");
  EXPECT_EQ(Std(s.Trim().MakeUpper()),
            "GR\xC3\xBC\xC3\x9F"
            "E\xC2\xA0");  // bytes, ASCII rules
  EXPECT_EQ(Std(s.MakeLower().TrimLeft('g').TrimRight('\xA0').Trim('r')),
            "\xC3\xBC\xC3\x9F"
            "e\xC2");
  EXPECT_EQ(Std(s.Left(2) + "|" + s.Mid(2, 2) + "|" + s.Mid(4) + "|" + s.Right(1)),
            "\xC3\xBC|\xC3\x9F|e\xC2|\xC2");
  s = "ab";
  s += CStringUTF8("c");
  s += "d";
  s += 'e';
  s.Append("f");
  s.Append("gh", 1);
  s.Append(CStringUTF8("i"));
  EXPECT_TRUE(s == "abcdefgi" && !(s != "abcdefgi") && s != "abcdefg");
  EXPECT_EQ(Std("<" + s + ">"), "<abcdefgi>");
  EXPECT_EQ(Std(CStringUTF8('x', 3)), "xxx");
  s.Format("%s|%07d", s.GetString(), -42);
  EXPECT_EQ(Std(s), "abcdefgi|-000042");
}

}  // namespace
