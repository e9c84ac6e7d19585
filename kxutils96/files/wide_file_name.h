// A UTF-8 file name in UTF-16 for the framework's file classes, converted in
// one pass into a stack buffer of 1024 units, or into a heap buffer of one
// unit per byte when the name has 1024 bytes or more. Not exported.
#pragma once

#include <memory>

#include <kxutils96/platform/win32/win_types.h>

namespace kxu::files {

class WideFileName {
 public:
  // Converts the UTF-8 `lpcszFile` whole; a byte that is not part of UTF-8
  // becomes the lone surrogate U+DC00 plus the byte, as the directory search
  // reports such names, so that a name found can be opened again. A null
  // name stays null.
  // Example: WideFileName name("a\xC3\xA9.txt"); name.Get() is u"a\u00E9.txt";
  // WideFileName("caf\xE9").Get() is u"caf\uDCE9".
  explicit WideFileName(const char* lpcszFile);
  WideFileName(const WideFileName&) = delete;
  WideFileName& operator=(const WideFileName&) = delete;

  // The UTF-16 name, or null for a null name; valid while the object lives.
  const WCHAR* Get() const noexcept { return m_pName; }

 private:
  static constexpr int kStackUnits = 1024;

  WCHAR m_stack[kStackUnits];
  std::unique_ptr<WCHAR[]> m_heap;
  const WCHAR* m_pName = nullptr;
};

}  // namespace kxu::files
