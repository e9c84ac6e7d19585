// The code-page referee: what the code-page calls answer for every one- and
// two-byte sequence of a page (its lead bytes followed by every byte) and for
// every UTF-16 unit outside the surrogates, encoded with and without
// WC_NO_BEST_FIT_CHARS. The Windows build writes the system's answers; the
// POSIX build holds the platform layer's answers to them.
//
//   kxu_codepage_referee write DIR     one file DIR/<page>.cpr per page
//   kxu_codepage_referee compare DIR [PAGE]
//                                      per page and kind of entry: entries
//                                      compared, agreeing, differing (the
//                                      first few differences shown; all of
//                                      them when only PAGE is compared), and the
//                                      look-alikes both sides write, only the
//                                      system writes, only we write
//
// A file is "KXCP", the page (4 bytes), 1 when the system serves the page,
// the 32 bytes of its lead-byte map, then one 12-byte answer per entry in the
// order EntriesOf gives. compare exits with 1 when a page held exact (see
// kPagesNotExact) differs, with 2 when a file is missing or malformed.
#if defined(_WIN32)
#include <windows.h>
#else
#include <kxutils96/platform/win32/win_nls.h>
#endif

#include <algorithm>
#include <array>
#include <bitset>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

// The pages the POSIX layer serves; 1, 2 and 3 stand for pages among these.
// Wine, which stands for the system in CI, lacks GB18030 (54936), ISO-2022-JP
// (50220 to 50222), EUC-JP (51932), EUC-KR (51949) and ISO 8859-10, -11, -14
// and -16 (28600, 28601, 28604, 28606): the layer follows their published
// standards there, and its own-table tests hold a code of each.
constexpr UINT kPages[] = {
    437,   737,   775,   850,   852,   855,   857,   860,   861,   862,   863,   864,
    865,   866,   869,   874,   932,   936,   949,   950,   1250,  1251,  1252,  1253,
    1254,  1255,  1256,  1257,  1258,  1361,  10000, 10001, 10002, 10003, 10004, 10005,
    10006, 10007, 10008, 10010, 10017, 10021, 10029, 10079, 10081, 10082, 20127, 20866,
    21866, 28591, 28592, 28593, 28594, 28595, 28596, 28597, 28598, 28599, 28600, 28601,
    28603, 28604, 28605, 28606, 50220, 50221, 50222, 51932, 51949, 54936, 65000,
};

// Pages whose bytes the layer reads, and whose units it writes under
// WC_NO_BEST_FIT_CHARS, exactly as the system does: all but the double-byte
// pages (932, 936, 949, 950, 10001) and the pages Wine lacks. The look-alikes written
// without the flag are counted, never held exact: the layer's come from the
// C library's transliteration, which agrees with the system's tables only in
// part.
constexpr UINT kPagesNotExact[] = {932,   936,   949,   950,   10001, 28600, 28601, 28604,
                                   28606, 50220, 50221, 50222, 51932, 51949, 54936};

using LeadBytes = std::bitset<256>;
using Answer = std::array<std::uint8_t, 12>;

enum class Kind { kDecode, kEncodeBestFit, kEncodeExact };
constexpr const char* kKindNames[] = {"bytes to units", "units to bytes", "units to bytes exact"};

// One question put to the calls: a byte sequence (one byte, or lead << 8 |
// trail) to decode, or a unit to encode.
struct Entry {
  Kind kind;
  unsigned value;
};

std::vector<Entry> EntriesOf(const LeadBytes& leads) {
  std::vector<Entry> entries;
  for (unsigned byte = 0; byte < 256; ++byte) entries.push_back({Kind::kDecode, byte});
  for (unsigned lead = 0; lead < 256; ++lead) {
    if (!leads[lead]) continue;
    for (unsigned trail = 0; trail < 256; ++trail) {
      entries.push_back({Kind::kDecode, lead << 8 | trail});
    }
  }
  // Every unit but the surrogates.
  for (const Kind kind : {Kind::kEncodeBestFit, Kind::kEncodeExact}) {
    for (unsigned unit = 0; unit < 0x10000; ++unit) {
      if (unit < 0xD800 || unit > 0xDFFF) entries.push_back({kind, unit});
    }
  }
  return entries;
}

void PutUnit(Answer& answer, std::size_t at, unsigned unit) {
  answer[at] = static_cast<std::uint8_t>(unit & 0xFF);
  answer[at + 1] = static_cast<std::uint8_t>(unit >> 8);
}

