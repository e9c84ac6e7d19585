#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include <kxutils96/host/zutl96/zutl96.h>
#include <support/file_bytes.h>
#include <support/temp_dir.h>
#include <support/utf8_path.h>

using namespace kxu::zutl96;

namespace {

using namespace kxu::test;
using namespace std::string_literals;

TEST(KESUTIL_DetectEncodingFile, DecidesFromTheFirstBytes) {
  // Bytes, whether UTF-16 patterns are looked for, and the answer.
  const std::tuple<std::string, int, int> rows[] = {
      {"\xEF\xBB\xBFnon\xE9", 1,
       kEncodingUtf8},  // a mark decides (the reader's tests hold the others)
      {"Gr\xC3\xBC\xC3\x9F", 1, kEncodingUtf8},
      {"caf\xE9", 1, kEncodingCodePage},
      {"h\0e\0l\0l\0o\0"s, 1, kEncodingUtf16LE},
      {"\0h\0e\0l\0l\0o"s, 1, kEncodingUtf16BE},
      {"h\0e\0l\0l\0o\0"s, 0, kEncodingUtf8},
      {"\x89PNG\0\0\0\0\x01\x02\0\0"s, 1, kEncodingCodePage},    // zeros at both positions
      {std::string(65535, 'a') + "\xC3\xA9", 1, kEncodingUtf8},  // cut by the 64 KiB sample
      {std::string(65536, 'a') + "\xE9", 1, kEncodingUtf8},      // invalid past the sample
      {std::string(65534, 'a') + "\xC0\x80more", 1, kEncodingCodePage}};  // ends at its end
  TempDir dir;
  for (const auto& [bytes, nFlags, expected] : rows) {
    WriteBytes(dir.Path("f.txt"), bytes);
    EXPECT_EQ(KESUTIL_DetectEncodingFile(Utf8(dir.Path("f.txt")).c_str(), 0, nFlags), expected)
        << testing::PrintToString(bytes.substr(0, 16));
  }
  // A file it cannot read answers UTF-8.
  EXPECT_EQ(KESUTIL_DetectEncodingFile(Utf8(dir.Path("missing")).c_str(), 0, 1), kEncodingUtf8);
}

}  // namespace
