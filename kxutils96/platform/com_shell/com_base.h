// The component-object base the shell layer is built on, with the system's
// contract: GUIDs and interface ids, HRESULT values and tests, IUnknown's
// reference counting, per-thread initialisation and the task allocator.
//
// Interfaces are classes of pure virtual functions. An object lives while it
// holds references: whoever receives an interface pointer from a call owns one
// reference and gives it back with Release; the object deletes itself when
// the last one goes.
#pragma once

#include <cstddef>

#include <kxutils96/platform/win32/win_types.h>

// A 128-bit identifier, laid out as the system lays it out.
struct GUID {
  DWORD Data1;
  WORD Data2;
  WORD Data3;
  BYTE Data4[8];
};
using IID = GUID;
using REFIID = const IID&;

constexpr bool operator==(const GUID& a, const GUID& b) noexcept {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (int i = 0; i < 8; ++i) {
    if (a.Data4[i] != b.Data4[i]) return false;
  }
  return true;
}

// A success code is zero or positive, a failure negative.
constexpr bool SUCCEEDED(HRESULT hr) noexcept {
  return hr >= 0;
}
constexpr bool FAILED(HRESULT hr) noexcept {
  return hr < 0;
}

// The failure HRESULT that carries the system error `dwError` (facility 7);
// 0 stays S_OK.
// Example: HRESULT_FROM_WIN32(ERROR_NOT_FOUND) == 0x80070490.
constexpr HRESULT HRESULT_FROM_WIN32(DWORD dwError) noexcept {
  return dwError == 0 ? 0 : static_cast<HRESULT>((dwError & 0xFFFFu) | 0x80070000u);
}

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
// CoInitializeEx on a thread already initialised with the other model.
inline constexpr HRESULT RPC_E_CHANGED_MODE = static_cast<HRESULT>(0x80010106u);

// The base of every interface.
struct IUnknown {
  // Stores in `*ppvObject` this object as the interface `riid`, with one more
  // reference, and returns S_OK; E_NOINTERFACE (and null) when the object
  // does not offer it, E_POINTER for a null `ppvObject`.
  virtual HRESULT QueryInterface(REFIID riid, void** ppvObject) noexcept = 0;
  // Adds a reference and returns the new count.
  virtual ULONG AddRef() noexcept = 0;
  // Gives back a reference and returns the new count; at 0 the object is
  // gone and the pointer must not be used again.
  virtual ULONG Release() noexcept = 0;

 protected:
  ~IUnknown() = default;  // objects go through Release, never delete
};

inline constexpr IID IID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// The threading models of CoInitializeEx, with its two hints.
inline constexpr DWORD COINIT_MULTITHREADED = 0x0;
inline constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;
inline constexpr DWORD COINIT_DISABLE_OLE1DDE = 0x4;
inline constexpr DWORD COINIT_SPEED_OVER_MEMORY = 0x8;

// Initialises the component layer on the calling thread, which keeps a count
// of its initialisations. The first call on a thread returns S_OK and fixes
// the thread's model (apartment-threaded when `dwCoInit` has
// COINIT_APARTMENTTHREADED, else multithreaded); each later call with the
// same model returns S_FALSE and counts too; a call with the other model
// returns RPC_E_CHANGED_MODE and does not count. A non-null `pvReserved`,
// or bits other than the flags above, give E_INVALIDARG.
// Example: on a new thread, CoInitializeEx(nullptr, 6) == S_OK, again S_FALSE,
// then CoInitializeEx(nullptr, COINIT_MULTITHREADED) == RPC_E_CHANGED_MODE.
HRESULT CoInitializeEx(void* pvReserved, DWORD dwCoInit) noexcept;

namespace kxu::platform {

// True when CoInitializeEx may act on its arguments: no reserved pointer and
// no bits beside the model and the two hints.
constexpr bool IsValidCoInitRequest(const void* pvReserved, DWORD dwCoInit) noexcept {
  constexpr DWORD kKnownFlags =
      COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE | COINIT_SPEED_OVER_MEMORY;
  return pvReserved == nullptr && (dwCoInit & ~kKnownFlags) == 0;
}

}  // namespace kxu::platform

// Undoes one successful CoInitializeEx of the calling thread; after the last
// one the thread may choose a model again. Without one it does nothing.
void CoUninitialize() noexcept;

// Memory that one side of an interface call allocates and the other frees
// (texts a getter hands out): CoTaskMemAlloc returns a block of `cb` bytes
// (a usable block also for 0) or null when out of memory; CoTaskMemFree
// releases one (null is ignored).
void* CoTaskMemAlloc(std::size_t cb) noexcept;
void CoTaskMemFree(void* pv) noexcept;
