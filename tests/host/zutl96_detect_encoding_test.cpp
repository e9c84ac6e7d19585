#include <gtest/gtest.h>

#include <string>

#include <kxutils96/host/zutl96/zutl96.h>
#include <support/file_bytes.h>
#include <support/temp_dir.h>
#include <support/utf8_path.h>

using namespace kxu::zutl96;

namespace {

using kxu::test::TempDir;
using kxu::test::Utf8;
using kxu::test::WriteBytes;
using namespace std::string_literals;

TEST(KESUTIL_DetectEncodingFile, DecidesFromTheFirstBytes) {
  const struct {
    const char* name;
    std::string bytes;
    int nFlags;  // 1: look for UTF-16 patterns
    int expected;
  } rows[] = {{"UTF-8 mark",
               "\xEF\xBB\xBF"
               "caf\xE9",
               1, kEncodingUtf8},
              {"UTF-16LE mark",
               "\xFF\xFE"
               "a",
               0, kEncodingUtf16LE},
              {"UTF-16BE mark only", "\xFE\xFF", 1, kEncodingUtf16BE},
              {"valid UTF-8",
               "Gr\xC3\xBC\xC3\x9F"
               "e",
               1, kEncodingUtf8},
              {"code page", "caf\xE9", 1, kEncodingCodePage},
              {"UTF-16LE pattern", "h\0e\0l\0l\0o\0"s, 1, kEncodingUtf16LE},
              {"UTF-16BE pattern", "\0h\0e\0l\0l\0o"s, 1, kEncodingUtf16BE},
              {"pattern not asked for: ASCII", "h\0e\0l\0l\0o\0"s, 0, kEncodingUtf8},
              {"zeros at both positions", "\x89PNG\0\0\0\0\x01\x02\0\0"s, 1, kEncodingCodePage},
              {"a sequence cut by the 64 KiB sample", std::string(65535, 'a') + "\xC3\xA9", 1,
               kEncodingUtf8},
              {"invalid past the sample", std::string(65536, 'a') + "\xE9", 1, kEncodingUtf8},
              {"an invalid sequence that ends at the sample's end",
               std::string(65534, 'a') + "\xC0\x80" + "more", 1, kEncodingCodePage}};
  TempDir dir;
  for (const auto& row : rows) {
    WriteBytes(dir.Path("f.txt"), row.bytes);
    EXPECT_EQ(KESUTIL_DetectEncodingFile(Utf8(dir.Path("f.txt")).c_str(), 0, row.nFlags),
              row.expected)
        << row.name;
  }
  // Files it cannot read answer UTF-8.
  EXPECT_EQ(KESUTIL_DetectEncodingFile(nullptr, 0, 1), kEncodingUtf8);
  EXPECT_EQ(KESUTIL_DetectEncodingFile(Utf8(dir.Path("missing")).c_str(), 0, 1), kEncodingUtf8);
}

}  // namespace
