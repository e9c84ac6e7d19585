#include "sort_commands.h"

#include <kxutils96/kxutils96.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "text_io.h"
#include "text_pieces.h"

namespace kxu::tool {
namespace {

struct SortOptions {
  std::vector<std::string> sources = {"-"};
  Decoding decoding;
  bool numeric = false, caseSensitive = false, descending = false, index = false;
  bool unique = false;
  unsigned long missing = 0;

  unsigned long Flags() const {
    return missing | (numeric ? SORT_NUMERIC_TEXT : 0UL) |
           (caseSensitive ? SORT_CASE_SENSITIVE : 0UL) | (descending ? SORT_DESCENDING : 0UL);
  }
};

// The most bytes (line feeds counted) of the lines that one sorted run
// holds: the library's limit, or with KXU_PIECE_BYTES set that many, so
// that the tests take small inputs through several runs. A run holds one
// line at least.
std::uintmax_t RunBytes() {
  static const std::uintmax_t s_bytes =
      std::getenv("KXU_PIECE_BYTES") != nullptr ? PieceBytes() : kLongestInput;
  return s_bytes;
}

// Prints the lines of a sort in order, each after its former position with
// --index; with -u, leaves out a line that sorts equal to the one before.
class SortedOutput {
 public:
  explicit SortedOutput(const SortOptions& options) : m_options(options) {}

  void Line(const CStringUTF8& line, long long former) {
    if (m_options.unique && m_printedAny &&
        SortStringGenericCallBack(&m_last, const_cast<CStringUTF8*>(&line), m_options.Flags()) == 0)
      return;
    if (m_options.unique) m_last = line;
    m_printedAny = true;
    if (m_options.index) Print(std::to_string(former) + "\t");
    PrintLine(View(line));
  }

 private:
  const SortOptions& m_options;
  CStringUTF8 m_last;
  bool m_printedAny = false;
};

// Lines gathered in runs of at most RunBytes() bytes (line feeds counted;
// one line at least): when the next line would pass that, the full run is
// handed to Full(), which empties it.
class LineRuns {
 public:
  virtual ~LineRuns() = default;

  // Adds `line`; false after a message on stderr when it is longer than the
  // library takes or a full run cannot be handled.
  bool Add(std::string_view line) {
    if (line.size() >= kLongestInput) {
      FileFailed("read", CurrentInput(), "a line is longer than " + std::string(kLimitWords));
      return false;
    }
    if (m_lines.GetSize() > 0 && m_bytes + line.size() + 1 > RunBytes() && !Full()) return false;
    m_lines.Add(CStringUTF8(line.data(), kxu::platform::CheckedInt(line.size())));
    m_bytes += line.size() + 1;
    return true;
  }

  // Adds the lines of the files `sources` ("-": stdin), each decoded as
  // `decoding` says; false after a message on stderr.
  bool AddFiles(const std::vector<std::string>& sources, const Decoding& decoding) {
    for (const std::string& source : sources) {
      TextPieces pieces(source, decoding, PieceEnd::kLine);
      bool added = true;
      if (ForEachLine(pieces, [&](std::string_view line) { return added = Add(line); }) !=
              kExitDone ||
          !added)
        return false;
    }
    return true;
  }

 protected:
  // Takes the lines of the run and empties it; false after a message on
  // stderr.
  virtual bool Full() = 0;

  void Empty() {
    m_lines.RemoveAll();
    m_bytes = 0;
  }

  CZQVStringArray m_lines;

 private:
  std::uintmax_t m_bytes = 0;
};

// Lines read for a sort, up to RunBytes() at a time; a full run is sorted
// and kept in a file of a private folder, FORMER<TAB>LINE per line.
class SortRuns final : public LineRuns {
 public:
  explicit SortRuns(const SortOptions& options) : m_options(options) {}

  // Prints every line added, in order; the exit code.
  int Print() {
    SortedOutput output(m_options);
    if (m_files.empty()) {
      CArray<int, int> former;
      SortLines(former);
      for (int i = 0; i < m_lines.GetSize(); ++i) output.Line(m_lines[i], former[i]);
      return kExitDone;
    }
    return Full() ? Merge(output) : kExitFailed;
  }

