// The frame every `kxu` subcommand hangs on: registration with its help text
// and example, the exit codes, and the one-line error for bad usage.
#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <string>
#include <vector>

namespace kxu::tool {

// The process exit codes of every subcommand.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;  // the library reported a failure, printed in words
inline constexpr int kExitUsage = 2;   // unknown option, missing or malformed argument

// What a subcommand does once its arguments are parsed; returns an exit code.
using Action = std::function<int()>;

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
  // line on stderr with exit 2.
  int Run(std::vector<std::string> arguments);

 private:
  CLI::App app_;
  int exit_code_ = kExitDone;
};

}  // namespace kxu::tool
