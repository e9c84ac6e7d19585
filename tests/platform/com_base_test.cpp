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

// Runs `body` on a thread of its own, whose initialisation count starts at 0.
template <class Body>
void OnNewThread(Body body) {
  std::thread(body).join();
}

// What the shell service relies on: each call initialises and uninitialises
// on its own thread, which keeps a count and a model of its own.
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

}  // namespace
