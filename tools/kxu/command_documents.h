// Documents made from the command definitions themselves, so that they list
// exactly the commands and options the parser takes: the bash completion
// script and the manual page.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

namespace kxu::tool {

// A bash script that completes `app`'s commands (and the commands of a group
// such as `archive`), and after a command its options when the word starts
// with '-', else file names. Source it, or install it as
// share/bash-completion/completions/kxu.
// Example: after "kxu so" TAB gives "kxu sort"; "kxu sort --de" TAB gives
// "--descending".
std::string BashCompletion(const CLI::App& app);

// The manual page of `app` in man(7) markup: its description, every command
// with its arguments, options and example, and the exit status.
// Example: `man ./kxu.1` shows the section "kxu wrap [OPTIONS] WIDTH [FILE]".
std::string ManualPage(const CLI::App& app);

}  // namespace kxu::tool
