#include <kxutils96/strings/zqv_string_array.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>
#include <stdexcept>
#include <utility>

#include <kxutils96/platform/checked_int.h>

namespace {

// Strings are read in pieces that grow with the data actually delivered, so a
// corrupt length cannot make the loader allocate more than the archive holds.
constexpr UINT kFirstReadChunk = 64 * 1024;

// Above this many announced elements the loader first checks that the archive
// has at least one byte left per element.
constexpr DWORD kUncheckedCount = 0xFFFF;

// Reads exactly `nLength` stored bytes into the empty `text`, which then
// ends at the first NUL among them.
void ReadStoredBytes(CArchive& ar, UINT nLength, CStringUTF8& text) {
  if (nLength > static_cast<UINT>(INT_MAX - 1)) AfxThrowMemoryException();
  UINT nRead = 0;
  while (nRead < nLength) {
    const UINT nWant = std::min(nLength - nRead, std::max(nRead, kFirstReadChunk));
    char* pBuffer = text.GetBuffer(kxu::platform::CheckedInt(nRead + nWant));
    const UINT nGot = ar.Read(pBuffer + nRead, nWant);
    nRead += nGot;
    text.ReleaseBuffer(kxu::platform::CheckedInt(nRead));
    if (nGot < nWant) AfxThrowArchiveException(CArchiveException::endOfFile);
  }
  const int nText = kxu::platform::CheckedInt(strnlen(text, nLength));
  if (nText != kxu::platform::CheckedInt(nLength)) {
    text.GetBuffer();
    text.ReleaseBuffer(nText);
  }
}

// Loads the next element into `element`, which keeps its text when the load
// fails. An empty element is read into directly (and emptied again on
// failure), which spares a string to move in.
void LoadElement(CArchive& ar, CStringUTF8& element) {
  int nCharSize = 0;
  const UINT nLength = AfxReadStringLength(ar, nCharSize);
  if (nCharSize != 1) AfxThrowArchiveException(CArchiveException::badSchema);
  if (nLength == 0xFFFFFFFFu) AfxThrowOleException(kHResultArithmeticOverflow);
  if (!element.IsEmpty()) {
    CStringUTF8 text;
    ReadStoredBytes(ar, nLength, text);
    element = std::move(text);
    return;
  }
  try {
    ReadStoredBytes(ar, nLength, element);
  } catch (...) {
    element.Empty();
    throw;
  }
}

// Moves `pSource` into uninitialised `pTarget` as raw bytes; the source is
// then dead storage that must not be destroyed.
void Relocate(CStringUTF8* pTarget, CStringUTF8* pSource) noexcept {
  std::memcpy(static_cast<void*>(pTarget), static_cast<const void*>(pSource), sizeof(CStringUTF8));
}

}  // namespace

CZQVStringArray::CZQVStringArray(const CZQVStringArray& other) : CZQVStringArray() {
  Reserve(other.GetSize());
  for (const CStringUTF8* p = other.m_storage.pFirst; p != other.m_storage.pLast; ++p) {
    ::new (static_cast<void*>(m_storage.pLast)) CStringUTF8(*p);
    ++m_storage.pLast;
  }
}

CZQVStringArray::CZQVStringArray(CZQVStringArray&& other) noexcept
    : CObject(other), m_storage(std::exchange(other.m_storage, Storage{})) {}

CZQVStringArray& CZQVStringArray::operator=(const CZQVStringArray& other) {
  if (this != &other) *this = CZQVStringArray(other);
  return *this;
}

CZQVStringArray& CZQVStringArray::operator=(CZQVStringArray&& other) noexcept {
  std::swap(m_storage, other.m_storage);
  return *this;
}

CZQVStringArray::~CZQVStringArray() {
  DestroyRange(m_storage.pFirst, m_storage.pLast);
  std::free(m_storage.pFirst);
}

int CZQVStringArray::Add(const char* psz) {
  CStringUTF8 text(psz);
  return AddOwned(text);
}

int CZQVStringArray::Add(const CStringUTF8& str) {
  // Copy first: `str` may be an element that growing would move.
  CStringUTF8 copy(str);
  return AddOwned(copy);
}

int CZQVStringArray::Add(CStringUTF8&& str) {
  const bool bElement = std::less_equal<const CStringUTF8*>()(m_storage.pFirst, &str) &&
                        std::less<const CStringUTF8*>()(&str, m_storage.pLast);
  if (bElement) return Add(static_cast<const CStringUTF8&>(str));
  return AddOwned(str);
}

