#include "shell_commands.h"

#include <kxutils96/kxutils96.h>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <memory>
#include <string>

#include "text_io.h"

using namespace kxu::shell;

namespace kxu::tool {
namespace {

struct PropertyLine {
  ShellItemProperty property;
  const char* name;
  int operation;
};

constexpr PropertyLine kPropertyLines[] = {
    {kxu::shell::kShellTitle, "title", SHELLITEM_GET_STRING},
    {kxu::shell::kShellSubtitle, "subtitle", SHELLITEM_GET_STRING},
    {kxu::shell::kShellRating, "rating", SHELLITEM_GET_UINT32},
    {kxu::shell::kShellComment, "comment", SHELLITEM_GET_STRING},
    {kxu::shell::kShellDateCreated, "created", SHELLITEM_GET_FILETIME},
    {kxu::shell::kShellDateModified, "modified", SHELLITEM_GET_FILETIME},
};

// A file time (100-ns steps since 1601, UTC) as "YYYY-MM-DD HH:MM:SS UTC".
std::string FileTimeText(const FILETIME& time) {
  using namespace std::chrono;
  constexpr long long kTicksPerSecond = 10'000'000;
  constexpr long long kSecondsFrom1601To1970 = 11'644'473'600;
  const long long ticks = (static_cast<long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  const sys_seconds moment{seconds{ticks / kTicksPerSecond - kSecondsFrom1601To1970}};
  const sys_days day = floor<days>(moment);
  const year_month_day date{day};
  const hh_mm_ss clock{moment - day};
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d UTC",
                static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                static_cast<unsigned>(date.day()), static_cast<int>(clock.hours().count()),
                static_cast<int>(clock.minutes().count()),
                static_cast<int>(clock.seconds().count()));
  return text;
}

// Reads one property of item `id` and renders it; the result code otherwise.
int ReadProperty(int id, const PropertyLine& line, std::string& value) {
  int result = 0;
  if (line.operation == SHELLITEM_GET_STRING) {
    char buffer[1024] = {};
    result = kxu_shell_item(&id, line.operation, line.property, reinterpret_cast<INT_PTR>(buffer),
                            sizeof buffer - 1);
    value = buffer;
  } else if (line.operation == SHELLITEM_GET_UINT32) {
    ULONG number = 0;
    result =
        kxu_shell_item(&id, line.operation, line.property, reinterpret_cast<INT_PTR>(&number), 0);
    value = std::to_string(number);
  } else {
    FILETIME time{};
    result =
        kxu_shell_item(&id, line.operation, line.property, reinterpret_cast<INT_PTR>(&time), 0);
    value = FileTimeText(time);
  }
  return result;
}

void AddProps(CommandLine& commands) {
  auto file = std::make_shared<std::string>();
  CLI::App* command = commands.Add(
      "props",
      "Print a file's shell properties (title, subtitle, rating 0-99, comment, created, "
      "modified), one per line; absent ones say so.",
      "setfattr -n user.dublincore.title -v Sunset a.png; kxu props a.png", [file] {
        int id = 0;
        const int created =
            kxu_shell_item(&id, SHELLITEM_CREATE, reinterpret_cast<INT_PTR>(file->c_str()), 0, 0);
        if (created != kxu::shell::kShellItemDone) {
          const std::string reason = UnreachableReason(*file);
          if (!reason.empty()) return FileFailed("open", *file, reason);
          return Failed("no shell item for '" + *file + "'");
        }
        // Creating leaves the "C" locale; texts come back in UTF-8 under this one.
        std::setlocale(LC_ALL, "C.UTF-8");
        for (const PropertyLine& line : kPropertyLines) {
          std::string value;
          const int result = ReadProperty(id, line, value);
          if (result == kxu::shell::kShellPropertyMissing)
            value = "(absent)";
          else if (result != kxu::shell::kShellItemDone)
            value = "(unreadable, " + std::to_string(result) + ")";
          PrintLine(std::string(line.name) + ": " + value);
        }
        kxu_shell_item(&id, SHELLITEM_RELEASE, 0, 0, 0);
        return kExitDone;
      });
  command->add_option("FILE", *file, "the file or folder")->required();
}

}  // namespace

void AddShellCommands(CommandLine& commands) {
  AddProps(commands);
}

}  // namespace kxu::tool
