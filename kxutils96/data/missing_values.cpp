#include <kxutils96/data/missing_values.h>

#include <cmath>

#include <kxutils96/platform/crt/crt.h>

int kxu_NANUM_to_nan(double* pBuffer, unsigned int nCount) {
  const double nan = std::log(-1.0);
  if (nCount == 0 || pBuffer == nullptr) return 0;
  int nReplaced = 0;
  for (unsigned int i = 0; i < nCount; ++i) {
    if (pBuffer[i] == NANUM) {
      pBuffer[i] = nan;
      ++nReplaced;
    }
  }
  return nReplaced;
}

int kxu_nan_inf_to_NANUM(double* pBuffer, unsigned int nCount) {
  if (nCount == 0 || pBuffer == nullptr) return 0;
  int nReplaced = 0;
  for (unsigned int i = 0; i < nCount; ++i) {
    if (_isnan(pBuffer[i]) != 0 || _finite(pBuffer[i]) == 0) {
      pBuffer[i] = NANUM;
      ++nReplaced;
    }
  }
  return nReplaced;
}
