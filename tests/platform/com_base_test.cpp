#include <kxutils96/platform/com_shell/com_base.h>

#include <gtest/gtest.h>

#include <thread>

#include <kxutils96/platform/win32/win_error.h>

namespace {

TEST(ComBase, HresultFromWin32CarriesTheErrorInFacilitySeven) {
  struct Case {
    DWORD dwError;
    HRESULT expected;
  };
  constexpr Case kCases[] = {
      {ERROR_SUCCESS, S_OK},
      {ERROR_FILE_NOT_FOUND, static_cast<HRESULT>(0x80070002u)},
      {ERROR_ACCESS_DENIED, static_cast<HRESULT>(0x80070005u)},
      {ERROR_NOT_FOUND, static_cast<HRESULT>(0x80070490u)},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(HRESULT_FROM_WIN32(c.dwError), c.expected) << c.dwError;
    EXPECT_EQ(FAILED(HRESULT_FROM_WIN32(c.dwError)), c.dwError != ERROR_SUCCESS) << c.dwError;
  }
}

TEST(ComBase, SuccessCodesAreTheNonNegativeOnes) {
  EXPECT_TRUE(SUCCEEDED(S_OK));
  EXPECT_TRUE(SUCCEEDED(S_FALSE));
  EXPECT_FALSE(SUCCEEDED(E_FAIL));
  EXPECT_TRUE(FAILED(E_INVALIDARG));
  EXPECT_TRUE(FAILED(E_NOTIMPL));
  EXPECT_FALSE(FAILED(S_FALSE));
}

TEST(ComBase, GuidsDifferInAnyField) {
  constexpr GUID kBase = {0x11223344, 0x5566, 0x7788, {1, 2, 3, 4, 5, 6, 7, 8}};
  EXPECT_TRUE(kBase == kBase);
  GUID other = kBase;
  other.Data1 ^= 1;
  EXPECT_FALSE(other == kBase);
  other = kBase;
  other.Data3 ^= 1;
  EXPECT_FALSE(other == kBase);
  for (int i = 0; i < 8; ++i) {
    other = kBase;
    other.Data4[i] ^= 0x80;
    EXPECT_FALSE(other == kBase) << i;
  }
}

// Runs `body` on a thread of its own, whose initialisation count starts at 0.
template <class Body>
void OnNewThread(Body body) {
  std::thread(body).join();
}

TEST(ComBase, InitialisationIsCountedPerThread) {
  OnNewThread([] {
    constexpr DWORD kApartment = COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE;
    EXPECT_EQ(CoInitializeEx(nullptr, kApartment), S_OK);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
    // Another thread has a count and a model of its own.
    OnNewThread([] { EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK); });
    CoUninitialize();
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE)
        << "one initialisation is still held";
    CoUninitialize();
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK)
        << "after the last uninitialisation the thread chooses again";
    CoUninitialize();
  });
}

TEST(ComBase, UninitialisingWithoutInitialisationDoesNothing) {
  OnNewThread([] {
    CoUninitialize();
    CoUninitialize();
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
  });
}

TEST(ComBase, BadInitialisationArgumentsAreRejectedAndNotCounted) {
  OnNewThread([] {
    int reserved = 0;
    EXPECT_EQ(CoInitializeEx(&reserved, COINIT_APARTMENTTHREADED), E_INVALIDARG);
    EXPECT_EQ(CoInitializeEx(nullptr, 0x10), E_INVALIDARG);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | 0x100), E_INVALIDARG);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
  });
}

TEST(ComBase, TaskMemoryHoldsWhatIsWritten) {
  for (const std::size_t cb : {std::size_t{0}, std::size_t{1}, std::size_t{4096}}) {
    auto* p = static_cast<unsigned char*>(CoTaskMemAlloc(cb));
    ASSERT_NE(p, nullptr) << cb;
    for (std::size_t i = 0; i < cb; ++i) p[i] = static_cast<unsigned char>(i);
    for (std::size_t i = 0; i < cb; ++i) ASSERT_EQ(p[i], static_cast<unsigned char>(i));
    CoTaskMemFree(p);
  }
}

}  // namespace