 private:
  // Sorts the lines of the run (stably); sets `former` to their former
  // positions in the run.
  void SortLines(CArray<int, int>& former) {
    former.SetSize(m_lines.GetSize());
    for (int i = 0; i < m_lines.GetSize(); ++i) former[i] = i;
    kxutilsSort(m_lines, m_options.Flags(), &former);
  }

  // Sorts the run and writes it to a file of its own, emptying it.
  bool Full() override {
    if (!m_folder) m_folder = std::make_unique<PrivateFolder>();
    if (!*m_folder) {
      FileFailed("sort", CurrentInput(), "no temporary folder: " + m_folder->Error().message());
      return false;
    }
    CArray<int, int> former;
    SortLines(former);
    std::string text;
    for (int i = 0; i < m_lines.GetSize(); ++i) {
      text += std::to_string(m_first + former[i]);
      text += '\t';
      text += View(m_lines[i]);
      text += '\n';
    }
    m_files.push_back(m_folder->File("run" + std::to_string(m_files.size())));
    m_first += m_lines.GetSize();
    Empty();
    return WriteOutput(m_files.back(), text);
  }

  // The next line of a kept run: its former position and text.
  struct Head {
    std::ifstream file;
    long long former = 0;
    CStringUTF8 line;
    bool Next() {
      std::string text;
      if (!std::getline(file, text)) return false;
      const size_t tab = text.find('\t');
      former = std::stoll(text.substr(0, tab));
      line = CStringUTF8(text.data() + tab + 1, kxu::platform::CheckedInt(text.size() - tab - 1));
      return true;
    }
  };

  // Merges the kept runs into `output`; among equal lines the earlier run's
  // come first, so the order is that of one stable sort.
  int Merge(SortedOutput& output) {
    std::vector<std::unique_ptr<Head>> heads;
    for (const std::string& file : m_files) {
      auto head = std::make_unique<Head>();
      head->file.open(FsPath(file), std::ios::binary);
      if (head->Next()) heads.push_back(std::move(head));
    }
    while (!heads.empty() && !StdoutFailed()) {
      size_t least = 0;
      for (size_t i = 1; i < heads.size(); ++i) {
        if (SortStringGenericCallBack(&heads[i]->line, &heads[least]->line, m_options.Flags()) < 0)
          least = i;
      }
      output.Line(heads[least]->line, heads[least]->former);
      if (!heads[least]->Next()) heads.erase(heads.begin() + static_cast<std::ptrdiff_t>(least));
    }
    return kExitDone;
  }

  const SortOptions& m_options;
  long long m_first = 0;  // the former position of the run's first line
  std::unique_ptr<PrivateFolder> m_folder;
  std::vector<std::string> m_files;
};

void AddSort(CommandLine& commands) {
  auto options = std::make_shared<SortOptions>();
  const std::map<std::string, unsigned long> missingModes = {{"low", SORT_MISSING_LOW},
                                                             {"high", SORT_MISSING_HIGH}};
  CLI::App* command = commands.Add(
      "sort",
      "Sort the lines of text files (or stdin), taken together, under the library's sort "
      "flags. Equal lines keep their order. Any size where memory allows: the lines are "
      "sorted in runs of at most the library's limit (2 GiB - 1), kept in temporary files "
      "and merged.",
      "printf '10\\n9\\nb\\n9\\n' | kxu sort -n -r -u --index", [options] {
        SortRuns runs(*options);
        return runs.AddFiles(options->sources, options->decoding) ? runs.Print() : kExitFailed;
      });
  command->add_option("FILE", options->sources, "the files; default - (stdin)");
  AddDecodingOptions(command, options->decoding);
  command->add_flag("-n,--numeric", options->numeric,
                    "compare the numbers the lines spell: through the host's numeric module "
                    "ZQUTIL96 when it is beside kxu (a line it rejects is missing), else by the "
                    "library's own reading (a line without a number counts as 0)");
  command->add_flag("--case-sensitive", options->caseSensitive, "letter case matters");
  command->add_flag("-r,--descending", options->descending, "largest first");
  command->add_flag("-u,--unique", options->unique,
                    "print only the first of the lines that sort equal: with --numeric those "
                    "of one number, else those of one text (letter case aside unless "
                    "--case-sensitive)");
  OfferValues(
      command->add_option("--missing", options->missing,
                          "with --numeric, where the lines that ZQUTIL96 rejects go: low or high "
                          "(without that module no line is missing, and this changes nothing)"),
      {"low", "high"})
      ->transform(CLI::CheckedTransformer(missingModes, CLI::ignore_case));
  command->add_flag("--index", options->index,
                    "print each line's former position first, counting through the files");
}

// The order in which to print `groups` groups counted `counts` times: the
// sorted order, or with `by_count` the most frequent first (ties in the
// sorted order).
std::vector<int> GroupOrder(const std::vector<double>& counts, int groups, bool byCount) {
  std::vector<int> order(static_cast<size_t>(groups));
  for (int i = 0; i < groups; ++i) order[static_cast<size_t>(i)] = i;
  if (byCount)
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
      return counts[static_cast<size_t>(a)] > counts[static_cast<size_t>(b)];
    });
  return order;
}

