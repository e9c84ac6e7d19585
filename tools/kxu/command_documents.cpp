#include "command_documents.h"

#include <map>
#include <string_view>
#include <vector>

#include "command_line.h"

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

// The shell code, the same in bash and zsh, that sets `offer` to the words
// that may complete `cur`, given `prev`, the word before it, and `before`,
// the words between "kxu" and it joined by blanks: the commands (and a
// group's members), after a command its options for a word that starts
// with '-', or the values of the option in `prev` when it offers some.
std::string OfferingCode(const CLI::App& app) {
  std::map<std::vector<std::string>, std::string> lists;  // each list of values, named
  std::string cases =
      "  case \"$before\" in\n"
      "    \"\") names=\"" +
      JoinedNames(Subcommands(app)) + " " + JoinedOptions(app) + "\" ;;\n";
  for (const CLI::App* group : Subcommands(app)) {
    if (!Subcommands(*group).empty())
      cases += "    \"" + group->get_name() + "\") names=\"" + JoinedNames(Subcommands(*group)) +
               " " + JoinedOptions(*group) + "\" ;;\n";
  }
  for (const Command& command : RunnableCommands(app)) {
    cases += "    \"" + command.path + "\" | \"" + command.path + " \"*)\n      options=\"" +
             JoinedOptions(*command.app) + "\"\n";
    std::string valueCases;
    for (const CLI::Option* option : command.app->get_options()) {
      const std::vector<std::string> values = ValuesOffered(*option);
      if (values.empty()) continue;
      const auto list = lists.try_emplace(values, "values" + std::to_string(lists.size())).first;
      std::string spellings;
      for (const std::string& spelling : OptionSpellings(*option))
        spellings += (spellings.empty() ? "" : " | ") + spelling;
      valueCases += "        " + spellings + ") values=\"$" + list->second + "\" ;;\n";
    }
    if (!valueCases.empty()) cases += "      case \"$prev\" in\n" + valueCases + "      esac\n";
    cases += "      ;;\n";
  }
  std::string code = "  local names=\"\" options=\"\" values=\"\" offer\n";
  for (const auto& [values, name] : lists) {
    std::string joined;
    for (const std::string& value : values) joined += (joined.empty() ? "" : " ") + value;
    code.append("  local ").append(name).append("=\"").append(joined).append("\"\n");
  }
  return code + cases +
         "  esac\n"
         "  offer=$names\n"
         "  [[ $cur == -* ]] && offer=$options\n"
         "  [[ -n $values ]] && offer=$values\n";
}

}  // namespace

std::string BashCompletion(const CLI::App& app) {
  return "# bash completion for kxu, made by 'kxu --generate-completion bash'.\n"
         "_kxu() {\n"
         "  local cur=\"${COMP_WORDS[COMP_CWORD]}\" prev=\"${COMP_WORDS[COMP_CWORD-1]}\"\n"
         "  local before=\"${COMP_WORDS[*]:1:COMP_CWORD-1}\"\n" +
         OfferingCode(app) +
         "  # Where nothing is offered, bash completes a file name.\n"
         "  COMPREPLY=($(compgen -W \"$offer\" -- \"$cur\"))\n"
         "}\n"
         "complete -o default -F _kxu kxu\n";
}

std::string ZshCompletion(const CLI::App& app) {
  return "#compdef kxu\n"
         "# zsh completion for kxu, made by 'kxu --generate-completion zsh'.\n"
         "# _kxu_offered sets `reply` to the words that complete words[CURRENT].\n"
         "_kxu_offered() {\n"
         "  local cur=\"${words[CURRENT]}\" prev=\"${words[CURRENT-1]}\"\n"
         "  local before=\"${(j: :)words[2,CURRENT-1]}\"\n" +
         OfferingCode(app) +
         "  reply=(${(M)${=offer}:#${(b)cur}*})\n"
         "}\n"
         "_kxu() {\n"
         "  local -a reply\n"
         "  _kxu_offered\n"
         "  if ((${#reply})); then compadd -a reply; else _files; fi\n"
         "}\n"
         "# Loaded by compinit from a folder of $fpath, or sourced.\n"
         "if [[ ${zsh_eval_context[-1]} == loadautofunc ]]; then\n"
         "  _kxu \"$@\"\n"
         "else\n"
         "  compdef _kxu kxu\n"
         "fi\n";
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
