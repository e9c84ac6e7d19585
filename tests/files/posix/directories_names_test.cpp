// Directory copy and delete with names that only POSIX file systems hold:
// bytes that are not UTF-8, and a backslash inside a name.
#include <kxutils96/files/text_file_reader.h>

#include "files/directories_fixture.h"

namespace {

using namespace kxu::test;
using namespace kxu::files;  // the result codes

// Names that are not UTF-8 are copied, deleted and read like others; a
// backslash inside a name never acts as a separator.
TEST_F(Directories, NamesThatAreNotUtf8OrHoldABackslash) {
  MakeTree("src", {"a", "caf\xE9.txt", "d\xFF/\xC3", "z"});
  EXPECT_EQ(Copy("dst"), kDirectoryDone);
  EXPECT_EQ(TreeOf("dst"), TreeOf("src"));
  EXPECT_EQ(kxuDelFiles(P("dst").c_str(), "*.*", nullptr), 3);
  EXPECT_EQ(kxuDelFiles(P("dst/d\xFF").c_str(), "*.*", nullptr), 1);
  EXPECT_EQ(TreeOf("dst"), (Paths{"d\xFF/"}));
  CStringUTF8 strText;
  EXPECT_EQ(kxu_read_text_file(P("src/caf\xE9.txt").c_str(), &strText, 0), 1);

  MakeTree("b", {"victim", "D/x/inner", "D/x\\inner", "D/..\\victim", "D/x\\..\\..\\victim"});
  Paths expected = TreeOf("b");
  EXPECT_EQ(kxuDelFiles(P("b/D").c_str(), "*.*", nullptr), 0);
  EXPECT_EQ(kxuCopyDirectory(P("b/D").c_str(), P("b/C").c_str(), 1, nullptr, nullptr, 0),
            kDirectoryDone);
  expected.insert({"C/", "C/x/", "!C/x/inner"});
  EXPECT_EQ(TreeOf("b"), expected);
}

}  // namespace