// The distinct lines added and their counts, counted by the library a run at
// a time: each run's groups are merged with those of the runs before, by
// key in the library's order, so that the result is that of one count of
// all the lines (a group keeps the first line met as its key).
class FrequencyRuns final : public LineRuns {
 public:
  explicit FrequencyRuns(int options) : m_options(options) {}

  // Prints COUNT<TAB>LINE for every group, in sorted order or with
  // `byCount` the most frequent first; the exit code.
  int PrintGroups(bool byCount) {
    if (!Full()) return kExitFailed;
    for (const int i : GroupOrder(m_counts, m_keys.GetSize(), byCount)) {
      char count[32];
      std::snprintf(count, sizeof count, "%.0f\t", m_counts[static_cast<size_t>(i)]);
      Print(count);
      PrintLine(View(m_keys[i]));
    }
    return kExitDone;
  }

 private:
  // Counts the run and merges its groups into those counted before.
  bool Full() override {
    if (m_lines.GetSize() == 0) return true;
    StringArrayObject input(std::move(m_lines));
    Empty();
    StringArrayObject output;
    std::vector<double> counts(static_cast<size_t>(input.Strings().GetSize()));
    int groups = 0;
    if (kxu_discrete_frequencies(&input, &output, counts.data(), &groups, m_options) < 0) {
      Failed("the lines could not be counted");
      return false;
    }
    counts.resize(static_cast<size_t>(groups));
    if (m_keys.GetSize() == 0) {
      m_keys = std::move(output.Strings());
      m_counts = std::move(counts);
    } else {
      Merge(output.Strings(), counts);
    }
    return true;
  }

  // Merges the groups `keys`, counted `counts` times, into those kept; a
  // kept key equal to one of them keeps its place and adds its count.
  void Merge(CZQVStringArray& keys, const std::vector<double>& counts) {
    const unsigned long flags =
        (m_options & kFrequenciesCaseSensitive) != 0 ? SORT_CASE_SENSITIVE : 0UL;
    CZQVStringArray mergedKeys;
    std::vector<double> mergedCounts;
    int kept = 0, added = 0;
    while (kept < m_keys.GetSize() || added < keys.GetSize()) {
      const int order = kept == m_keys.GetSize() ? 1
                        : added == keys.GetSize()
                            ? -1
                            : SortStringGenericCallBack(&m_keys[kept], &keys[added], flags);
      if (order <= 0) {
        mergedKeys.Add(m_keys[kept]);
        mergedCounts.push_back(m_counts[static_cast<size_t>(kept++)]);
        if (order == 0) mergedCounts.back() += counts[static_cast<size_t>(added++)];
      } else {
        mergedKeys.Add(keys[added]);
        mergedCounts.push_back(counts[static_cast<size_t>(added++)]);
      }
    }
    m_keys = std::move(mergedKeys);
    m_counts = std::move(mergedCounts);
  }

  int m_options;
  CZQVStringArray m_keys;  // the groups' keys in sorted order
  std::vector<double> m_counts;
};

