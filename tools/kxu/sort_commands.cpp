#include "sort_commands.h"

#include <kxutils96/kxutils96.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
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

// The lines of the files `sources` ("-": stdin), one after the other, each
// decoded as `decoding` says; nothing after a message on stderr when one
// cannot be read or the lines pass the library's limit.
std::optional<CZQVStringArray> LinesOfFiles(const std::vector<std::string>& sources,
                                            const Decoding& decoding) {
  CZQVStringArray lines;
  std::uintmax_t total = 0;
  for (const std::string& source : sources) {
    const std::optional<std::string> text = ReadText(source, decoding);
    if (!text) return std::nullopt;
    total += text->size();
    if (total > kLongestInput) {
      FileFailed("read", source, "the files together are longer than " + std::string(kLimitWords));
      return std::nullopt;
    }
    AddLines(*text, lines);
  }
  return lines;
}

void AddSort(CommandLine& commands) {
  struct Options {
    std::vector<std::string> sources = {"-"};
    Decoding decoding;
    bool numeric = false, case_sensitive = false, descending = false, index = false;
    bool unique = false;
    unsigned long missing = 0;
  };
  auto options = std::make_shared<Options>();
  const std::map<std::string, unsigned long> missing_modes = {{"low", SORT_MISSING_LOW},
                                                              {"high", SORT_MISSING_HIGH}};
  CLI::App* command = commands.Add(
      "sort",
      "Sort the lines of text files (or stdin), taken together, under the library's sort "
      "flags. Equal lines keep their order.",
      "printf '10\\n9\\nb\\n9\\n' | kxu sort -n -r -u --index", [options] {
        std::optional<CZQVStringArray> lines = LinesOfFiles(options->sources, options->decoding);
        if (!lines) return kExitFailed;
        CArray<int, int> former;
        former.SetSize(lines->GetSize());
        for (int i = 0; i < lines->GetSize(); ++i) former[i] = i;
        const unsigned long flags = options->missing |
                                    (options->numeric ? SORT_NUMERIC_TEXT : 0UL) |
                                    (options->case_sensitive ? SORT_CASE_SENSITIVE : 0UL) |
                                    (options->descending ? SORT_DESCENDING : 0UL);
        kxutilsSort(*lines, flags, &former);
        for (int i = 0; i < lines->GetSize(); ++i) {
          const CStringUTF8& line = (*lines)[i];
          if (options->unique && i > 0 &&
              (options->case_sensitive ? line.Compare((*lines)[i - 1])
                                       : line.CompareNoCase((*lines)[i - 1])) == 0)
            continue;
          if (options->index) Print(std::to_string(former[i]) + "\t");
          PrintLine(View(line));
        }
        return kExitDone;
      });
  command->add_option("FILE", options->sources, "the files; default - (stdin)");
  AddDecodingOptions(command, options->decoding);
  command->add_flag("-n,--numeric", options->numeric,
                    "compare the numbers the lines spell: through the host's numeric module "
                    "ZQUTIL96 when it is beside kxu (a line it rejects is missing), else by the "
                    "library's own reading (a line without a number counts as 0)");
  command->add_flag("--case-sensitive", options->case_sensitive, "letter case matters");
  command->add_flag("-r,--descending", options->descending, "largest first");
  command->add_flag("-u,--unique", options->unique,
                    "print only the first of equal neighbours: the same text (letter case "
                    "aside unless --case-sensitive), whatever --numeric finds equal");
  command
      ->add_option("--missing", options->missing,
                   "with --numeric, where the lines that ZQUTIL96 rejects go: low or high "
                   "(without that module no line is missing, and this changes nothing)")
      ->transform(CLI::CheckedTransformer(missing_modes, CLI::ignore_case));
  command->add_flag("--index", options->index,
                    "print each line's former position first, counting through the files");
}

// The order in which to print `groups` groups counted `counts` times: the
// sorted order, or with `by_count` the most frequent first (ties in the
// sorted order).
std::vector<int> GroupOrder(const std::vector<double>& counts, int groups, bool by_count) {
  std::vector<int> order(static_cast<size_t>(groups));
  for (int i = 0; i < groups; ++i) order[static_cast<size_t>(i)] = i;
  if (by_count)
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
      return counts[static_cast<size_t>(a)] > counts[static_cast<size_t>(b)];
    });
  return order;
}

void AddFreq(CommandLine& commands) {
  struct Options {
    std::vector<std::string> sources = {"-"};
    Decoding decoding;
    bool case_sensitive = false, trim = false, by_count = false;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "freq",
      "Count the distinct lines of text files (or stdin), taken together; prints "
      "COUNT<TAB>LINE in sorted order, or the most frequent first with --by-count.",
      "printf 'b\\na\\nB\\n' | kxu freq --by-count", [options] {
        std::optional<CZQVStringArray> lines = LinesOfFiles(options->sources, options->decoding);
        if (!lines) return kExitFailed;
        StringArrayObject input(std::move(*lines));
        StringArrayObject output;
        // At least one slot, so that an empty input still passes a buffer.
        std::vector<double> counts(static_cast<size_t>(input.strings().GetSize()) + 1);
        int groups = 0;
        const int options_word = (options->case_sensitive ? kFrequenciesCaseSensitive : 0) |
                                 (options->trim ? kFrequenciesTrim : 0);
        const int result =
            kxu_discrete_frequencies(&input, &output, counts.data(), &groups, options_word);
        if (result < 0) return Failed("the lines could not be counted");
        for (const int i : GroupOrder(counts, groups, options->by_count)) {
          char count[32];
          std::snprintf(count, sizeof count, "%.0f\t", counts[static_cast<size_t>(i)]);
          Print(count);
          PrintLine(View(output.strings()[i]));
        }
        return kExitDone;
      });
  command->add_option("FILE", options->sources, "the files; default - (stdin)");
  AddDecodingOptions(command, options->decoding);
  command->add_flag("--case-sensitive", options->case_sensitive, "letter case matters");
  command->add_flag("--trim", options->trim, "white space at both ends does not count");
  command->add_flag("-c,--by-count", options->by_count, "the most frequent lines first");
}

// An integer array handed to the script-facing exports as a host object.
class IntArrayObject final : public HostObject {
 public:
  void* GetNativeObject(int nQuery, intptr_t /*nParam*/) override {
    return nQuery == QUERY_INT_ARRAY ? &numbers_ : nullptr;
  }
  CArray<int, int>& numbers() { return numbers_; }

 private:
  CArray<int, int> numbers_;
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
    const size_t name_end = std::min(line.find('\t', tab + 1), line.size());
    int id = 0;
    const auto [stop, error] = std::from_chars(line.data(), line.data() + tab, id);
    if (error != std::errc() || stop != line.data() + tab) {
      FileFailed("read", source,
                 "line " + std::to_string(number) + " does not start with a whole-number id");
      return false;
    }
    items.ids.numbers().Add(id);
    const std::string_view name = line.substr(std::min(tab + 1, line.size()), name_end - tab - 1);
    items.names.strings().Add(std::string(name).c_str());
    items.extras.strings().Add(std::string(line.substr(std::min(name_end, line.size()))).c_str());
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
        for (int i = 0; i < current.names.strings().GetSize(); ++i)
          PrintLine(std::to_string(current.ids.numbers()[i]) + "\t" +
                    std::string(View(current.names.strings()[i])) +
                    std::string(View(current.extras.strings()[i])));
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
