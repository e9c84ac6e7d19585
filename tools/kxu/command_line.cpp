#include "command_line.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <new>
#include <optional>
#include <stdexcept>
#include <utility>

#include "command_documents.h"
#include "text_io.h"

namespace kxu::tool {
namespace {

// The number of single-character insertions, deletions and substitutions
// that turn `from` into `to`.
size_t EditDistance(const std::string& from, const std::string& to) {
  std::vector<size_t> row(to.size() + 1);
  for (size_t j = 0; j <= to.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= from.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= to.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (from[i - 1] != to[j - 1])});
      diagonal = above;
    }
  }
  return row[to.size()];
}

// The nearest of `names` to `name` when it is no more than half a word
// away; empty when none is.
std::string Nearest(const std::string& name, const std::vector<std::string>& names) {
  std::string nearest;
  size_t best = name.size() / 2 + 1;
  for (const std::string& candidate : names) {
    const size_t distance = EditDistance(name, candidate);
    if (distance < best) {
      best = distance;
      nearest = candidate;
    }
  }
  return nearest;
}

// The one-line complaint about `name`, which no subcommand of `level` has:
// with the nearest name when it is no more than half a word away.
std::string UnknownCommandMessage(CLI::App& level, const std::string& name) {
  std::vector<std::string> names;
  for (const CLI::App* command : level.get_subcommands({})) names.push_back(command->get_name());
  const std::string nearest = Nearest(name, names);
  return "unknown command '" + name + "'" +
         (nearest.empty() ? "" : "; did you mean '" + nearest + "'?");
}

// The complaint about the first argument that should name a command (at the
// top, or under a group such as `archive`) but names none; nothing when every
// command is known or options come first.
std::optional<std::string> UnknownCommand(CLI::App& top,
                                          const std::vector<std::string>& arguments) {
  CLI::App* level = &top;
  for (const std::string& argument : arguments) {
    if (argument.starts_with('-') || level->get_subcommands({}).empty()) return std::nullopt;
    const auto commands = level->get_subcommands({});
    const auto named = std::find_if(commands.begin(), commands.end(), [&](const CLI::App* command) {
      return command->check_name(argument);
    });
    if (named == commands.end()) return UnknownCommandMessage(*level, argument);
    level = *named;
  }
  return std::nullopt;
}

// The complaint about the first argument that the command chosen under
// `top` left over, an option it does not have: with the nearest of its
// options. Nothing when it left none that looks like an option.
std::optional<std::string> UnknownOption(const CLI::App& top) {
  const CLI::App* command = &top;
  while (!command->get_subcommands().empty()) command = command->get_subcommands().front();
  for (const std::string& argument : command->remaining()) {
    if (!argument.starts_with('-')) continue;
    std::vector<std::string> names;
    for (const CLI::Option* option : command->get_options()) {
      for (const std::string& name : option->get_lnames()) names.push_back("--" + name);
    }
    const std::string name = argument.substr(0, argument.find('='));
    const std::string nearest = Nearest(name, names);
    return "'" + command->get_name() + "' has no option '" + name + "'" +
           (nearest.empty() ? "" : "; did you mean '" + nearest + "'?");
  }
  return std::nullopt;
}

// What the library's exception `e` says, in words.
std::string RefusalWords(const CException* e) {
  if (dynamic_cast<const CMemoryException*>(e) != nullptr) return "out of memory";
  if (dynamic_cast<const CInvalidArgException*>(e) != nullptr) return "a size or argument refused";
  if (const auto* file = dynamic_cast<const CFileException*>(e))
    return "a file error (cause " + std::to_string(file->m_cause) + ")";
  if (const auto* archive = dynamic_cast<const CArchiveException*>(e))
    return "a broken archive (cause " + std::to_string(archive->m_cause) + ")";
  return "an exception of the framework";
}

// Runs `action` and returns its exit code; a refusal of the library that
// reaches here (a framework exception, a length error, a lack of memory)
// is said on stderr, naming the input and the library's limit, with exit 1.
int RunReportingRefusals(const Action& action) {
  std::string words;
  try {
    return action();
  } catch (CException* e) {
    words = RefusalWords(e);
    e->Delete();
  } catch (const std::length_error&) {
    words = "a length past the standard library's limit";
  } catch (const std::bad_alloc&) {
    words = "out of memory";
  }
  const std::string& input = CurrentInput();
  return FileFailed(
      "handle", input.empty() ? "the arguments" : input,
      "the library refused it (" + words + "); " + std::string(kLimitWords) + " bounds every text");
}