void AddFreq(CommandLine& commands) {
  struct Options {
    std::vector<std::string> sources = {"-"};
    Decoding decoding;
    bool caseSensitive = false, trim = false, byCount = false;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "freq",
      "Count the distinct lines of text files (or stdin), taken together; prints "
      "COUNT<TAB>LINE in sorted order, or the most frequent first with --by-count. Any size "
      "where memory allows: the lines are counted in runs of at most the library's limit "
      "(2 GiB - 1) and the counts added up.",
      "printf 'b\\na\\nB\\n' | kxu freq --by-count", [options] {
        FrequencyRuns runs((options->caseSensitive ? kFrequenciesCaseSensitive : 0) |
                           (options->trim ? kFrequenciesTrim : 0));
        return runs.AddFiles(options->sources, options->decoding)
                   ? runs.PrintGroups(options->byCount)
                   : kExitFailed;
      });
  command->add_option("FILE", options->sources, "the files; default - (stdin)");
  AddDecodingOptions(command, options->decoding);
  command->add_flag("--case-sensitive", options->caseSensitive, "letter case matters");
  command->add_flag("--trim", options->trim, "white space at both ends does not count");
  command->add_flag("-c,--by-count", options->byCount, "the most frequent lines first");
}

// An integer array handed to the script-facing exports as a host object.
class IntArrayObject final : public HostObject {
 public:
  void* GetNativeObject(int nQuery, intptr_t /*nParam*/) override {
    return nQuery == QUERY_INT_ARRAY ? &m_numbers : nullptr;
  }
  CArray<int, int>& Numbers() { return m_numbers; }

 private:
  CArray<int, int> m_numbers;
};

// Items of a list: ids, names and the rest of each line.
struct Items {
  IntArrayObject ids;
  StringArrayObject names, extras;
};

// Reads the items of the file `source`, a line each: ID<TAB>NAME, then
// optionally <TAB> and anything. False after a message on stderr when the
// file cannot be read or a line has no whole-number id.
bool ReadItems(const std::string& source, Items& items) {
  const std::optional<std::string> text = ReadBytes(source);
  if (!text) return false;
  int number = 0;
  for (const std::string_view line : SplitLines(*text)) {
    ++number;
    const size_t tab = std::min(line.find('\t'), line.size());
    const size_t nameEnd = std::min(line.find('\t', tab + 1), line.size());
    int id = 0;
    if (!ParseNumber(line.substr(0, tab), id)) {
      FileFailed("read", source,
                 "line " + std::to_string(number) + " does not start with a whole-number id");
      return false;
    }
    items.ids.Numbers().Add(id);
    const std::string_view name = line.substr(std::min(tab + 1, line.size()), nameEnd - tab - 1);
    items.names.Strings().Add(std::string(name).c_str());
    items.extras.Strings().Add(std::string(line.substr(std::min(nameEnd, line.size()))).c_str());
  }
  return true;
}

void AddRemoveUnchanged(CommandLine& commands) {
  struct Options {
    std::string reference, current;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "remove-unchanged",
      "Print the items of CURRENT that are new or changed against REFERENCE. Both files hold "
      "an item a line, ID<TAB>NAME and optionally more after a tab; an item of CURRENT whose "
      "id is in REFERENCE with the same name (letter case aside; the first item of that id "
      "counts) is unchanged and left out.",
      "kxu remove-unchanged before.tsv after.tsv", [options] {
        Items reference, current;
        if (!ReadItems(options->reference, reference) || !ReadItems(options->current, current))
          return kExitFailed;
        const int removed = kxu_remove_unchanged_items_by_id(
            &reference.ids, &reference.names, &current.ids, &current.names, &current.extras);
        if (removed == kRemoveBadCurrentSide)
          return Failed("'" + options->current + "' holds no items");
        if (removed == kRemoveBadReferenceSide)
          return Failed("'" + options->reference + "' holds no items");
        for (int i = 0; i < current.names.Strings().GetSize(); ++i)
          PrintLine(std::to_string(current.ids.Numbers()[i]) + "\t" +
                    std::string(View(current.names.Strings()[i])) +
                    std::string(View(current.extras.Strings()[i])));
        return kExitDone;
      });
  command->add_option("REFERENCE", options->reference, "the items as they were")->required();
  command->add_option("CURRENT", options->current, "the items as they are")->required();
}

}  // namespace

void AddSortCommands(CommandLine& commands) {
  AddSort(commands);
  AddFreq(commands);
  AddRemoveUnchanged(commands);
}

}  // namespace kxu::tool
