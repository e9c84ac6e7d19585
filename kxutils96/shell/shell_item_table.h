// The records behind kxu_shell_item: one per created item, kept in a table
// whose slot positions are the items' ids. Not exported.
#pragma once

#include <memory>

#include <kxutils96/platform/com_shell/shell_items.h>
#include <kxutils96/platform/framework/afx_coll.h>

namespace kxu::shell {

// One created item: two interface pointers to the same shell item, each
// holding one reference that the record owns.
class CZShellItem {
 public:
  CZShellItem() = default;
  CZShellItem(const CZShellItem&) = delete;
  CZShellItem& operator=(const CZShellItem&) = delete;
  ~CZShellItem() { Release(); }

  // Gives back both references, item2 first, and nulls the pointers.
  void Release() noexcept;

  IShellItem* item = nullptr;
  IShellItem2* item2 = nullptr;
};

// The items of the process: slot k holds the record of id k + 1, or null once
// that item is released. Slots are never removed, so an id stays bound to its
// slot, and a released slot is taken again by a later item. The table owns
// its records. A table exists only once COM was initialised for it, so it
// keeps no flag for that.
class ShellItemTable {
 public:
  ShellItemTable() = default;
  ShellItemTable(const ShellItemTable&) = delete;
  ShellItemTable& operator=(const ShellItemTable&) = delete;
  ~ShellItemTable();

  // Takes `pRecord` into the first null slot, or a new slot at the end, and
  // returns its id. Raises CMemoryException (the record is then deleted)
  // when a new slot cannot be had.
  int Insert(std::unique_ptr<CZShellItem> pRecord);

  // The record of `nId`; null when `nId` is 0 or less, past the slots, or
  // names a released slot.
  CZShellItem* Find(int nId) const noexcept;

  // Deletes the record of `nId` and nulls its slot; nothing for an id that
  // Find does not know.
  void Remove(int nId) noexcept;

 private:
  CArray<CZShellItem*, CZShellItem*> m_records;
};

}  // namespace kxu::shell
