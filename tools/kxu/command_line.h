// The frame every `kxu` subcommand hangs on: registration with its help text
// and example, the exit codes, and the one-line error for bad usage.
#pragma once

#include <CLI/CLI.hpp>

#include <charconv>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kxu::tool {

// The process exit codes of every subcommand.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;  // a failure of the library or the system, printed in words
inline constexpr int kExitUsage = 2;   // unknown command or option, missing or malformed argument

// What a subcommand does once its arguments are parsed; returns an exit code.
using Action = std::function<int()>;

// True when the whole of `text`, not empty, spells a number of the type of
// `value` (decimal, without a sign for an unsigned type), which it then holds.
// Example: ParseNumber("12", n) is true with n == 12; ParseNumber("12x", n) is false.
template <typename Number>
bool ParseNumber(std::string_view text, Number& value) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && stop == end && !text.empty();
}

// Checks that an option's value is a whole number of at least `lowest`;
// a value that is not says so in a sentence.
// Example: ->check(AtLeast(1)) turns "0" away with "'0' is not a whole
// number of at least 1".
CLI::Validator AtLeast(long long lowest);

// The values an option takes, for the shell's completion, made when a
// completion script is written.
using OfferedValues = std::function<std::vector<std::string>()>;

// Offers the values `values` makes to the completion of `option`'s value;
// returns `option`.
// Example: OfferValues(command->add_option("--align", ...), {"left", "right"})
// makes "kxu pad 5 --align r" TAB complete "right".
CLI::Option* OfferValues(CLI::Option* option, OfferedValues values);
CLI::Option* OfferValues(CLI::Option* option, std::vector<std::string> values);

// The values offered for `option`; empty when none are.
std::vector<std::string> ValuesOffered(const CLI::Option& option);

// The `kxu` program: the top-level parser and the action of the subcommand
// that was chosen.
class CommandLine {
 public:
  CommandLine();

  // Adds the subcommand `name`, described by `description`, whose help ends
  // with `example`; `action` runs when the subcommand is chosen. Returns the
  // subcommand so that the caller can declare its options.
  CLI::App* Add(const std::string& name, const std::string& description, const std::string& example,
                Action action);

  // Adds the subcommand `name` that only groups the further subcommands
  // added to it with AddTo; one of them must be chosen.
  CLI::App* AddGroup(const std::string& name, const std::string& description,
                     const std::string& example);

  // Adds the subcommand `name` with `action` under `group`.
  CLI::App* AddTo(CLI::App* group, const std::string& name, const std::string& description,
                  Action action);

  // Parses the arguments (after the program's name, UTF-8) and runs the
  // chosen subcommand. Help goes to stdout with exit 0; a usage error is one
  // line on stderr with exit 2, an unknown command or option named with
  // the nearest known one. Output that did not reach stdout makes the exit 1. The hidden
  // first arguments --generate-completion bash|zsh [OUT] and --generate-man
  // [OUT] write the completion script of that shell and the manual page of
  // every command to OUT, or stdout.
  int Run(std::vector<std::string> arguments);

 private:
  int Parse(std::vector<std::string> arguments);

  CLI::App m_app;
  int m_exitCode = kExitDone;
};

}  // namespace kxu::tool
