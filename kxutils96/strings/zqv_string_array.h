// CZQVStringArray: the growable array of CStringUTF8 in which every splitting
// function returns its tokens and through which the host hands lists of
// strings to the library. Host modules create, fill and read these objects
// too, so the layout is shared: the virtual table, then one storage record of
// three addresses (first element, one past the last, one past the capacity).
// Element i lives at the first address plus i elements.
//
// The array owns its strings; copies of the array or of its elements are
// independent values. Growth keeps the elements contiguous and relocates them
// as raw bytes. Indices are zero-based; a negative index or count, and an
// index past the end where an element must exist, raise CInvalidArgException.
// Growing past 0x3FFFFFFF elements raises std::length_error("vector<T> too
// long"); a failed allocation raises std::bad_alloc.
//
// Example: a.Add("x"); a.Add("y"); a.RemoveAt(0, 5); leaves a.GetSize() == 0.
#pragma once

#include <kxutils96/host/zstrings96/zstrings96.h>
#include <kxutils96/kxu_export.h>
#include <kxutils96/platform/framework/afx_archive.h>
#include <kxutils96/platform/framework/afx_object.h>

class KXU_API CZQVStringArray : public CObject {
 public:
  // The most elements an array may hold.
  static constexpr int kMaxElements = 0x3FFFFFFF;

  CZQVStringArray() noexcept = default;
  CZQVStringArray(const CZQVStringArray& other);
  CZQVStringArray(CZQVStringArray&& other) noexcept;
  CZQVStringArray& operator=(const CZQVStringArray& other);
  CZQVStringArray& operator=(CZQVStringArray&& other) noexcept;
  ~CZQVStringArray() override;

  int GetSize() const noexcept { return static_cast<int>(m_storage.pLast - m_storage.pFirst); }
  int GetCount() const noexcept { return GetSize(); }
  BOOL IsEmpty() const noexcept { return m_storage.pLast == m_storage.pFirst; }
  // The first element, or null when the array is empty.
  CStringUTF8* GetData() noexcept { return IsEmpty() ? nullptr : m_storage.pFirst; }
  const CStringUTF8* GetData() const noexcept { return IsEmpty() ? nullptr : m_storage.pFirst; }

  // The element at `i` (0 <= i < count, else CInvalidArgException), writable in place.
  CStringUTF8& ElementAt(int i) { return m_storage.pFirst[CheckedIndex(i)]; }
  const CStringUTF8& GetAt(int i) const { return m_storage.pFirst[CheckedIndex(i)]; }
  CStringUTF8& operator[](int i) { return ElementAt(i); }
  const CStringUTF8& operator[](int i) const { return GetAt(i); }
  void SetAt(int i, const CStringUTF8& str) { ElementAt(i) = str; }

  // Append a copy (a null text appends an empty string); return its index.
  int Add(const char* psz);
  int Add(const CStringUTF8& str);
  // Append `str` by taking its text, not a copy (an element of this array is
  // copied); `str` is left empty. Returns its index.
  // Example: array.Add(std::move(strLine)) leaves strLine empty.
  int Add(CStringUTF8&& str);

  // Makes the count `n`: drops elements from the end, or appends empty
  // strings. `nGrowBy` is accepted for the framework's signature and ignored.
  void SetSize(int n, int nGrowBy = -1);
  // Destroys every element; the capacity stays.
  void RemoveAll() noexcept;
  // Removes `n` elements from `i` (fewer when the array ends first) and moves
  // the later ones down; an `i` at or past the count changes nothing, and a
  // negative `i` or `n` raises CInvalidArgException.
  void RemoveAt(int i, int n = 1);

  // Stores the count and each element's length and bytes, or loads them back.
  // Loading: the count, then SetSize(count), then each element, which ends at
  // the first NUL of its stored bytes. A short archive raises
  // CArchiveException(endOfFile), leaving the elements loaded so far; a
  // length of 0xFFFFFFFF raises COleException(0x80070216); a wide string
  // (tagged 0xFF 0xFFFE) raises CArchiveException(badSchema), since this
  // class never writes one. A count of more than 65535 elements that exceeds
  // the bytes the archive has left fails with endOfFile before the array is
  // touched, so corrupt data cannot make the loader reserve gigabytes.
  void Serialize(CArchive& ar) override;

 private:
  struct Storage {
    CStringUTF8* pFirst = nullptr;
    CStringUTF8* pLast = nullptr;
    CStringUTF8* pEnd = nullptr;
  };

  int CheckedIndex(int i) const;
  // Appends `owned`, a string that is no element, by moving its bytes; it is
  // left empty. Returns its index.
  int AddOwned(CStringUTF8& owned);
  int Capacity() const noexcept { return static_cast<int>(m_storage.pEnd - m_storage.pFirst); }
  // Makes room for at least `nNewCount` elements, relocating the current ones.
  void Reserve(int nNewCount);
  int GrownCapacity(int nNewCount) const;
  void DestroyRange(CStringUTF8* pFirst, CStringUTF8* pLast) noexcept;
  void Store(CArchive& ar) const;
  void Load(CArchive& ar);

  Storage m_storage;
};
