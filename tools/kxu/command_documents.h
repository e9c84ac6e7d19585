// Documents made from the command definitions themselves, so that they list
// exactly the commands and options the parser takes: the bash and zsh
// completion scripts and the manual page.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

namespace kxu::tool {

// A bash script that completes `app`'s commands (and the commands of a group
// such as `archive`), and after a command its options when the word starts
// with '-', the values an option offers (OfferValues) after that option,
// else file names. Source it, or install it as
// share/bash-completion/completions/kxu.
// Example: after "kxu so" TAB gives "kxu sort"; "kxu sort --de" TAB gives
// "--descending"; "kxu convert --to utf-16b" TAB gives "utf-16be".
std::string BashCompletion(const CLI::App& app);

// The zsh script that completes as BashCompletion's does: a #compdef file
// for a folder of $fpath (share/zsh/site-functions/_kxu), or sourced after
// compinit.
std::string ZshCompletion(const CLI::App& app);

// The manual page of `app` in man(7) markup: its description, every command
// with its arguments, options and example, and the exit status.
// Example: `man ./kxu.1` shows the section "kxu wrap [OPTIONS] WIDTH [FILE]".
std::string ManualPage(const CLI::App& app);

}  // namespace kxu::tool
