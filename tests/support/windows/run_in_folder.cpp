// The command goes to cmd.exe through _wsystem, whose result is the exit
// code itself. Arguments are quoted for the C run time's parse of the
// command line, and the whole command once more for cmd /c, which strips the
// outermost pair of quotes.
#include "support/run_in_folder.h"

#include <cstdlib>

#include "support/utf8_path.h"

namespace kxu::test {
namespace {

// Quotes `text` so that the program's argv holds it unchanged: backslashes
// before a quote (or the closing one) are doubled, a quote is escaped.
std::wstring ArgumentQuoted(const std::wstring& text) {
  std::wstring quoted = L"\"";
  std::size_t nBackslashes = 0;
  for (const wchar_t ch : text) {
    if (ch == L'\\') {
      ++nBackslashes;
    } else {
      if (ch == L'"') quoted.append(nBackslashes + 1, L'\\');
      nBackslashes = 0;
    }
    quoted += ch;
  }
  quoted.append(nBackslashes, L'\\');
  return quoted + L"\"";
}

}  // namespace

int RunInFolder(const std::filesystem::path& folder, const std::filesystem::path& program,
                const std::vector<std::string>& args) {
  std::wstring command =
      L"cd /d " + ArgumentQuoted(folder.wstring()) + L" && " + ArgumentQuoted(program.wstring());
  for (const std::string& arg : args) command += L" " + ArgumentQuoted(PathOfUtf8(arg).wstring());
  command += L" <stdin >stdout 2>stderr";
  return ::_wsystem((L"\"" + command + L"\"").c_str());
}

}  // namespace kxu::test
