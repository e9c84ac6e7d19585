// The work this platform does itself on POSIX, where Windows has the system
// do it: the copy of a file never waits on a named pipe; its own code-page
// tables and codeset map; the modules it provides itself; and shell items
// reading a file's times and its user extended attributes.
//
// Texts at the ends of what a scan may read. Texts longer than an int counts,
// handed to every entry that narrows their length into one: each refuses the
// whole text with the outcome its contract names, never converting a part of
// it nor writing past a buffer sized from a cut length (the asan preset
// reports such a write; elsewhere it crashes). The texts cost address space,
// not memory, so they exist on 64-bit only. And texts that end right before a
// page the process may not read.
#include <kxutils96/format/messages/detail/supplied_format.h>
#include <kxutils96/host/zutl96/text_search.h>
#include <kxutils96/kxutils96.h>
#include <kxutils96/platform/com_shell/shell_items.h>
#include <kxutils96/platform/text/nul_scan.h>
#include <kxutils96/platform/win32/win_builtin_modules.h>
#include <kxutils96/platform/win32/win_error.h>
#include <kxutils96/platform/win32/win_file.h>
#include <kxutils96/platform/win32/win_memory.h>
#include <kxutils96/platform/win32/win_module.h>
#include <kxutils96/platform/win32/win_nls.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <future>
#include <iterator>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

#include "support/caught_exception.h"
#include "support/code_page_reference.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"
#include "support/user_xattr.h"

