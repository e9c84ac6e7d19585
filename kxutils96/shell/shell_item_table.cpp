#include <kxutils96/shell/shell_item_table.h>

namespace kxu::shell {

void CZShellItem::Release() noexcept {
  if (item2 != nullptr) item2->Release();
  item2 = nullptr;
  if (item != nullptr) item->Release();
  item = nullptr;
}

ShellItemTable::~ShellItemTable() {
  for (INT_PTR i = 0; i < m_records.GetSize(); ++i) delete m_records[i];
}

int ShellItemTable::Insert(std::unique_ptr<CZShellItem> pRecord) {
  for (INT_PTR i = 0; i < m_records.GetSize(); ++i) {
    if (m_records[i] == nullptr) {
      m_records[i] = pRecord.release();
      return static_cast<int>(i + 1);
    }
  }
  const INT_PTR nSlot = m_records.Add(pRecord.get());
  pRecord.release();  // NOLINT(bugprone-unused-return-value): the slot holds it now
  return static_cast<int>(nSlot + 1);
}

CZShellItem* ShellItemTable::Find(int nId) const noexcept {
  if (nId <= 0 || nId > m_records.GetSize()) return nullptr;
  return m_records[nId - 1];
}

void ShellItemTable::Remove(int nId) noexcept {
  if (CZShellItem* pRecord = Find(nId)) {
    delete pRecord;
    m_records[nId - 1] = nullptr;
  }
}

}  // namespace kxu::shell
