#include <kxutils96/platform/framework/afx_app.h>

namespace {

// Written only while the library loads and unloads (the application object's
// construction and destruction, the attach and detach steps), which the
// system's loader runs on one thread before any export is called and after
// the last returns; every other access only reads them.
CWinApp* g_pApp = nullptr;
BOOL g_bAttached = FALSE;

constexpr AFX_MSGMAP_ENTRY kNoEntries[] = {{0, 0, 0, 0, AfxSig_end, nullptr}};

}  // namespace

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP s_map = {nullptr, kNoEntries};
  return &s_map;
}
const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
  return GetThisMessageMap();
}

BOOL CWinThread::InitInstance() {
  return TRUE;
}
int CWinThread::ExitInstance() {
  return 0;
}

CWinApp::CWinApp(LPCTSTR lpszAppName) : m_pszAppName(lpszAppName) {
  g_pApp = this;
}

CWinApp::~CWinApp() {
  if (g_pApp == this) g_pApp = nullptr;
}

const AFX_MSGMAP* CWinApp::GetThisMessageMap() {
  static const AFX_MSGMAP s_map = {&CWinThread::GetThisMessageMap, kNoEntries};
  return &s_map;
}
const AFX_MSGMAP* CWinApp::GetMessageMap() const {
  return GetThisMessageMap();
}

BOOL CWinApp::InitInstance() {
  return CWinThread::InitInstance();
}
int CWinApp::ExitInstance() {
  return CWinThread::ExitInstance();
}

BOOL CWinApp::SupportsRestartManager() const {
  return (m_dwRestartManagerSupportFlags & AFX_RESTART_MANAGER_SUPPORT_RESTART) != 0;
}
BOOL CWinApp::SupportsApplicationRecovery() const {
  return (m_dwRestartManagerSupportFlags & AFX_RESTART_MANAGER_SUPPORT_RECOVERY) != 0;
}
void* CWinApp::GetApplicationRecoveryParameter() {
  return nullptr;
}
DWORD CWinApp::GetApplicationRecoveryPingInterval() {
  return 5000;
}
DWORD CWinApp::GetApplicationRestartFlags() {
  return 0;
}

CWinApp* AfxGetApp() {
  return g_pApp;
}

BOOL AfxModuleAttach(CWinApp& app) {
  if (!app.InitInstance()) {
    app.ExitInstance();
    return FALSE;
  }
  g_bAttached = TRUE;
  return TRUE;
}

void AfxModuleDetach(CWinApp& app) {
  if (!g_bAttached) return;
  app.ExitInstance();
  g_bAttached = FALSE;
}

BOOL AfxIsModuleAttached() {
  return g_bAttached;
}
