// The framework's application object and the start-up and shut-down of a
// library that uses it. Exactly one CWinApp exists per module; it registers
// itself on construction. AfxModuleAttach runs the application's start-up when
// the module loads and AfxModuleDetach its shut-down when it unloads.
#pragma once

#include <kxutils96/platform/framework/afx_object.h>

// One command handler of a message map; the map ends with an entry whose
// nSig is AfxSig_end.
struct AFX_MSGMAP_ENTRY {
  UINT nMessage;
  UINT nCode;
  UINT nID;
  UINT nLastID;
  UINT_PTR nSig;
  void (*pfn)();
};
inline constexpr UINT_PTR AfxSig_end = 0;

// A class's message map: its own entries and the way to its base class's map.
struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

class KXU_API CCmdTarget : public CObject {
 public:
  virtual const AFX_MSGMAP* GetMessageMap() const;
  static const AFX_MSGMAP* GetThisMessageMap();
};

class KXU_API CWinThread : public CCmdTarget {
 public:
  // Start-up and shut-down of the thread's (here: the module's) work.
  virtual BOOL InitInstance();
  virtual int ExitInstance();
};

class KXU_API CWinApp : public CWinThread {
 public:
  // `lpszAppName` null: the framework derives the name from the module.
  explicit CWinApp(LPCTSTR lpszAppName = nullptr);
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;
  ~CWinApp() override;

  const AFX_MSGMAP* GetMessageMap() const override;
  static const AFX_MSGMAP* GetThisMessageMap();

  BOOL InitInstance() override;
  int ExitInstance() override;

  // Restart-manager queries; the defaults say the application asks for no
  // restart or recovery support.
  virtual BOOL SupportsRestartManager() const;
  virtual BOOL SupportsApplicationRecovery() const;
  virtual void* GetApplicationRecoveryParameter();
  virtual DWORD GetApplicationRecoveryPingInterval();
  virtual DWORD GetApplicationRestartFlags();

  LPCTSTR m_pszAppName;
  // Restart-manager support flags; none are set by default.
  DWORD m_dwRestartManagerSupportFlags = 0;
};

inline constexpr DWORD AFX_RESTART_MANAGER_SUPPORT_RESTART = 0x01;
inline constexpr DWORD AFX_RESTART_MANAGER_SUPPORT_RECOVERY = 0x08;

// The module's application object, or null before it is constructed.
KXU_API CWinApp* AfxGetApp();

// Runs `app`'s start-up. On failure runs its shut-down and returns FALSE: the
// module must then refuse to load.
KXU_API BOOL AfxModuleAttach(CWinApp& app);
// Runs `app`'s shut-down when the module unloads.
KXU_API void AfxModuleDetach(CWinApp& app);
// Nonzero between a successful attach and the detach.
KXU_API BOOL AfxIsModuleAttached();
