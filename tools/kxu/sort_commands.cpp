#include "sort_commands.h"

#include <kxutils96/kxutils96.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "text_io.h"
#include "text_pieces.h"

namespace kxu::tool {
namespace {

void AddSort(CommandLine& commands) {
  struct Options {
    std::string source = "-";
    Decoding decoding;
    bool numeric = false, case_sensitive = false, descending = false, index = false;
    unsigned long missing = 0;
  };
  auto options = std::make_shared<Options>();
  const std::map<std::string, unsigned long> missing_modes = {{"low", SORT_MISSING_LOW},
                                                              {"high", SORT_MISSING_HIGH}};
  CLI::App* command = commands.Add(
      "sort", "Sort the lines of a text file (or stdin) under the library's sort flags.",
      "printf '10\\n9\\nx\\n' | kxu sort --numeric --missing high --index", [options] {
        const std::optional<std::string> text = ReadText(options->source, options->decoding);
        if (!text) return kExitFailed;
        CZQVStringArray lines = LinesOf(*text);
        CArray<int, int> former;
        former.SetSize(lines.GetSize());
        for (int i = 0; i < lines.GetSize(); ++i) former[i] = i;
        const unsigned long flags = options->missing |
                                    (options->numeric ? SORT_NUMERIC_TEXT : 0UL) |
                                    (options->case_sensitive ? SORT_CASE_SENSITIVE : 0UL) |
                                    (options->descending ? SORT_DESCENDING : 0UL);
        kxutilsSort(lines, flags, &former);
        for (int i = 0; i < lines.GetSize(); ++i) {
          if (options->index) Print(std::to_string(former[i]) + "\t");
          PrintLine(View(lines[i]));
        }
        return kExitDone;
      });
  command->add_option("FILE", options->source, "the file; default - (stdin)");
  AddDecodingOptions(command, options->decoding);
  command->add_flag("--numeric", options->numeric,
                    "compare the numbers the lines spell: through the host's numeric module "
                    "ZQUTIL96 when it is beside kxu (a line it rejects is missing), else by the "
                    "library's own reading (a line without a number counts as 0)");
  command->add_flag("--case-sensitive", options->case_sensitive, "letter case matters");
  command->add_flag("--descending", options->descending, "largest first");
  command
      ->add_option("--missing", options->missing,
                   "where lines that are no number go with --numeric: low or high")
      ->transform(CLI::CheckedTransformer(missing_modes, CLI::ignore_case));
  command->add_flag("--index", options->index, "print each line's former position first");
}

void AddFreq(CommandLine& commands) {
  struct Options {
    std::string source = "-";
    Decoding decoding;
    bool case_sensitive = false, trim = false;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "freq",
      "Count the distinct lines of a text file (or stdin); prints COUNT<TAB>LINE in "
      "sorted order.",
      "printf 'b\\na\\nB\\n' | kxu freq", [options] {
        const std::optional<std::string> text = ReadText(options->source, options->decoding);
        if (!text) return kExitFailed;
        StringArrayObject input(LinesOf(*text));
        StringArrayObject output;
        // At least one slot, so that an empty input still passes a buffer.
        std::vector<double> counts(static_cast<size_t>(input.strings().GetSize()) + 1);
        int groups = 0;
        const int options_word = (options->case_sensitive ? kFrequenciesCaseSensitive : 0) |
                                 (options->trim ? kFrequenciesTrim : 0);
        const int result =
            kxu_discrete_frequencies(&input, &output, counts.data(), &groups, options_word);
        if (result < 0) return Failed("the lines could not be counted");
        for (int i = 0; i < groups; ++i) {
          char count[32];
          std::snprintf(count, sizeof count, "%.0f\t", counts[static_cast<size_t>(i)]);
          Print(count);
          PrintLine(View(output.strings()[i]));
        }
        return kExitDone;
      });
  command->add_option("FILE", options->source, "the file; default - (stdin)");
  AddDecodingOptions(command, options->decoding);
  command->add_flag("--case-sensitive", options->case_sensitive, "letter case matters");
  command->add_flag("--trim", options->trim, "white space at both ends does not count");
}

}  // namespace

void AddSortCommands(CommandLine& commands) {
  AddSort(commands);
  AddFreq(commands);
}

}  // namespace kxu::tool
