#include <kxutils96/platform/framework/afx_archive.h>

#include <kxutils96/platform/cpu/unsigned_bits.h>
#include <kxutils96/platform/framework/framework_exceptions.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

constexpr int kMinBufferSize = 128;

// Values travel least significant byte first whatever the machine's order;
// compilers turn these loops into a plain load or store where they can.
template <class T>
void StoreLittleEndian(BYTE* out, T value) noexcept {
  using Bits = kxu::platform::UnsignedBitsOf<T>;
  const auto bits = std::bit_cast<Bits>(value);
  for (size_t i = 0; i < sizeof(T); ++i) out[i] = static_cast<BYTE>(bits >> (8 * i));
}

template <class T>
T LoadLittleEndian(const BYTE* in) noexcept {
  using Bits = kxu::platform::UnsignedBitsOf<T>;
  Bits bits = 0;
  for (size_t i = 0; i < sizeof(T); ++i) bits = static_cast<Bits>(bits | Bits{in[i]} << (8 * i));
  return std::bit_cast<T>(bits);
}

}  // namespace

CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize, void* lpBuf)
    : m_pFile(pFile), m_nMode(nMode), m_bUserBuf(lpBuf != nullptr) {
  if (pFile == nullptr || (lpBuf != nullptr && nBufSize < kMinBufferSize)) {
    AfxThrowInvalidArgException();
  }
  m_nBufSize = static_cast<UINT>(std::max(nBufSize, kMinBufferSize));
  m_lpBufStart = static_cast<BYTE*>(m_bUserBuf ? lpBuf : std::malloc(m_nBufSize));
  if (m_lpBufStart == nullptr) AfxThrowMemoryException();
  m_lpBufCur = m_lpBufStart;
  m_lpBufMax = IsLoading() ? m_lpBufStart : m_lpBufStart + m_nBufSize;
}

CArchive::~CArchive() {
  if (m_pFile != nullptr && IsStoring() && (m_nMode & bNoFlushOnDelete) == 0) {
    kxu::platform::DeletingFrameworkExceptions([this] { Flush(); });
  }
  if (!m_bUserBuf) std::free(m_lpBufStart);
}

void CArchive::ThrowArchiveError(int cause) const {
  AfxThrowArchiveException(cause,
                           m_pFile != nullptr ? m_pFile->GetFilePath().GetString() : nullptr);
}

void CArchive::RequireLoading() const {
  if (!IsLoading()) ThrowArchiveError(CArchiveException::writeOnly);
}

void CArchive::RequireStoring() const {
  if (!IsStoring()) ThrowArchiveError(CArchiveException::readOnly);
}

CFile& CArchive::File() const {
  if (m_pFile == nullptr) ThrowArchiveError(CArchiveException::genericException);
  return *m_pFile;
}

void CArchive::WriteBuffer() {
  CFile& file = File();
  const auto pending = static_cast<UINT>(m_lpBufCur - m_lpBufStart);
  // Emptied first: after a failed write the same bytes are not written twice.
  m_lpBufCur = m_lpBufStart;
  file.Write(m_lpBufStart, pending);
}

size_t CArchive::FillBuffer(size_t nBytesNeeded) {
  CFile& file = File();
  const auto unread = static_cast<size_t>(m_lpBufMax - m_lpBufCur);
  std::memmove(m_lpBufStart, m_lpBufCur, unread);
  m_lpBufCur = m_lpBufStart;
  m_lpBufMax = m_lpBufStart + unread;
  BYTE* const bufferEnd = m_lpBufStart + m_nBufSize;
  while (static_cast<size_t>(m_lpBufMax - m_lpBufCur) < nBytesNeeded) {
    const UINT got = file.Read(m_lpBufMax, static_cast<UINT>(bufferEnd - m_lpBufMax));
    if (got == 0) break;
    m_lpBufMax += got;
  }
  return static_cast<size_t>(m_lpBufMax - m_lpBufCur);
}

