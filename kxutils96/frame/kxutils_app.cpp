#include <kxutils96/frame/kxutils_app.h>

#include <cstdlib>

CKxUtilsApp::CKxUtilsApp() : CWinApp(nullptr) {}

const AFX_MSGMAP* CKxUtilsApp::GetThisMessageMap() {
  static constexpr AFX_MSGMAP_ENTRY kEntries[] = {{0, 0, 0, 0, AfxSig_end, nullptr}};
  static const AFX_MSGMAP s_map = {&CWinApp::GetThisMessageMap, kEntries};
  return &s_map;
}

const AFX_MSGMAP* CKxUtilsApp::GetMessageMap() const {
  return GetThisMessageMap();
}

namespace {

CKxUtilsApp theApp;

// Runs the framework's attach steps after the application object exists (it
// is defined above in this file, so it is constructed first) and the detach
// steps before it is destroyed. A POSIX loader cannot be told to refuse a
// library, so a failed start-up ends the process instead.
struct ModuleEntry {
  ModuleEntry() {
    if (!AfxModuleAttach(theApp)) std::abort();
  }
  ~ModuleEntry() { AfxModuleDetach(theApp); }
  ModuleEntry(const ModuleEntry&) = delete;
  ModuleEntry& operator=(const ModuleEntry&) = delete;
};

ModuleEntry theModuleEntry;

}  // namespace
