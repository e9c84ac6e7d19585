#include <kxutils96/shell/shell_item.h>

#include <kxutils96/shell/shell_item_service.h>

int kxu_shell_item(int* pnId, int nOperation, INT_PTR nArg3, INT_PTR nArg4, UINT nArg5) {
  // Made by the first call and never destroyed: items not released stay
  // alive until the process ends, and COM is never uninitialised.
  static auto* const s_pService = new kxu::shell::ShellItemService;
  return s_pService->Call(pnId, nOperation, nArg3, nArg4, nArg5);
}
