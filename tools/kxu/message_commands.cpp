#include "message_commands.h"

#include <kxutils96/kxutils96.h>

#include <cctype>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text_io.h"

namespace kxu::tool {
namespace {

// The command line's arguments handed to the formatter one by one, each
// converted to the type its sign's letter names; what did not convert is
// remembered, so that the command can say so after the call.
struct ArgumentSource {
  const std::vector<std::string>& texts;
  size_t read = 0;
  std::string problem;
};

kxu::format::OrderedValue ReadArgument(void* pContext, int nIndex, char chLetter) {
  auto& source = *static_cast<ArgumentSource*>(pContext);
  kxu::format::OrderedValue value{};
  value.psz = "";
  source.read = static_cast<size_t>(nIndex) + 1;
  if (static_cast<size_t>(nIndex) >= source.texts.size()) {
    if (source.problem.empty()) source.problem = "the format has more signs than arguments";
    return value;
  }
  const std::string& text = source.texts[static_cast<size_t>(nIndex)];
  const bool converted = chLetter == 's'   ? (value.psz = text.c_str(), true)
                         : chLetter == 'd' ? ParseNumber(text, value.n)
                                           : ParseNumber(text, value.d);
  if (!converted && source.problem.empty())
    source.problem = "argument " + std::to_string(nIndex) + " ('" + text + "') is not " +
                     (chLetter == 'd' ? "an integer" : "a number");
  return value;
}

// What the formatter's "ERROR: ..." result says, as words after a colon.
std::string FormatRefusal(const CStringUTF8& result) {
  std::string_view words = View(result);
  if (words.starts_with("ERROR: ")) words.remove_prefix(7);
  std::string refusal(words);
  if (!refusal.empty()) refusal[0] = static_cast<char>(std::tolower(refusal[0]));
  return refusal;
}

void AddFormat(CommandLine& commands) {
  struct Options {
    std::string format;
    std::vector<std::string> arguments;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command =
      commands.Add("format",
                   "Format a message whose signs {N}%d, {N}%s, {N}%g (also %e %E %G) carry "
                   "argument numbers; ARG N takes the type of sign {N}. A format holds two "
                   "to ten signs, {0} to {N-1}, each once, so the command needs two to ten "
                   "values; %% prints a percent sign.",
                   "kxu format '{1}%s has {0}%d rows' 12 Table", [options] {
                     const size_t count = options->arguments.size();
                     if (count < 2 || count > 10)
                       return UsageError("format needs two to ten values, one per sign; " +
                                         std::to_string(count) + " given");
                     ArgumentSource source{options->arguments, 0, {}};
                     CStringUTF8 result;
                     const int done = kxuStringOrderedFormatFrom(result, options->format.c_str(),
                                                                 ReadArgument, &source);
                     if (done == 0)
                       return UsageError("the format is refused: " + FormatRefusal(result));
                     if (source.problem.empty() && source.read < options->arguments.size())
                       source.problem = "there are more arguments than signs";
                     if (!source.problem.empty()) return UsageError(source.problem);
                     PrintLine(View(result));
                     return kExitDone;
                   });
  command->add_option("FORMAT", options->format, "the format")->required();
  command->add_option("ARG", options->arguments, "the arguments, index 0 first");
}

void AddMsg(CommandLine& commands) {
  struct Options {
    int id = 0, language = 0, number = 0;
    std::vector<std::string> texts;
    bool runtime = false;
    CLI::Option* numberOption = nullptr;  // whether --number was given
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "msg",
      "Print message ID of the message store beside kxu, with its heading, in the "
      "host's language N (1 English, 2 German, 3 Japanese, 4 Simplified Chinese), "
      "filled with --text and --number values.",
      "kxu msg 10002 --lang 2 --text B --number 4", [options] {
        CStringUTF8 message;
        if (options->runtime) {
          if (kxu_load_runtime_err(options->id, &message) <= 0)
            return Failed("no runtime message " + std::to_string(options->id));
        } else {
          if (kxu_load_err_msg_str(options->id, nullptr, options->language) == 0)
            return Failed("the message store zErrMsg.kxmsg cannot be loaded");
          const std::vector<std::string>& texts = options->texts;
          const bool numberGiven = options->numberOption->count() > 0;
          const int loaded = texts.empty() && !numberGiven
                                 ? kxu_load_err_msg_str(options->id, &message, options->language)
                                 : kxu_load_msg_str(options->id, &message,
                                                    texts.empty() ? nullptr : texts[0].c_str(),
                                                    numberGiven ? &options->number : nullptr,
                                                    texts.size() < 2 ? nullptr : texts[1].c_str(),
                                                    options->language);
          if (loaded == 0)
            return Failed("no message " + std::to_string(options->id) +
                          ", or the values do not fit its placeholders");
        }
        PrintLine(View(message));
        return kExitDone;
      });
  command->add_option("ID", options->id, "the message id")->required();
  command->add_option("--lang", options->language,
                      "the host's language number; default: the "
                      "store's default language");
  command->add_option("--text", options->texts, "a text for a %s (at most two, in order)")
      ->expected(0, 2);
  options->numberOption =
      command->add_option("--number", options->number, "the integer for the %d");
  command->add_flag("--runtime", options->runtime,
                    "read the script runtime's store ZKSmsg96.kxmsg (no heading, no values)");
}

void AddHeading(CommandLine& commands) {
  auto id = std::make_shared<int>(0);
  CLI::App* command = commands.Add(
      "heading", "Print the heading of message ID: WARN for 10000-14999, ERR for 15000-19999.",
      "kxu heading 15000   # ERR0015000", [id] {
        CStringUTF8 heading;
        if (kxu_err_msg_heading(*id, &heading) == 0)
          return Failed("message " + std::to_string(*id) + " is neither warning nor error");
        PrintLine(View(heading));
        return kExitDone;
      });
  command->add_option("ID", *id, "the message id")->required();
}

// What check-store found in one store.
struct StoreProblems {
  const std::string& file;
  int errors = 0;
};

void PrintStoreProblem(void* pContext, int nLine, int nKind, const char* lpcszProblem) {
  auto& problems = *static_cast<StoreProblems*>(pContext);
  const bool error = nKind == 1;
  problems.errors += error ? 1 : 0;
  PrintLine(problems.file + ":" + std::to_string(nLine) + ": " + (error ? "error" : "warning") +
            ": " + lpcszProblem);
}

void AddCheckStore(CommandLine& commands) {
  auto files = std::make_shared<std::vector<std::string>>();
  CLI::App* command = commands.Add(
      "check-store",
      "Check message stores as the loader reads them; prints FILE:LINE: error "
      "or warning: PROBLEM for each of the first 1000 problems (then one line "
      "FILE:0 that counts the rest), and fails when a store has errors (such a "
      "store would not load).",
      "kxu check-store kxutils96/format/messages/stores/zErrMsg.kxmsg", [files] {
        int exitCode = kExitDone;
        for (const std::string& file : *files) {
          StoreProblems problems{file, 0};
          const InputFile input(file);
          if (input && kxuCheckMessageStore(input.Path().c_str(), PrintStoreProblem, &problems) < 0)
            exitCode = FileFailed("read", file, "the store reader could not open it");
          else if (!input || problems.errors > 0)
            exitCode = kExitFailed;
        }
        return exitCode;
      });
  command->add_option("FILE", *files, "the store files (- for stdin)")->required();
}

void AddMakeRc(CommandLine& commands) {
  struct Options {
    std::string store, rc;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = commands.Add(
      "make-rc",
      "Write the resource script of the Windows message module that a message store makes: "
      "one STRINGTABLE per language, the store's default language as the neutral one. "
      "windres compiles it; a DLL linked from it alone is the module (README, \"Message "
      "modules on Windows\").",
      "kxu make-rc zErrMsg.kxmsg zErrMsg.rc", [options] {
        const InputFile store(options->store);
        if (!store) return kExitFailed;
        // The library writes a file: for stdout, one in a private folder.
        const bool toStdout = options->rc == "-";
        const PrivateFolder folder;
        if (toStdout && !folder)
          return FileFailed("write", "-", "no temporary folder: " + folder.Error().message());
        const std::string rc = toStdout ? folder.File("out.rc") : options->rc;
        const int result = kxuMakeMessageModuleRc(store.Path().c_str(), rc.c_str());
        if (result == 0) return Failed(options->store + " has errors (kxu check-store lists them)");
        if (result < 0) return Failed("cannot read " + options->store + " or write " + options->rc);
        if (!toStdout) return kExitDone;
        const std::optional<std::string> bytes = ReadBytes(rc);
        return bytes && WriteOutput("-", *bytes) ? kExitDone : kExitFailed;
      });
  command->add_option("STORE", options->store, "the message store, or - for stdin")->required();
  command->add_option("OUT", options->rc, "the resource script to write, or - for stdout")
      ->required();
}

}  // namespace

void AddMessageCommands(CommandLine& commands) {
  AddFormat(commands);
  AddMsg(commands);
  AddHeading(commands);
  AddCheckStore(commands);
  AddMakeRc(commands);
}

}  // namespace kxu::tool