// Decoding: the result, the strict call's result, the first two units (or
// the error when the call failed). Encoding: the result, the used-default
// report (2 when not asked), the error when the call failed, up to 8 bytes.
Answer Ask(UINT nPage, const Entry& entry) {
  Answer answer{};
  if (entry.kind == Kind::kDecode) {
    const char bytes[2] = {static_cast<char>(entry.value > 0xFF ? entry.value >> 8 : entry.value),
                           static_cast<char>(entry.value & 0xFF)};
    const int nBytes = entry.value > 0xFF ? 2 : 1;
    WCHAR units[8] = {};
    SetLastError(0);  // a call that writes nothing may succeed
    const int nUnits = MultiByteToWideChar(nPage, 0, bytes, nBytes, units, 8);
    const DWORD dwError = GetLastError();
    answer[0] = static_cast<std::uint8_t>(nUnits);
    answer[1] = static_cast<std::uint8_t>(
        MultiByteToWideChar(nPage, MB_ERR_INVALID_CHARS, bytes, nBytes, units + 4, 4));
    PutUnit(answer, 2, nUnits == 0 ? dwError : units[0]);
    PutUnit(answer, 4, nUnits > 1 ? units[1] : 0);
    return answer;
  }
  const WCHAR unit = static_cast<WCHAR>(entry.value);
  const DWORD dwFlags = entry.kind == Kind::kEncodeExact ? WC_NO_BEST_FIT_CHARS : 0;
  char bytes[8] = {};
  BOOL bUsed = FALSE;
  SetLastError(0);
  const int nBytes = WideCharToMultiByte(nPage, dwFlags, &unit, 1, bytes, 8, nullptr,
                                         nPage == CP_UTF7 ? nullptr : &bUsed);
  answer[0] = static_cast<std::uint8_t>(nBytes);
  answer[1] = nPage == CP_UTF7 ? 2 : static_cast<std::uint8_t>(bUsed != FALSE);
  if (nBytes == 0) PutUnit(answer, 2, GetLastError());
  for (int i = 0; i < nBytes && i < 8; ++i) answer[4 + i] = static_cast<std::uint8_t>(bytes[i]);
  return answer;
}

std::string FileOf(const std::string& dir, UINT nPage) {
  return dir + "/" + std::to_string(nPage) + ".cpr";
}

constexpr char kMagic[4] = {'K', 'X', 'C', 'P'};

#if defined(_WIN32)

// The system's lead bytes of `nPage`, or false when it does not serve it.
bool SystemLeadBytes(UINT nPage, LeadBytes& leads) {
  CPINFO info{};
  if (IsValidCodePage(nPage) == FALSE || GetCPInfo(nPage, &info) == FALSE) return false;
  for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
    for (unsigned byte = info.LeadByte[i]; byte <= info.LeadByte[i + 1]; ++byte) leads.set(byte);
  }
  return true;
}

int Write(const std::string& dir) {
  for (const UINT nPage : kPages) {
    LeadBytes leads;
    const bool bServed = SystemLeadBytes(nPage, leads);
    std::ofstream file(FileOf(dir, nPage), std::ios::binary);
    file.write(kMagic, sizeof kMagic);
    const std::uint8_t header[5] = {static_cast<std::uint8_t>(nPage & 0xFF),
                                    static_cast<std::uint8_t>(nPage >> 8), 0, 0, bServed};
    file.write(reinterpret_cast<const char*>(header), sizeof header);
    // The map's bytes, each lead byte's bit at its value's place.
    for (unsigned byte = 0; byte < 256; byte += 8)
      file.put(static_cast<char>(((leads >> byte) & LeadBytes(0xFF)).to_ulong()));
    if (bServed) {
      for (const Entry& entry : EntriesOf(leads)) {
        const Answer answer = Ask(nPage, entry);
        file.write(reinterpret_cast<const char*>(answer.data()), answer.size());
      }
    }
    if (!file) {
      std::fprintf(stderr, "cannot write %s\n", FileOf(dir, nPage).c_str());
      return 2;
    }
    std::printf("%u: %s\n", nPage, bServed ? "written" : "not served");
  }
  return 0;
}

#else

std::string Describe(const Entry& entry, const Answer& answer) {
  char text[96];
  if (entry.kind == Kind::kDecode) {
    std::snprintf(text, sizeof text, "%0*X -> %d units %02X%02X %02X%02X, strict %d",
                  entry.value > 0xFF ? 4 : 2, entry.value, answer[0], answer[3], answer[2],
                  answer[5], answer[4], answer[1]);
  } else {
    char bytes[2 * 8 + 1] = {};
    for (int i = 0; i < answer[0] && i < 8; ++i)
      std::snprintf(bytes + 2 * i, 3, "%02X", answer[4 + i]);
    std::snprintf(text, sizeof text, "U+%04X -> %s used %d error %u", entry.value, bytes, answer[1],
                  answer[2] | answer[3] << 8);
  }
  return text;
}

// A look-alike: a unit written without the default that the exact
// conversion writes as the default.
bool IsLookAlike(const Answer& bestFit, const Answer& exact) {
  return bestFit[0] != 0 && bestFit[1] == 0 && exact[1] == 1;
}

