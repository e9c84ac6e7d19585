// kxu: try and script the library's functions without writing C++.
#include "console.h"

#include "archive_command.h"
#include "command_line.h"
#include "directory_commands.h"
#include "file_commands.h"
#include "message_commands.h"
#include "shell_commands.h"
#include "sort_commands.h"
#include "text_commands.h"
#include "tokens_commands.h"

int main(int argc, char** argv) {
  kxu::tool::UseBinaryStandardStreams();
  kxu::tool::CommandLine commands;
  kxu::tool::AddTokensCommands(commands);
  kxu::tool::AddTextCommands(commands);
  kxu::tool::AddMessageCommands(commands);
  kxu::tool::AddFileCommands(commands);
  kxu::tool::AddSortCommands(commands);
  kxu::tool::AddDirectoryCommands(commands);
  kxu::tool::AddShellCommands(commands);
  kxu::tool::AddArchiveCommands(commands);
  return commands.Run(kxu::tool::Utf8Arguments(argc, argv));
}