UINT CArchive::ReadFromFile(BYTE* lpBuf, UINT nMax) {
  CFile& file = File();
  UINT done = 0;
  while (done < nMax) {
    const UINT got = file.Read(lpBuf + done, nMax - done);
    if (got == 0) break;
    done += got;
  }
  return done;
}

UINT CArchive::Read(void* lpBuf, UINT nMax) {
  RequireLoading();
  if (nMax == 0) return 0;
  if (lpBuf == nullptr) AfxThrowInvalidArgException();
  auto* out = static_cast<BYTE*>(lpBuf);
  const auto buffered = static_cast<size_t>(m_lpBufMax - m_lpBufCur);
  const UINT fromBuffer = static_cast<UINT>(std::min<size_t>(nMax, buffered));
  std::memcpy(out, m_lpBufCur, fromBuffer);
  m_lpBufCur += fromBuffer;
  if (fromBuffer == nMax) return nMax;

  const UINT left = nMax - fromBuffer;
  if (left >= m_nBufSize) return fromBuffer + ReadFromFile(out + fromBuffer, left);
  const auto count = static_cast<UINT>(std::min<size_t>(left, FillBuffer(left)));
  std::memcpy(out + fromBuffer, m_lpBufCur, count);
  m_lpBufCur += count;
  return fromBuffer + count;
}

void CArchive::Write(const void* lpBuf, UINT nMax) {
  RequireStoring();
  if (nMax == 0) return;
  if (lpBuf == nullptr) AfxThrowInvalidArgException();
  if (nMax > static_cast<size_t>(m_lpBufMax - m_lpBufCur)) {
    WriteBuffer();
    if (nMax >= m_nBufSize) {
      File().Write(lpBuf, nMax);
      return;
    }
  }
  std::memcpy(m_lpBufCur, lpBuf, nMax);
  m_lpBufCur += nMax;
}

void CArchive::Flush() {
  if (m_pFile == nullptr) return;
  if (IsStoring()) {
    WriteBuffer();
    return;
  }
  const auto unread = static_cast<LONGLONG>(m_lpBufMax - m_lpBufCur);
  m_lpBufCur = m_lpBufMax = m_lpBufStart;
  if (unread != 0) m_pFile->Seek(-unread, CFile::current);
}

void CArchive::Close() {
  if (m_pFile == nullptr) return;
  Flush();
  Abort();
}

void CArchive::Abort() noexcept {
  m_pFile = nullptr;
  m_lpBufCur = m_lpBufMax = m_lpBufStart;
}

DWORD CArchive::ReadCount() {
  WORD shortCount = 0;
  *this >> shortCount;
  if (shortCount != 0xFFFF) return shortCount;
  DWORD count = 0;
  *this >> count;
  return count;
}

void CArchive::WriteCount(DWORD dwCount) {
  if (dwCount < 0xFFFF) {
    *this << static_cast<WORD>(dwCount);
    return;
  }
  *this << static_cast<WORD>(0xFFFF) << dwCount;
}

LONGLONG CArchive::GetRemainingLength() const {
  RequireLoading();
  if (m_pFile == nullptr) return -1;
  const auto buffered = static_cast<LONGLONG>(m_lpBufMax - m_lpBufCur);
  try {
    const ULONGLONG length = m_pFile->GetLength();
    const ULONGLONG position = m_pFile->GetPosition();
    // A position past the end (after a seek) leaves nothing in the file.
    return buffered + static_cast<LONGLONG>(length > position ? length - position : 0);
  } catch (CFileException* e) {
    e->Delete();
  } catch (CNotSupportedException* e) {
    e->Delete();
  }
  return -1;
}

template <class T>
CArchive& CArchive::WriteValue(T value) {
  RequireStoring();
  if (static_cast<size_t>(m_lpBufMax - m_lpBufCur) < sizeof(T)) WriteBuffer();
  StoreLittleEndian(m_lpBufCur, value);
  m_lpBufCur += sizeof(T);
  return *this;
}