int CZQVStringArray::AddOwned(CStringUTF8& owned) {
  const int nIndex = GetSize();
  Reserve(nIndex + 1);
  Relocate(m_storage.pLast, &owned);
  ::new (static_cast<void*>(&owned)) CStringUTF8();  // `owned` was moved out as bytes
  ++m_storage.pLast;
  return nIndex;
}

void CZQVStringArray::SetSize(int n, int /*nGrowBy*/) {
  if (n < 0) AfxThrowInvalidArgException();
  const int nCount = GetSize();
  if (n < nCount) {
    DestroyRange(m_storage.pFirst + n, m_storage.pLast);
  } else {
    Reserve(n);
    for (CStringUTF8* p = m_storage.pLast; p != m_storage.pFirst + n; ++p) {
      ::new (static_cast<void*>(p)) CStringUTF8();
    }
  }
  m_storage.pLast = m_storage.pFirst + n;
}

void CZQVStringArray::RemoveAll() noexcept {
  DestroyRange(m_storage.pFirst, m_storage.pLast);
  m_storage.pLast = m_storage.pFirst;
}

void CZQVStringArray::RemoveAt(int i, int n) {
  if (i < 0 || n < 0) AfxThrowInvalidArgException();
  const int nCount = GetSize();
  if (i >= nCount) return;
  n = std::min(n, nCount - i);
  CStringUTF8* pGap = m_storage.pFirst + i;
  DestroyRange(pGap, pGap + n);
  std::memmove(static_cast<void*>(pGap), static_cast<const void*>(pGap + n),
               static_cast<size_t>(nCount - i - n) * sizeof(CStringUTF8));
  m_storage.pLast -= n;
}

void CZQVStringArray::Serialize(CArchive& ar) {
  if (ar.IsLoading()) {
    Load(ar);
  } else {
    Store(ar);
  }
}

int CZQVStringArray::CheckedIndex(int i) const {
  if (i < 0 || i >= GetSize()) AfxThrowInvalidArgException();
  return i;
}

void CZQVStringArray::Reserve(int nNewCount) {
  if (nNewCount <= Capacity()) return;
  if (nNewCount > kMaxElements) throw std::length_error("vector<T> too long");
  const int nNewCapacity = GrownCapacity(nNewCount);
  const int nCount = GetSize();
  // Elements stay valid when moved as raw bytes, so realloc may move them.
  void* pNew = std::realloc(static_cast<void*>(m_storage.pFirst),
                            static_cast<size_t>(nNewCapacity) * sizeof(CStringUTF8));
  if (pNew == nullptr) throw std::bad_alloc();
  m_storage.pFirst = static_cast<CStringUTF8*>(pNew);
  m_storage.pLast = m_storage.pFirst + nCount;
  m_storage.pEnd = m_storage.pFirst + nNewCapacity;
}

// Half as much again as the current capacity, or what is needed if that is
// more, never past the maximum.
int CZQVStringArray::GrownCapacity(int nNewCount) const {
  const int nCapacity = Capacity();
  if (nCapacity > kMaxElements - nCapacity / 2) return kMaxElements;
  return std::max(nNewCount, nCapacity + nCapacity / 2);
}

void CZQVStringArray::DestroyRange(CStringUTF8* pFirst, CStringUTF8* pLast) noexcept {
  for (CStringUTF8* p = pFirst; p != pLast; ++p) p->~CStringUTF8();
}

void CZQVStringArray::Store(CArchive& ar) const {
  ar.WriteCount(static_cast<DWORD>(GetSize()));
  for (const CStringUTF8* p = m_storage.pFirst; p != m_storage.pLast; ++p) {
    const int nLength = p->GetLength();
    AfxWriteStringLength(ar, static_cast<UINT_PTR>(nLength), FALSE);
    ar.Write(p->GetString(), static_cast<UINT>(nLength));
  }
}

void CZQVStringArray::Load(CArchive& ar) {
  const DWORD nCount = ar.ReadCount();
  if (nCount > kUncheckedCount) {
    const LONGLONG nRemaining = ar.GetRemainingLength();
    if (nRemaining >= 0 && static_cast<LONGLONG>(nCount) > nRemaining) {
      AfxThrowArchiveException(CArchiveException::endOfFile);
    }
  }
  if (nCount > static_cast<DWORD>(kMaxElements)) throw std::length_error("vector<T> too long");
  SetSize(kxu::platform::CheckedInt(nCount));
  for (CStringUTF8* p = m_storage.pFirst; p != m_storage.pLast; ++p) LoadElement(ar, *p);
}
