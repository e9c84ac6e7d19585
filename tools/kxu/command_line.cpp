#include "command_line.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace kxu::tool {

CommandLine::CommandLine()
    : app_("kxu: the kxUtils96 library at a shell prompt. Texts are UTF-8; '-' reads stdin.",
           "kxu") {
  app_.require_subcommand(1);
  // Paths may start with '/' on every system; on Windows CLI11 would
  // otherwise read "/work" as an option. Subcommands inherit the setting.
  app_.allow_windows_style_options(false);
  app_.footer("Run 'kxu COMMAND --help' for a command's options and an example.\n");
}

CLI::App* CommandLine::Add(const std::string& name, const std::string& description,
                           const std::string& example, Action action) {
  CLI::App* command = AddTo(&app_, name, description, std::move(action));
  command->footer("Example: " + example + "\n");
  return command;
}

CLI::App* CommandLine::AddGroup(const std::string& name, const std::string& description,
                                const std::string& example) {
  CLI::App* group = app_.add_subcommand(name, description);
  group->footer("Example: " + example + "\n");
  group->require_subcommand(1);
  return group;
}

CLI::App* CommandLine::AddTo(CLI::App* group, const std::string& name,
                             const std::string& description, Action action) {
  CLI::App* command = group->add_subcommand(name, description);
  command->callback([this, run = std::move(action)] { exit_code_ = run(); });
  return command;
}

int CommandLine::Run(std::vector<std::string> arguments) {
  // CLI11 takes the arguments last one first.
  std::reverse(arguments.begin(), arguments.end());
  try {
    app_.parse(arguments);
  } catch (const CLI::CallForHelp& help) {
    return app_.exit(help);
  } catch (const CLI::CallForAllHelp& help) {
    return app_.exit(help);
  } catch (const CLI::ParseError& error) {
    std::fprintf(stderr, "kxu: %s (see kxu --help)\n", error.what());
    return kExitUsage;
  }
  return exit_code_;
}

}  // namespace kxu::tool
