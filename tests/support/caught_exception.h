// Catching the framework's exceptions in tests. They are thrown as pointers
// and must be released with Delete(); Caught<E>(action) runs `action` and
// hands back what it raised as an E, released when the result goes away.
//
//   auto error = kxu::test::Caught<CFileException>([&] { file.Seek(-1, CFile::begin); });
//   ASSERT_TRUE(error);
//   EXPECT_EQ(error->m_cause, CFileException::badSeek);
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <typeinfo>

#include <kxutils96/platform/framework/afx_exception.h>

namespace kxu::test {

struct ExceptionDeleter {
  void operator()(CException* e) const { e->Delete(); }
};

template <class E>
using CaughtPtr = std::unique_ptr<E, ExceptionDeleter>;

// The exception of type E that `action` raised; null, with a test failure,
// when it raised nothing or an exception of another type.
template <class E, class Action>
CaughtPtr<E> Caught(Action&& action) {
  try {
    action();
  } catch (CException* e) {
    CaughtPtr<CException> caught(e);
    if (auto* expected = dynamic_cast<E*>(e)) {
      caught.release();
      return CaughtPtr<E>(expected);
    }
    ADD_FAILURE() << "raised " << typeid(*e).name() << " instead of " << typeid(E).name();
    return nullptr;
  }
  ADD_FAILURE() << "raised nothing; expected " << typeid(E).name();
  return nullptr;
}

}  // namespace kxu::test
