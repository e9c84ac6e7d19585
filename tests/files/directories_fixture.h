// A fresh folder and its trees of files, for the tests of directory copy
// and delete.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <kxutils96/files/directories.h>
#include <support/file_bytes.h>
#include <support/temp_dir.h>
#include <support/utf8_path.h>

namespace kxu::test {

using Paths = std::set<std::string>;
namespace fs = std::filesystem;

class Directories : public testing::Test {
 protected:
  // Creates the entries under `name`: one ending in '/' is a folder, any
  // other a file holding its own name.
  void MakeTree(const std::string& name, const std::vector<std::string>& entries) {
    fs::create_directories(m_dir.Path(name));
    for (const std::string& entry : entries) {
      const fs::path path = m_dir.Path(name + "/" + entry);
      fs::create_directories(entry.back() == '/' ? path : path.parent_path());
      if (entry.back() != '/') WriteBytes(path, entry);
    }
  }
  // Every entry below `name`, folders with a trailing '/', files that do not
  // hold their own name marked "!name".
  Paths TreeOf(const std::string& name) const {
    Paths paths;
    for (const auto& entry : fs::recursive_directory_iterator(m_dir.Path(name))) {
      const std::string path = GenericUtf8(fs::relative(entry.path(), m_dir.Path(name)));
      paths.insert(entry.is_directory()              ? path + "/"
                   : ReadBytes(entry.path()) == path ? path
                                                     : "!" + path);
    }
    return paths;
  }
  // The files directly in `name`, in the order the system lists them.
  std::vector<std::string> ListingOrder(const std::string& name) const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(m_dir.Path(name)))
      names.push_back(Utf8(entry.path().filename()));
    return names;
  }
  std::string P(const std::string& name) const { return Utf8(m_dir.Path(name)); }
  int Copy(const std::string& to, int bNested = 0) {
    return kxuCopyDirectory(P("src").c_str(), P(to).c_str(), 1, nullptr, nullptr, bNested);
  }

  TempDir m_dir;
};

}  // namespace kxu::test