// Writes the document that the hidden first arguments ask for; nothing when
// they ask for none.
std::optional<int> WriteRequestedDocument(const CLI::App& app,
                                          const std::vector<std::string>& arguments) {
  const auto output = [&](size_t at) { return at < arguments.size() ? arguments[at] : "-"; };
  if (arguments.size() >= 2 && arguments[0] == "--generate-completion" && arguments[1] == "bash")
    return WriteOutput(output(2), BashCompletion(app)) ? kExitDone : kExitFailed;
  if (arguments.size() >= 2 && arguments[0] == "--generate-completion" && arguments[1] == "zsh")
    return WriteOutput(output(2), ZshCompletion(app)) ? kExitDone : kExitFailed;
  if (!arguments.empty() && arguments[0] == "--generate-man")
    return WriteOutput(output(1), ManualPage(app)) ? kExitDone : kExitFailed;
  return std::nullopt;
}

}  // namespace

namespace {

std::map<const CLI::Option*, OfferedValues>& Offers() {
  static std::map<const CLI::Option*, OfferedValues> s_offers;
  return s_offers;
}

}  // namespace

CLI::Option* OfferValues(CLI::Option* option, OfferedValues values) {
  Offers()[option] = std::move(values);
  return option;
}

CLI::Option* OfferValues(CLI::Option* option, std::vector<std::string> values) {
  return OfferValues(option, [values = std::move(values)] { return values; });
}

std::vector<std::string> ValuesOffered(const CLI::Option& option) {
  const auto offer = Offers().find(&option);
  return offer == Offers().end() ? std::vector<std::string>() : offer->second();
}

CLI::Validator AtLeast(long long lowest) {
  const std::string least = std::to_string(lowest);
  return CLI::Validator(
      [lowest, least](const std::string& value) {
        long long number = 0;
        return ParseNumber(value, number) && number >= lowest
                   ? std::string()
                   : "'" + value + "' is not a whole number of at least " + least;
      },
      "N>=" + least);
}

CommandLine::CommandLine()
    : m_app(
          "kxu: the kxUtils96 library at a shell prompt. Texts are UTF-8. Wherever a command "
          "reads or writes a FILE, '-' means stdin or stdout; a filter reads the FILE given "
          "last, or stdin when none is given.",
          "kxu") {
  m_app.require_subcommand(1);
  m_app.set_version_flag("--version", KXU_VERSION, "print kxu's version and exit");
  // Paths may start with '/' on every system; on Windows CLI11 would
  // otherwise read "/work" as an option. Subcommands inherit the setting.
  m_app.allow_windows_style_options(false);
  m_app.footer(
      "Run 'kxu COMMAND --help' for a command's options and an example.\n"
      "Exit status: 0 done; 1 a failure of the library or the system (a file that cannot be "
      "read or written, a lossy conversion...), said on stderr; 2 a usage error (an unknown "
      "command or option, a missing or malformed argument).\n"
      "Environment: KXU_PIECE_BYTES=N makes the commands that work through their input in "
      "pieces (read, lines, csv, convert, the filters) take about N bytes at a time rather "
      "than 1 MiB, and sort's runs hold about N bytes rather than 2 GiB; a testing knob, the "
      "output stays the same.\n");
}

CLI::App* CommandLine::Add(const std::string& name, const std::string& description,
                           const std::string& example, Action action) {
  CLI::App* command = AddTo(&m_app, name, description, std::move(action));
  command->footer("Example: " + example + "\n");
  return command;
}

CLI::App* CommandLine::AddGroup(const std::string& name, const std::string& description,
                                const std::string& example) {
  CLI::App* group = m_app.add_subcommand(name, description);
  group->footer("Example: " + example + "\n");
  group->require_subcommand(1);
  return group;
}

CLI::App* CommandLine::AddTo(CLI::App* group, const std::string& name,
                             const std::string& description, Action action) {
  CLI::App* command = group->add_subcommand(name, description);
  const std::string path = group == &m_app ? name : group->get_name() + " " + name;
  command->callback([this, path, run = std::move(action)] {
    const ProgressLine progress(path);
    m_exitCode = RunReportingRefusals(run);
  });
  return command;
}

int CommandLine::Run(std::vector<std::string> arguments) {
  const int exitCode = Parse(std::move(arguments));
  return FlushStdout() ? exitCode : kExitFailed;
}

int CommandLine::Parse(std::vector<std::string> arguments) {
  if (const std::optional<int> written = WriteRequestedDocument(m_app, arguments)) return *written;
  if (const std::optional<std::string> unknown = UnknownCommand(m_app, arguments)) {
    std::fprintf(stderr, "kxu: %s\n", unknown->c_str());
    return kExitUsage;
  }
  // CLI11 takes the arguments last one first.
  std::reverse(arguments.begin(), arguments.end());
  try {
    m_app.parse(arguments);
  } catch (const CLI::Success& done) {  // --help, --help-all, --version
    return m_app.exit(done);
  } catch (const CLI::ExtrasError& error) {
    const std::optional<std::string> unknown = UnknownOption(m_app);
    std::fprintf(stderr, "kxu: %s (see kxu --help)\n", unknown ? unknown->c_str() : error.what());
    return kExitUsage;
  } catch (const CLI::ParseError& error) {
    std::fprintf(stderr, "kxu: %s (see kxu --help)\n", error.what());
    return kExitUsage;
  }
  return m_exitCode;
}

}  // namespace kxu::tool
