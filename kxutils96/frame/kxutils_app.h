// The library's application object: one static instance, constructed while
// the library loads, destroyed when it unloads. It keeps every behaviour of
// the framework's application (start-up, shut-down, restart-manager defaults)
// and adds an empty message map of its own that chains to the framework's.
#pragma once

#include <kxutils96/platform/framework/afx_app.h>

class CKxUtilsApp : public CWinApp {
 public:
  CKxUtilsApp();

  const AFX_MSGMAP* GetMessageMap() const override;
  static const AFX_MSGMAP* GetThisMessageMap();
};
