// CObject: the root of the framework's serializable classes. Its virtual
// table order (GetRuntimeClass, destructor, Serialize, AssertValid, Dump) is
// part of the layout that host modules share with the library.
#pragma once

#include <kxutils96/kxu_export.h>
#include <kxutils96/platform/win32/win_types.h>

class CArchive;
class CDumpContext;
class CObject;

// The run-time class record: a name, an object size and the base class.
struct KXU_API CRuntimeClass {
  const char* m_lpszClassName;
  int m_nObjectSize;
  UINT m_wSchema;
  const CRuntimeClass* m_pBaseClass;

  // Nonzero when this class is `pBaseClass` or derives from it.
  BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
};

class KXU_API CObject {
 public:
  static const CRuntimeClass classCObject;

  virtual const CRuntimeClass* GetRuntimeClass() const;
  virtual ~CObject();
  virtual void Serialize(CArchive& ar);
  virtual void AssertValid() const;
  virtual void Dump(CDumpContext& dc) const;

  // Nonzero when the object's run-time class is `pClass` or derives from it.
  BOOL IsKindOf(const CRuntimeClass* pClass) const;
  // Nonzero for classes that can be stored in an archive.
  BOOL IsSerializable() const;

 protected:
  CObject() = default;
  CObject(const CObject&) = default;
  CObject& operator=(const CObject&) = default;
};
