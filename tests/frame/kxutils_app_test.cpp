#include <kxutils96/frame/kxutils_app.h>

#include <gtest/gtest.h>

namespace {

// The module's one application object: attached at start-up, without a name
// of its own, and with an empty message map that chains to the application's.
TEST(KxUtilsAppTest, OneApplicationObjectIsAttachedWithAnEmptyChainedMessageMap) {
  // Naming the class's own map pulls the application object into this program.
  const AFX_MSGMAP* pMap = CKxUtilsApp::GetThisMessageMap();
  CWinApp* pApp = AfxGetApp();
  ASSERT_NE(dynamic_cast<CKxUtilsApp*>(pApp), nullptr);
  EXPECT_EQ(pApp->m_pszAppName, nullptr);
  EXPECT_TRUE(AfxIsModuleAttached());
  EXPECT_EQ(pApp->GetMessageMap(), pMap);
  EXPECT_EQ(pMap->lpEntries[0].nSig, AfxSig_end);
  ASSERT_NE(pMap->pfnGetBaseMap, nullptr);
  EXPECT_EQ(pMap->pfnGetBaseMap(), CWinApp::GetThisMessageMap());
}

}  // namespace
