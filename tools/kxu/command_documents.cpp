#include "command_documents.h"

#include <string_view>
#include <vector>

namespace kxu::tool {
namespace {

// A command that runs (no group): its words after "kxu" and its definition.
struct Command {
  std::string path;
  const CLI::App* app;
};

std::vector<const CLI::App*> Subcommands(const CLI::App& app) {
  return app.get_subcommands([](const CLI::App*) { return true; });
}

// Every command that runs, groups opened, in the order of the top help.
std::vector<Command> RunnableCommands(const CLI::App& app) {
  std::vector<Command> commands;
  for (const CLI::App* command : Subcommands(app)) {
    const std::vector<const CLI::App*> members = Subcommands(*command);
    if (members.empty()) commands.push_back({command->get_name(), command});
    for (const CLI::App* member : members)
      commands.push_back({command->get_name() + " " + member->get_name(), member});
  }
  return commands;
}

std::string JoinedNames(const std::vector<const CLI::App*>& commands) {
  std::string names;
  for (const CLI::App* command : commands)
    names += (names.empty() ? "" : " ") + command->get_name();
  return names;
}

// The spellings of an option that has names, e.g. {"-r", "--recursive"}.
std::vector<std::string> OptionSpellings(const CLI::Option& option) {
  std::vector<std::string> spellings;
  for (const std::string& name : option.get_snames()) spellings.push_back("-" + name);
  for (const std::string& name : option.get_lnames()) spellings.push_back("--" + name);
  return spellings;
}

std::string JoinedOptions(const CLI::App& command) {
  std::string words;
  for (const CLI::Option* option : command.get_options()) {
    for (const std::string& spelling : OptionSpellings(*option))
      words += (words.empty() ? "" : " ") + spelling;
  }
  return words;
}

// The arguments of `command` as its usage shows them: "WIDTH [FILE]".
std::string Arguments(const CLI::App& command) {
  std::string arguments;
  for (const CLI::Option* option : command.get_options()) {
    if (option->nonpositional()) continue;
    std::string name = option->get_name(true);
    if (option->get_items_expected_max() > 1) name += "...";
    if (!option->get_required()) name.insert(0, 1, '[').push_back(']');
    arguments += " " + name;
  }
  return arguments;
}

// `text` safe as running text in man(7) markup: backslashes and hyphens
// escaped, and no line that starts with a control character.
std::string Roff(std::string_view text) {
  std::string escaped = "\\&";
  for (const char ch : text) {
    if (ch == '\\')
      escaped += "\\e";
    else if (ch == '-')
      escaped += "\\-";
    else
      escaped += ch;
    if (ch == '\n') escaped += "\\&";
  }
  return escaped;
}

// `text` without the line feeds that end it.
std::string_view Trimmed(std::string_view text) {
  return text.substr(0, text.find_last_not_of('\n') + 1);
}

// The names of an option as the manual heads its paragraph: "--max INT".
std::string OptionHeading(const CLI::Option& option) {
  if (!option.nonpositional()) return option.get_name(true);
  std::string heading;
  for (const std::string& spelling : OptionSpellings(option))
    heading += (heading.empty() ? "" : ", ") + spelling;
  if (option.get_type_size_max() > 0) heading += " " + option.get_type_name();
  return heading;
}

std::string ManualCommand(const Command& command) {
  const CLI::App& app = *command.app;
  std::string page = ".SS \"" + Roff("kxu " + command.path + " [OPTIONS]" + Arguments(app)) +
                     "\"\n" + Roff(app.get_description()) + "\n";
  for (const CLI::Option* option : app.get_options()) {
    if (option == app.get_help_ptr()) continue;
    page +=
        ".TP\n.B " + Roff(OptionHeading(*option)) + "\n" + Roff(option->get_description()) + "\n";
  }
  const std::string example = app.get_footer();
  if (!example.empty()) page += ".PP\n" + Roff(Trimmed(example)) + "\n";
  return page;
}

}  // namespace

std::string BashCompletion(const CLI::App& app) {
  std::string script =
      "# bash completion for kxu, made by 'kxu --generate-completion bash'.\n"
      "_kxu() {\n"
      "  local cur=\"${COMP_WORDS[COMP_CWORD]}\" before=\"${COMP_WORDS[*]:1:COMP_CWORD-1}\"\n"
      "  local words=\"\" options=\"\"\n"
      "  case \"$before\" in\n"
      "    \"\") words=\"" +
      JoinedNames(Subcommands(app)) + " " + JoinedOptions(app) + "\" ;;\n";
  for (const CLI::App* group : Subcommands(app)) {
    if (!Subcommands(*group).empty())
      script += "    \"" + group->get_name() + "\") words=\"" + JoinedNames(Subcommands(*group)) +
                " " + JoinedOptions(*group) + "\" ;;\n";
  }
  for (const Command& command : RunnableCommands(app)) {
    script += "    \"" + command.path + "\" | \"" + command.path + " \"*) options=\"" +
              JoinedOptions(*command.app) + "\" ;;\n";
  }
  script +=
      "  esac\n"
      "  # After a command, options complete a word that starts with '-'; else\n"
      "  # nothing is offered and bash completes a file name.\n"
      "  [[ $cur == -* ]] && words=\"$options\"\n"
      "  COMPREPLY=($(compgen -W \"$words\" -- \"$cur\"))\n"
      "}\n"
      "complete -o default -F _kxu kxu\n";
  return script;
}

std::string ManualPage(const CLI::App& app) {
  std::string page =
      ".TH KXU 1 \"\" \"kxu " + Roff(app.version()) + "\" \"User Commands\"\n" +
      ".SH NAME\nkxu \\- " + Roff("the kxUtils96 library at a shell prompt") + "\n" +
      ".SH SYNOPSIS\n.B kxu\n.I COMMAND\n[\\fIOPTIONS\\fR] [\\fIARGUMENTS\\fR]\n" +
      ".br\n.B kxu\n\\-\\-help | \\-\\-version\n.SH DESCRIPTION\n" + Roff(app.get_description()) +
      "\n.PP\n" + Roff("Every command takes --help, which explains its options with an example.") +
      "\n.SH COMMANDS\n";
  for (const Command& command : RunnableCommands(app)) page += ManualCommand(command);
  constexpr std::string_view kStatus = "Exit status: ";
  const std::string footer = app.get_footer();
  const size_t status = footer.find(kStatus);
  if (status != std::string::npos)
    page += ".SH EXIT STATUS\n" + Roff(Trimmed(footer.substr(status + kStatus.size()))) + "\n";
  return page;
}

}  // namespace kxu::tool