struct Counts {
  unsigned nCompared = 0;
  unsigned nDiffering = 0;
  std::vector<std::string> firstDifferences;
};

// Prints the page's counts; false when it differs in reading bytes or in
// writing units exactly.
bool ComparePage(UINT nPage, const std::vector<Entry>& entries, const std::vector<Answer>& system,
                 std::size_t nShown) {
  std::array<Counts, 3> counts{};
  std::vector<Answer> ours;
  ours.reserve(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    ours.push_back(Ask(nPage, entries[i]));
    Counts& kind = counts[static_cast<int>(entries[i].kind)];
    ++kind.nCompared;
    if (ours[i] == system[i]) continue;
    ++kind.nDiffering;
    if (kind.firstDifferences.size() < nShown) {
      kind.firstDifferences.push_back("system " + Describe(entries[i], system[i]) + "; ours " +
                                      Describe(entries[i], ours[i]));
    }
  }
  // The encoding entries come in two runs of equal length, best fit first.
  const std::size_t nUnits = counts[1].nCompared;
  const std::size_t nFirstExact = entries.size() - nUnits;
  unsigned nBoth = 0, nSystemOnly = 0, nOursOnly = 0;
  for (std::size_t i = nFirstExact - nUnits; i < nFirstExact; ++i) {
    const bool bSystem = IsLookAlike(system[i], system[i + nUnits]);
    const bool bOurs = IsLookAlike(ours[i], ours[i + nUnits]);
    nBoth += bSystem && bOurs && system[i] == ours[i];
    nSystemOnly += bSystem && !(bOurs && system[i] == ours[i]);
    nOursOnly += bOurs && !(bSystem && system[i] == ours[i]);
  }
  std::printf("%u:", nPage);
  for (std::size_t kind = 0; kind < counts.size(); ++kind) {
    std::printf(" %s %u/%u agree;", kKindNames[kind],
                counts[kind].nCompared - counts[kind].nDiffering, counts[kind].nCompared);
  }
  std::printf(" look-alikes: %u agree, %u only the system's, %u only ours\n", nBoth, nSystemOnly,
              nOursOnly);
  for (std::size_t kind = 0; kind < counts.size(); ++kind) {
    for (const std::string& difference : counts[kind].firstDifferences) {
      std::printf("    %s: %s\n", kKindNames[kind], difference.c_str());
    }
  }
  return counts[static_cast<int>(Kind::kDecode)].nDiffering == 0 &&
         counts[static_cast<int>(Kind::kEncodeExact)].nDiffering == 0;
}

int Compare(const std::string& dir, UINT nListed) {
  bool bHeldExactFailed = false;
  for (const UINT nPage : kPages) {
    if (nListed != 0 && nPage != nListed) continue;
    std::ifstream file(FileOf(dir, nPage), std::ios::binary);
    char header[4 + 5 + 32];
    if (!file.read(header, sizeof header) || !std::equal(kMagic, kMagic + 4, header)) {
      std::fprintf(stderr, "%s is missing or not a referee file\n", FileOf(dir, nPage).c_str());
      return 2;
    }
    if (header[8] == 0) {
      std::printf("%u: the system does not serve it; the code-page tests hold it\n", nPage);
      continue;
    }
    LeadBytes leads;
    for (unsigned byte = 0; byte < 256; byte += 8)
      leads |= LeadBytes(static_cast<unsigned char>(header[9 + byte / 8])) << byte;
    const std::vector<Entry> entries = EntriesOf(leads);
    std::vector<Answer> system(entries.size());
    if (!file.read(reinterpret_cast<char*>(system.data()),
                   static_cast<std::streamsize>(system.size() * sizeof(Answer)))) {
      std::fprintf(stderr, "%s is cut short\n", FileOf(dir, nPage).c_str());
      return 2;
    }
    const bool bHeldExact = std::ranges::count(kPagesNotExact, nPage) == 0;
    if (!ComparePage(nPage, entries, system, nListed != 0 ? SIZE_MAX : 4) && bHeldExact) {
      std::printf("%u differs, and it is held exact\n", nPage);
      bHeldExactFailed = true;
    }
  }
  return bHeldExactFailed ? 1 : 0;
}

#endif

}  // namespace

int main(int argc, char** argv) {
#if defined(_WIN32)
  if (argc == 3 && std::string(argv[1]) == "write") return Write(argv[2]);
  std::fprintf(stderr, "usage: %s write DIR\n", argv[0]);
#else
  if ((argc == 3 || argc == 4) && std::string(argv[1]) == "compare") {
    return Compare(argv[2], argc == 4 ? static_cast<UINT>(std::strtoul(argv[3], nullptr, 10)) : 0);
  }
  std::fprintf(stderr, "usage: %s compare DIR [PAGE]\n", argv[0]);
#endif
  return 2;
}
