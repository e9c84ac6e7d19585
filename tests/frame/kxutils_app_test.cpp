#include <kxutils96/frame/kxutils_app.h>

#include <gtest/gtest.h>

namespace {

TEST(KxUtilsAppTest, OneApplicationObjectExistsAndStartedUp) {
  // Naming the class's own map pulls the application object into this program.
  ASSERT_NE(CKxUtilsApp::GetThisMessageMap(), nullptr);
  CWinApp* pApp = AfxGetApp();
  ASSERT_NE(pApp, nullptr);
  EXPECT_NE(dynamic_cast<CKxUtilsApp*>(pApp), nullptr);
  EXPECT_EQ(pApp->m_pszAppName, nullptr);
  EXPECT_TRUE(AfxIsModuleAttached());
}

TEST(KxUtilsAppTest, MessageMapIsEmptyAndChainsToTheFramework) {
  const AFX_MSGMAP* pMap = AfxGetApp()->GetMessageMap();
  ASSERT_EQ(pMap, CKxUtilsApp::GetThisMessageMap());
  EXPECT_EQ(pMap->lpEntries[0].nSig, AfxSig_end);
  ASSERT_NE(pMap->pfnGetBaseMap, nullptr);
  EXPECT_EQ(pMap->pfnGetBaseMap(), CWinApp::GetThisMessageMap());
  EXPECT_EQ(CWinApp::GetThisMessageMap()->pfnGetBaseMap(), CWinThread::GetThisMessageMap());
}

TEST(KxUtilsAppTest, RestartManagerQueriesKeepTheDefaults) {
  CWinApp* pApp = AfxGetApp();
  EXPECT_FALSE(pApp->SupportsRestartManager());
  EXPECT_FALSE(pApp->SupportsApplicationRecovery());
  EXPECT_EQ(pApp->GetApplicationRecoveryParameter(), nullptr);
  EXPECT_EQ(pApp->GetApplicationRestartFlags(), 0u);
  EXPECT_EQ(pApp->GetApplicationRecoveryPingInterval(), 5000u);
}

}  // namespace
