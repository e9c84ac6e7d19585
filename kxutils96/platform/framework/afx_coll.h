// CArray: the framework's growable array, with the framework's layout (virtual
// table, element address, count, capacity, growth step) so that a host module
// can hand one across and the library can read it in place.
//
// Elements are relocated as raw bytes when the storage grows, as the framework
// does; every element type used with CArray must stay valid when moved so
// (plain values and the library's one-pointer strings do). New elements are
// value-initialised (0 for numbers). An index outside the array, or a negative
// size or count, raises CInvalidArgException; a failed allocation raises
// CMemoryException.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include <kxutils96/platform/framework/afx_exception.h>
#include <kxutils96/platform/framework/afx_object.h>
#include <kxutils96/platform/framework/afx_string.h>

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CObject {
 public:
  CArray() = default;
  CArray(const CArray&) = delete;
  CArray& operator=(const CArray&) = delete;
  ~CArray() override { RemoveAll(); }

  INT_PTR GetSize() const noexcept { return m_nSize; }
  INT_PTR GetCount() const noexcept { return m_nSize; }
  BOOL IsEmpty() const noexcept { return m_nSize == 0; }
  INT_PTR GetUpperBound() const noexcept { return m_nSize - 1; }

  // Makes the count `nNewSize`: drops elements from the end or appends
  // value-initialised ones. `nGrowBy` >= 0 sets the growth step (0 = automatic).
  void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1) {
    if (nNewSize < 0) AfxThrowInvalidArgException();
    if (nGrowBy >= 0) m_nGrowBy = nGrowBy;
    if (nNewSize > m_nMaxSize) GrowTo(nNewSize);
    for (INT_PTR i = m_nSize; i < nNewSize; ++i) ::new (static_cast<void*>(m_pData + i)) TYPE();
    for (INT_PTR i = nNewSize; i < m_nSize; ++i) m_pData[i].~TYPE();
    m_nSize = nNewSize;
  }

  // Destroys every element and frees the storage.
  void RemoveAll() noexcept {
    for (INT_PTR i = 0; i < m_nSize; ++i) m_pData[i].~TYPE();
    std::free(m_pData);
    m_pData = nullptr;
    m_nSize = m_nMaxSize = 0;
  }

  const TYPE& GetAt(INT_PTR nIndex) const { return m_pData[CheckedIndex(nIndex)]; }
  TYPE& GetAt(INT_PTR nIndex) { return m_pData[CheckedIndex(nIndex)]; }
  void SetAt(INT_PTR nIndex, ARG_TYPE newElement) { m_pData[CheckedIndex(nIndex)] = newElement; }
  TYPE& ElementAt(INT_PTR nIndex) { return m_pData[CheckedIndex(nIndex)]; }
  const TYPE& ElementAt(INT_PTR nIndex) const { return m_pData[CheckedIndex(nIndex)]; }
  const TYPE& operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
  TYPE& operator[](INT_PTR nIndex) { return ElementAt(nIndex); }

  const TYPE* GetData() const noexcept { return m_pData; }
  TYPE* GetData() noexcept { return m_pData; }

  // Sets element `nIndex`, growing the array first when it is past the end.
  void SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement) {
    if (nIndex < 0) AfxThrowInvalidArgException();
    if (nIndex >= m_nSize) {
      TYPE copy(newElement);  // `newElement` may live in this array
      SetSize(nIndex + 1);
      m_pData[nIndex] = std::move(copy);
      return;
    }
    m_pData[nIndex] = newElement;
  }

  // Appends a copy; returns its index.
  INT_PTR Add(ARG_TYPE newElement) {
    INT_PTR nIndex = m_nSize;
    SetAtGrow(nIndex, newElement);
    return nIndex;
  }

  // Inserts `nCount` copies of `newElement` before `nIndex`; an index past the
  // end grows the array to it first.
  void InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount = 1) {
    if (nIndex < 0 || nCount <= 0) {
      if (nIndex < 0 || nCount < 0) AfxThrowInvalidArgException();
      return;
    }
    TYPE copy(newElement);
    INT_PTR nOldSize = m_nSize;
    if (nIndex >= m_nSize) {
      SetSize(nIndex + nCount);
    } else {
      SetSize(m_nSize + nCount);
      // The tail moves up as raw bytes; the slots it leaves are re-created.
      for (INT_PTR i = nOldSize; i < m_nSize; ++i) m_pData[i].~TYPE();
      std::memmove(static_cast<void*>(m_pData + nIndex + nCount),
                   static_cast<const void*>(m_pData + nIndex),
                   static_cast<size_t>(nOldSize - nIndex) * sizeof(TYPE));
      for (INT_PTR i = nIndex; i < nIndex + nCount; ++i)
        ::new (static_cast<void*>(m_pData + i)) TYPE();
    }
    for (INT_PTR i = nIndex; i < nIndex + nCount; ++i) m_pData[i] = copy;
  }

  // Removes `nCount` elements from `nIndex`; both must lie inside the array.
  void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1) {
    if (nIndex < 0 || nCount < 0 || nIndex + nCount > m_nSize) AfxThrowInvalidArgException();
    if (nCount == 0) return;
    for (INT_PTR i = nIndex; i < nIndex + nCount; ++i) m_pData[i].~TYPE();
    std::memmove(static_cast<void*>(m_pData + nIndex),
                 static_cast<const void*>(m_pData + nIndex + nCount),
                 static_cast<size_t>(m_nSize - nIndex - nCount) * sizeof(TYPE));
    m_nSize -= nCount;
  }

  // Replaces the content with copies of `src`'s elements.
  void Copy(const CArray& src) {
    if (this == &src) return;
    SetSize(src.m_nSize);
    for (INT_PTR i = 0; i < m_nSize; ++i) m_pData[i] = src.m_pData[i];
  }

  // Appends copies of `src`'s elements; returns the index of the first.
  INT_PTR Append(const CArray& src) {
    if (this == &src) AfxThrowInvalidArgException();
    INT_PTR nOldSize = m_nSize;
    SetSize(m_nSize + src.m_nSize);
    for (INT_PTR i = 0; i < src.m_nSize; ++i) m_pData[nOldSize + i] = src.m_pData[i];
    return nOldSize;
  }

 private:
  INT_PTR CheckedIndex(INT_PTR nIndex) const {
    if (nIndex < 0 || nIndex >= m_nSize) AfxThrowInvalidArgException();
    return nIndex;
  }

  // The framework's growth step: an eighth of the count, between 4 and 1024,
  // unless the caller set one.
  INT_PTR GrowthStep() const noexcept {
    if (m_nGrowBy > 0) return m_nGrowBy;
    INT_PTR nStep = m_nSize / 8;
    return nStep < 4 ? 4 : (nStep > 1024 ? 1024 : nStep);
  }

  void GrowTo(INT_PTR nNewSize) {
    INT_PTR nNewMax = m_nMaxSize + GrowthStep();
    if (nNewMax < nNewSize) nNewMax = nNewSize;
    // TYPE may itself be a pointer (CArray<CX*, CX*>); its size is what is meant.
    // NOLINTNEXTLINE(bugprone-sizeof-expression)
    constexpr INT_PTR kMaxElements = static_cast<INT_PTR>(SIZE_MAX / sizeof(TYPE) / 2);
    if (nNewMax > kMaxElements) AfxThrowMemoryException();
    // NOLINTNEXTLINE(bugprone-sizeof-expression)
    const size_t nBytes = static_cast<size_t>(nNewMax) * sizeof(TYPE);
    void* pNew = std::realloc(static_cast<void*>(m_pData), nBytes);
    if (pNew == nullptr) AfxThrowMemoryException();
    m_pData = static_cast<TYPE*>(pNew);
    m_nMaxSize = nNewMax;
  }

  TYPE* m_pData = nullptr;
  INT_PTR m_nSize = 0;
  INT_PTR m_nMaxSize = 0;
  INT_PTR m_nGrowBy = 0;
};

// The framework's array of wide strings.
class CStringArray : public CArray<CString, const CString&> {};