template <class T>
CArchive& CArchive::ReadValue(T& value) {
  RequireLoading();
  if (static_cast<size_t>(m_lpBufMax - m_lpBufCur) < sizeof(T) &&
      FillBuffer(sizeof(T)) < sizeof(T)) {
    ThrowArchiveError(CArchiveException::endOfFile);
  }
  value = LoadLittleEndian<T>(m_lpBufCur);
  m_lpBufCur += sizeof(T);
  return *this;
}

CArchive& CArchive::operator<<(BYTE by) {
  return WriteValue(by);
}
CArchive& CArchive::operator<<(char ch) {
  return WriteValue(ch);
}
CArchive& CArchive::operator<<(WORD w) {
  return WriteValue(w);
}
CArchive& CArchive::operator<<(short n) {
  return WriteValue(n);
}
CArchive& CArchive::operator<<(DWORD dw) {
  return WriteValue(dw);
}
CArchive& CArchive::operator<<(LONG l) {
  return WriteValue(l);
}
CArchive& CArchive::operator<<(LONGLONG n) {
  return WriteValue(n);
}
CArchive& CArchive::operator<<(ULONGLONG n) {
  return WriteValue(n);
}
CArchive& CArchive::operator<<(float f) {
  return WriteValue(f);
}
CArchive& CArchive::operator<<(double d) {
  return WriteValue(d);
}
CArchive& CArchive::operator>>(BYTE& by) {
  return ReadValue(by);
}
CArchive& CArchive::operator>>(char& ch) {
  return ReadValue(ch);
}
CArchive& CArchive::operator>>(WORD& w) {
  return ReadValue(w);
}
CArchive& CArchive::operator>>(short& n) {
  return ReadValue(n);
}
CArchive& CArchive::operator>>(DWORD& dw) {
  return ReadValue(dw);
}
CArchive& CArchive::operator>>(LONG& l) {
  return ReadValue(l);
}
CArchive& CArchive::operator>>(LONGLONG& n) {
  return ReadValue(n);
}
CArchive& CArchive::operator>>(ULONGLONG& n) {
  return ReadValue(n);
}
CArchive& CArchive::operator>>(float& f) {
  return ReadValue(f);
}
CArchive& CArchive::operator>>(double& d) {
  return ReadValue(d);
}

// ---------------------------------------------------------------------------
// String lengths

namespace {

constexpr BYTE kByteEscape = 0xFF;
constexpr WORD kWideTag = 0xFFFE;
constexpr WORD kWordEscape = 0xFFFF;
constexpr DWORD kDwordEscape = 0xFFFFFFFF;

}  // namespace

UINT AfxReadStringLength(CArchive& ar, int& nCharSize) {
  nCharSize = 1;
  BYTE byteLength = 0;
  ar >> byteLength;
  if (byteLength < kByteEscape) return byteLength;
  WORD wordLength = 0;
  ar >> wordLength;
  if (wordLength == kWideTag) {
    // The tag only marks wide characters; the length follows from the start.
    nCharSize = 2;
    ar >> byteLength;
    if (byteLength < kByteEscape) return byteLength;
    ar >> wordLength;
  }
  if (wordLength < kWordEscape) return wordLength;
  DWORD dwordLength = 0;
  ar >> dwordLength;
  if (dwordLength < kDwordEscape) return dwordLength;
  ULONGLONG longLength = 0;
  ar >> longLength;
  if (longLength > std::numeric_limits<UINT>::max()) {
    AfxThrowArchiveException(CArchiveException::genericException);
  }
  return static_cast<UINT>(longLength);
}

void AfxWriteStringLength(CArchive& ar, UINT_PTR nLength, BOOL bUnicode) {
  if (bUnicode) ar << kByteEscape << kWideTag;
  if (nLength < kByteEscape) {
    ar << static_cast<BYTE>(nLength);
    return;
  }
  ar << kByteEscape;
  if (nLength < kWideTag) {
    ar << static_cast<WORD>(nLength);
    return;
  }
  ar << kWordEscape;
  if (nLength < kDwordEscape) {
    ar << static_cast<DWORD>(nLength);
    return;
  }
  ar << kDwordEscape << static_cast<ULONGLONG>(nLength);
}
