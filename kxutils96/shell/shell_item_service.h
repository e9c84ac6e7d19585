// The operations of kxu_shell_item over one table of items that the first
// creation makes. The export keeps one service for the whole process; tests
// make their own to start from no table. Not exported.
#pragma once

#include <mutex>

#include <kxutils96/platform/win32/win_types.h>
#include <kxutils96/shell/shell_item_table.h>

namespace kxu::shell {

class ShellItemService {
 public:
  ShellItemService() = default;
  ShellItemService(const ShellItemService&) = delete;
  ShellItemService& operator=(const ShellItemService&) = delete;
  // Releases the items still held; the process's own service is never
  // destroyed, so its items live until the process ends.
  ~ShellItemService();

  // Carries out one call of kxu_shell_item, with its arguments and results.
  // Calls from several threads take turns, one whole call at a time.
  int Call(int* pnId, int nOperation, INT_PTR nArg3, INT_PTR nArg4, UINT nArg5);

 private:
  int Create(int* pnId, const char* pszPath);
  int Serve(int* pnId, int nOperation, INT_PTR nArg3, INT_PTR nArg4, UINT nArg5);

  // Held for a whole call: the table grows and shrinks, a read uses an item
  // that a release on another thread would free, and a creation switches the
  // process's locale around its path conversion.
  std::mutex m_mutex;
  ShellItemTable* m_pTable = nullptr;  // none until the first creation
};

}  // namespace kxu::shell