namespace {

using namespace kxu::platform;
using namespace kxu::test;

// The built-in shell32 answers to its bare name in any ASCII case, with or
// without ".dll"; a name that differs anywhere, or has a folder, is not it.
// No name loads no module, and without a module GetProcAddress finds
// nothing, not even the process's own.
TEST(BuiltinModules, AnswerToTheirNameOnly) {
  const HMODULE hShell = FindBuiltinModule(u"shell32.dll");
  ASSERT_NE(hShell, nullptr);
  for (const WCHAR* pszName : {u"SHELL32", u"Shell32.DLL"})
    EXPECT_EQ(FindBuiltinModule(pszName), hShell);
  for (const WCHAR* pszName : {u"xhell32", u"shell3x", u"shell32.dlx", u"shell32x.dll", u"shell",
                               u"lib/shell32.dll", u".dll", u""})
    EXPECT_EQ(FindBuiltinModule(pszName), nullptr);
  EXPECT_NE(BuiltinProcAddress(hShell, "SHCreateItemFromParsingName"), nullptr);
  EXPECT_EQ(BuiltinProcAddress(hShell, "shCreateItemFromParsingName"), nullptr);
  for (const WCHAR* pszName : {static_cast<const WCHAR*>(nullptr), u""}) {
    EXPECT_EQ(LoadLibraryW(pszName), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
  }
  EXPECT_EQ(GetProcAddress(nullptr, "malloc"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
}

// A search handle that is none, null or invalid, is refused, never followed.
TEST(FindFile, NoSearchIsRefused) {
  WIN32_FIND_DATAW data{};
  for (const HANDLE hNone : {HANDLE{}, INVALID_HANDLE_VALUE}) {
    EXPECT_FALSE(FindNextFileW(hNone, &data));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(FindClose(hNone));
  }
}

// Virtual memory blocks: zeroed, writable to their last byte, on a page
// boundary or, from 2 MiB on, a 2 MiB one, and gone once released; any use
// but a new block and its release is refused, as is a size past the address space.
TEST(VirtualAlloc, GivesWholeBlocksAndReleasesThem) {
  const auto nPage = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  for (const std::size_t nSize : {std::size_t{1}, nPage + 1, std::size_t{3} << 20}) {
    auto* p = static_cast<unsigned char*>(
        VirtualAlloc(nullptr, nSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % (nSize >= (2u << 20) ? 2u << 20 : nPage), 0u);
    EXPECT_EQ(static_cast<std::size_t>(std::count(p, p + nSize, 0)), nSize);
    std::fill(p, p + nSize, 0xAB);
    EXPECT_EQ(VirtualFree(p, nSize, MEM_RELEASE), FALSE);
    EXPECT_EQ(VirtualFree(p, 0, MEM_RELEASE), TRUE);
    unsigned char resident = 0;
    EXPECT_EQ(mincore(p, 1, &resident), -1) << nSize;
    EXPECT_EQ(errno, ENOMEM);
  }
  const std::tuple<std::size_t, DWORD, DWORD, DWORD> refusals[] = {
      {0, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE, ERROR_INVALID_PARAMETER},
      {16, MEM_COMMIT, PAGE_READWRITE, ERROR_INVALID_PARAMETER},
      {16, MEM_COMMIT | MEM_RESERVE, 0x02, ERROR_INVALID_PARAMETER},
      {SIZE_MAX, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE, ERROR_NOT_ENOUGH_MEMORY}};
  for (const auto& [nSize, dwType, dwProtect, dwError] : refusals) {
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(VirtualAlloc(nullptr, nSize, dwType, dwProtect), nullptr);
    EXPECT_EQ(GetLastError(), dwError) << nSize;
  }
  EXPECT_EQ(VirtualFree(nullptr, 0, MEM_RELEASE), FALSE);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

// PopulateForWrite backs exactly the whole pages inside its range, and
// changes no byte; a system without the call leaves the pages to the writes.
TEST(PopulateForWrite, BacksTheWholePagesInsideItsRange) {
  const auto nPage = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  constexpr std::size_t kPages = 8;
  auto* p = static_cast<unsigned char*>(
      VirtualAlloc(nullptr, kPages * nPage, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  ASSERT_NE(p, nullptr);
  // qemu's user mode accepts the advice and does nothing.
  unsigned char probed = 0;
  if (madvise(p + (kPages - 1) * nPage, nPage, MADV_POPULATE_WRITE) != 0 ||
      mincore(p + (kPages - 1) * nPage, nPage, &probed) != 0 || (probed & 1) == 0) {
    VirtualFree(p, 0, MEM_RELEASE);
    GTEST_SKIP() << "the system cannot populate pages";
  }
  kxu::platform::PopulateForWrite(p + nPage / 2, 4 * nPage);  // pages 1 to 3 whole
  unsigned char resident[kPages] = {};
  ASSERT_EQ(mincore(p, kPages * nPage, resident), 0);
  for (std::size_t i = 0; i < kPages; ++i) {
    EXPECT_EQ(resident[i] & 1, (i >= 1 && i <= 3) || i == kPages - 1 ? 1 : 0) << i;
  }
  EXPECT_EQ(static_cast<std::size_t>(std::count(p, p + kPages * nPage, 0)), kPages * nPage);
  VirtualFree(p, 0, MEM_RELEASE);
}

// What CopyFileW gives for a copy from `from` to `to` over any file there,
// and the last error it leaves.
std::pair<BOOL, DWORD> CopyResult(const std::filesystem::path& from,
                                  const std::filesystem::path& to) {
  const BOOL bCopied = CopyFileW(from.u16string().c_str(), to.u16string().c_str(), FALSE);
  return {bCopied, GetLastError()};
}

// CopyFileW and a named pipe: neither read from nor written into, and never
// waited on for the other end.
TEST(CopyFileW, RefusesAPipeWithoutWaitingForItsOtherEnd) {
  TempDir dir;
  WriteBytes(dir.Path("a"), "a");
  ASSERT_EQ(::mkfifo(dir.Path("pipe").c_str(), 0600), 0);
  for (const auto& [from, to] : {std::pair{"pipe", "copy"}, {"a", "pipe"}}) {
    // Should the copy wait, the other end comes after a generous bound and
    // the test fails instead of hanging. The last error is the copying thread's.
    const std::filesystem::path source = dir.Path(from), target = dir.Path(to);
    auto copied = std::async(std::launch::async, [&] { return CopyResult(source, target); });
    if (copied.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
      ADD_FAILURE() << "the copy waited for the pipe's other end";
      const int end =
          ::open(dir.Path("pipe").c_str(), (from[0] == 'p' ? O_WRONLY : O_RDONLY) | O_NONBLOCK);
      copied.wait();
      ::close(end);
    }
    EXPECT_EQ(copied.get(), std::make_pair(FALSE, DWORD{ERROR_ACCESS_DENIED})) << from;
    EXPECT_FALSE(std::filesystem::exists(dir.Path("copy")));
  }
}

// Between two file systems, where the system cannot move the data inside
// itself, the copy of a file too large for the small-file path goes through
// a buffer.
TEST(CopyFileW, CopiesAcrossFileSystems) {
  TempDir dir;
  char szSource[] = "/dev/shm/kxu-copy-XXXXXX";
  const int fd = ::mkstemp(szSource);
  struct stat source = {}, target = {};
  const bool bApart = fd >= 0 && ::fstat(fd, &source) == 0 &&
                      ::stat(dir.Path().c_str(), &target) == 0 && source.st_dev != target.st_dev;
  if (fd >= 0) ::close(fd);
  std::string bytes(100000, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 % 251);
  WriteBytes(szSource, bytes);
  const BOOL bCopied = bApart && CopyResult(szSource, dir.Path("copy")).first;
  ::unlink(szSource);
  if (!bApart) GTEST_SKIP() << "no second file system at hand";
  ASSERT_TRUE(bCopied);
  EXPECT_TRUE(ReadBytes(dir.Path("copy")) == bytes);
}

// A write the system refuses (here past the process's file size limit)
// fails the copy with the disk-full error, for a small file written whole
// and for a large one moved inside the system.
TEST(CopyFileW, AWriteTheSystemRefusesFailsTheCopy) {
  TempDir dir;
  WriteBytes(dir.Path("small"), std::string(4000, 's'));
  WriteBytes(dir.Path("large"), std::string(100000, 'l'));
  struct rlimit before {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
  const struct rlimit limited = {1000, before.rlim_max};
  const auto ignoreSignal = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
  const auto small = CopyResult(dir.Path("small"), dir.Path("small.copy"));
  const auto large = CopyResult(dir.Path("large"), dir.Path("large.copy"));
  ::setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, ignoreSignal);
  EXPECT_EQ(small, std::make_pair(FALSE, DWORD{ERROR_DISK_FULL}));
  EXPECT_EQ(large, std::make_pair(FALSE, DWORD{ERROR_DISK_FULL}));
}

// The own code-page tables: the pages the system's conversions lack, which
// the code-page referee cannot hold (GB18030, ISO-2022-JP, EUC-JP, EUC-KR and
// four ISO 8859 pages), by their standards; those with codes past two bytes
// or with shift states convert whole texts: each row's units encode to its
// bytes (or the error its flags meet) and its bytes decode to its units.
TEST(OwnTables, ReadAndWriteAsTheSystemOrThePagesStandardHasIt) {
  // The page, the encoding's flags, the bytes ("<error N>": the encoding
  // fails with error N) and the units.
  const std::tuple<UINT, DWORD, std::string_view, std::u16string_view> rows[] = {
      {54936, 0, "\x81\x30\x81\x30\xB0\xA1\x90\x30\x81\x30", u"\u0080\u554A\U00010000"},
      {54936, WC_ERR_INVALID_CHARS, "<error 1113>", u"a\xDC00"},
      {50220, 0, "a\x1B$B\x24\x22\x1B(Bb", u"a\u3042b"},
      {65000, 0, "A+ImIDkQ.", u"A\u2262\u0391."},
      {65000, WC_NO_BEST_FIT_CHARS, "<error 1004>", u"a"},
      {65000, 0, std::string_view("a\0b", 3), std::u16string_view(u"a\0b", 3)},
      {51932, 0, "\xA4\xA2", u"\u3042"},
      {51949, 0, "\xB0\xA1", u"\uAC00"},
      {28600, 0, "\xA1\xBD", u"\u0104\u2015"},
      {28601, 0, "\xA1\xFB", u"\u0E01\u0E5B"},
      {28604, 0, "\xA1\xFF", u"\u1E02\u00FF"},
      {28606, 0, "\xA1\xA4", u"\u0104\u20AC"},
  };
  for (const auto& [nPage, dwFlags, bytes, units] : rows) {
    SCOPED_TRACE(nPage);
    EXPECT_EQ(ToBytes(nPage, dwFlags, units), bytes);
    if (bytes[0] != '<') {
      EXPECT_EQ(ToWide(nPage, 0, bytes), units);
    }
  }
  // Where the pages' standards leave it open, as the system reads: a lead
  // byte takes the byte after it even when the pair is undefined (U+30FB in
  // 932, '?' elsewhere), 20127 reads bytes above 0x7F as their low seven bits,
  // Johab's codes of one letter are conjoining jamo, and undefined bytes of a
  // single-byte page are private-use characters that the strict flag refuses.
  // A cut code's first byte is U+FFFD and the next is read again, or the
  // error under the strict flag; UTF-7 takes no flag, reads a byte it has no
  // rule for as itself and a '+' cut short as nothing.
  const std::tuple<UINT, DWORD, std::string_view, std::u16string_view> decoded[] = {
      {932, 0, "\x81 x", u"\u30FBx"},
      {949, 0, "a\x81", u"a?"},
      {20127, 0, "A\xC1", u"AA"},
      // The first and last initial, vowel and final, and the final after the gap.
      {1361, 0, "\x88\x41\xD0\x41\x84\x61\x87\xA1\x84\x42\x84\x5D\x84\x53",
       u"\u1100\u1112\u1161\u1175\u11A8\u11C2\u11B8"},
      {874, 0, "\xDB", u"\uF8C1"},
      {874, MB_ERR_INVALID_CHARS, "\xDB", u"<error 1113>"},
      {54936, 0, "\x81\x30", u"\uFFFD0"},
      {54936, MB_ERR_INVALID_CHARS, "\x81\x30", u"<error 1113>"},
      {65000, MB_ERR_INVALID_CHARS, "a", u"<error 1004>"},
      {65000, 0, "~\x80+", u"~\u0080"},
      // The pseudo pages read as the pages they stand for.
      {CP_OEMCP, 0, "\x80\xB0", u"\u00C7\u2591"},
      {CP_MACCP, 0, "\x80\xB0", u"\u00C4\u221E"},
  };
  for (const auto& [nPage, dwFlags, bytes, units] : decoded)
    EXPECT_EQ(ToWide(nPage, dwFlags, bytes), units) << nPage;
  EXPECT_EQ(ToWide(CP_THREAD_ACP, 0, "\x80\xB0"), ToWide(GetACP(), 0, "\x80\xB0"));
  // A character a page lacks is written as its look-alike, else as the
  // default, reported; UTF-7 has no default to report (7: the report left
  // alone). (With WC_NO_BEST_FIT_CHARS a page writes the default instead of
  // the look-alike: the code page tests hold that.)
  const std::tuple<UINT, std::u16string_view, std::string_view, BOOL> encoded[] = {
      {1252, u"\u0101", "a", FALSE},
      {50220, u"\u00E9", "?", TRUE},
      {65000, u"a", "<error 87>", 7},
  };
  for (const auto& [nPage, units, bytes, bUsed] : encoded) {
    BOOL bReported = 7;
    EXPECT_EQ(ToBytes(nPage, 0, units, &bReported), bytes) << nPage;
    EXPECT_EQ(bReported, bUsed) << nPage;
  }
}

// The map from locale codesets to ANSI code pages behind GetACP: one row a
// way a name is read (the names' table is data).
TEST(CodePageTest, CodesetNamesMapToAnsiPages) {
  const std::pair<const char*, UINT> rows[] = {
      {"UTF-8", 65001},     {"utf8", 65001},
      {"ISO-8859-1", 1252}, {"EUC-JP", 932},
      {"CP1251", 1251},     {"WINDOWS-1257", 1257},
      {"CP12345", 1252},    {"CP1251X", 1252},
      {"", 1252},           {"A-VERY-LONG-UNKNOWN-CODESET-NAME", 1252}};
  for (const auto& [codeset, nPage] : rows)
    EXPECT_EQ(AnsiCodePageForCodeset(codeset), nPage) << codeset;
}

// Shell items: the modification time to the tick, a key without a source
// absent, a file that went away a failure, and the rating read from the user
// extended attributes at each call. (The texts and which form each property
// has are tested through the shell item export.)
constexpr HRESULT kNotFound = static_cast<HRESULT>(0x80070490u);

class ShellItems : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(m_file, "pixels");
    void* pv = nullptr;
    ASSERT_EQ(
        SHCreateItemFromParsingName(m_file.u16string().c_str(), nullptr, IID_IShellItem2, &pv),
        S_OK);
    m_pItem.reset(static_cast<IShellItem2*>(pv));
  }

  TempDir m_dir;
  std::filesystem::path m_file = m_dir.Path("photo.txt");
  std::unique_ptr<IShellItem2, void (*)(IShellItem2*)> m_pItem{
      nullptr, [](IShellItem2* p) { p->Release(); }};
};

TEST_F(ShellItems, TimeInFileTimeTicksAKeyWithoutASourceAbsentAFileGoneAFailure) {
  // 2021-03-04 05:06:07.123456789 UTC, in 100 ns steps since 1601.
  const auto when = std::chrono::sys_time<std::chrono::nanoseconds>(
      std::chrono::seconds(1614834367) + std::chrono::nanoseconds(123456789));
  std::filesystem::last_write_time(m_file, std::chrono::file_clock::from_sys(when));
  FILETIME time{};
  ASSERT_EQ(m_pItem->GetFileTime(PKEY_DateModified, &time), S_OK);
  EXPECT_EQ((std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime, 132593079671234567u);
  LPWSTR psz = nullptr;
  constexpr PROPERTYKEY kAuthor = {PKEY_Title.fmtid, 4};
  EXPECT_EQ(m_pItem->GetString(kAuthor, &psz), kNotFound);
  std::filesystem::remove(m_file);
  EXPECT_EQ(m_pItem->GetString(PKEY_Title, &psz), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
}

// The rating attribute holds the desktop's half stars, 0 to 10, in digits;
// without it the rating is absent.
TEST_F(ShellItems, RatingIsReadOnTheDesktopScale) {
  const std::string why = UserXattrsUnsupported(m_dir.Path());
  if (!why.empty()) GTEST_SKIP() << why;
  const std::tuple<const char*, HRESULT, ULONG> rows[] = {
      {nullptr, kNotFound, 0}, {"0", S_OK, 0},  {"3", S_OK, 13},  {"10", S_OK, 99},
      {"11", E_FAIL, 0},       {"", E_FAIL, 0}, {"x", E_FAIL, 0}, {"100", E_FAIL, 0}};
  for (const auto& [attribute, hr, value] : rows) {
    ASSERT_TRUE(attribute == nullptr || SetUserXattr(m_file, "user.baloo.rating", attribute));
    ULONG n = 12345;
    EXPECT_EQ(m_pItem->GetUInt32(PKEY_Rating, &n), hr) << attribute;
    EXPECT_EQ(n, value) << attribute;
  }
}

// A multiple of every page size, and few enough mappings for 8 GiB.
constexpr std::size_t kChunk = std::size_t{1} << 20;

// The mapping `p` as bytes; a failed mmap throws (and fails the test).
char* Checked(void* p) {
  if (p == MAP_FAILED) throw std::runtime_error("mmap failed");
  return static_cast<char*>(p);
}

// A text of gigabytes that costs address space, not memory: `nBytes` bytes of
// `pattern` repeated (its size must divide 1 MiB). One small in-memory file
// holding the pattern over and over is mapped many times, end to end, into
// one reserved range, and the few bytes past the last whole mapping lie in a
// zeroed page of their own, so zero units follow the text. The text is
// read-only: a write into it crashes the test.
class HugeText {
 public:
  HugeText(std::string_view pattern, std::size_t nBytes) {
    if (pattern.empty() || kChunk % pattern.size() != 0)
      throw std::invalid_argument("HugeText: the pattern must divide 1 MiB");
    const std::size_t nWhole = nBytes / kChunk * kChunk;
    m_nReserved = nWhole + kChunk;  // the tail and at least one page of zeros
    m_pText = Checked(mmap(nullptr, m_nReserved, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    const int fd = memfd_create("huge_text", 0);
    std::string chunk;
    while (chunk.size() < kChunk) chunk += pattern;
    const bool bWritten =
        fd >= 0 && write(fd, chunk.data(), kChunk) == static_cast<ssize_t>(kChunk);
    for (std::size_t at = 0; bWritten && at < nWhole; at += kChunk)
      Checked(mmap(m_pText + at, kChunk, PROT_READ, MAP_SHARED | MAP_FIXED, fd, 0));
    if (fd >= 0) close(fd);
    if (!bWritten) throw std::runtime_error("HugeText: memfd failed");
    char* pTail = Checked(mmap(m_pText + nWhole, kChunk, PROT_READ | PROT_WRITE,
                               MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0));
    std::memcpy(pTail, chunk.data(), nBytes - nWhole);
    mprotect(pTail, kChunk, PROT_READ);
  }
  HugeText(const HugeText&) = delete;
  HugeText& operator=(const HugeText&) = delete;
  ~HugeText() { munmap(m_pText, m_nReserved); }

  const char* data() const { return m_pText; }

 private:
  char* m_pText = nullptr;
  std::size_t m_nReserved = 0;
};

// Past 4 GiB a bare cast keeps the low bits (4); past 2 GiB it is negative.
constexpr std::uint64_t kLengths[] = {(std::uint64_t{1} << 32) + 4, (std::uint64_t{1} << 31) + 4};

struct Crossing {
  const char* name;
  std::string_view pattern;  // what the text repeats
  std::function<void(const char*)> call;
  std::size_t nUnitBytes = 1;
  std::size_t nLengths = std::size(kLengths);  // the splits, slow to scan, take the first only
};

// Every crossing raises CMemoryException for the whole text, while padding
// reads no further than the width: a text of any length is cut.
TEST(TextPastInt, EveryCrossingRaisesMemoryExceptionForTheWholeTextAndPaddingCutsIt) {
  if (sizeof(std::size_t) < sizeof(std::uint64_t)) GTEST_SKIP() << "needs 64-bit addresses";
  const auto wide = [](const char* p) { return reinterpret_cast<const WCHAR*>(p); };
  // Quotes are rare in the quoted texts: where they abound, splitting takes long.
  std::string quoted(std::size_t{1} << 20, 'a');
  std::string inner = quoted;
  quoted.front() = quoted.back() = '"';
  inner.replace(1, 2, "\"\"");
  // What the calls write to; a refusal leaves no part of the text in them.
  CZQVStringArray a;
  CString w;
  CStringUTF8 s;
  const Crossing crossings[] = {
      {"quoted CSV field", inner, [&](const char* p) { kxutilsTokenizeOneCSVLine(p, &a); }, 1, 1},
      {"quoted token", quoted,
       [&](const char* p) { kxutilsGetTokens(p, &a, ',', nullptr, kxu::tokens::kQuoteDouble, 0); },
       1, 1},
      {"piece", "a", [&](const char* p) { kxutilsSeparateByStr(p, &a, ";"); }},
      {"UTF-8", "a", [&](const char* p) { zqUTF8toUTF16(w, p, -1); }},
      {"code page", "a", [&](const char* p) { zqMBCStoUTF16(w, p, 1252, -1); }},
      {"double-byte page", "a", [&](const char* p) { zqMBCStoUTF8(s, p, 936); }},
      {"UTF-16", {"a\0", 2}, [&](const char* p) { zqUTF16toUTF8(s, wide(p), -1); }, 2},
      {"printf text", "a",
       [&](const char* p) {
         kxu::format::FormatSupplied(s, "%s", {{kxu::format::SuppliedValue::Text(p)}});
       }},
      {"in place", "a", [](const char* p) { utlConvertTextInPlace(const_cast<char*>(p), -1); }},
  };
  for (const Crossing& crossing : crossings) {
    for (const std::uint64_t nUnits : std::span(kLengths).first(crossing.nLengths)) {
      SCOPED_TRACE(testing::Message() << crossing.name << ", units: " << nUnits);
      const HugeText text(crossing.pattern, static_cast<std::size_t>(nUnits * crossing.nUnitBytes));
      EXPECT_TRUE(Caught<CMemoryException>([&] { crossing.call(text.data()); }));
      EXPECT_TRUE(w.IsEmpty() && s.IsEmpty());
    }
  }
  for (const std::uint64_t nBytes : kLengths) {
    const HugeText text("a", static_cast<std::size_t>(nBytes));
    EXPECT_STREQ(kxu_str_pad_char(text.data(), 8, kPadAlignLeft, '*'), "aaaaaaaa");
  }
}

// Texts that end right before a page the process may not read, with bounds
// past their NUL: every scan must stop in the text's own page.
TEST(NulScanAtAPageEnd, NeverTouchesTheNextPage) {
  const auto nPage = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  char* const pages =
      Checked(mmap(nullptr, 2 * nPage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
  ASSERT_EQ(mprotect(pages + nPage, nPage, PROT_NONE), 0);
  auto* const pageEnd = reinterpret_cast<char16_t*>(pages + nPage);
  for (std::size_t nUnits = 1; nUnits <= 40; ++nUnits) {
    char16_t* const text = pageEnd - nUnits;
    std::fill_n(text, nUnits - 1, u'a');
    text[nUnits - 1] = 0;
    EXPECT_EQ(NulTerminatedLength(text), nUnits - 1);
    EXPECT_EQ(FindNul(text, nUnits + 100), nUnits - 1);
  }
  munmap(pages, 2 * nPage);
}

}  // namespace
