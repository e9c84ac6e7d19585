#include "support/system_rules.h"

#include <windows.h>

namespace kxu::test {

const OsErrors kOsErrors = {
    .fileNotFound = ERROR_FILE_NOT_FOUND,
    .pathNotFound = ERROR_PATH_NOT_FOUND,
    .notAFolder = ERROR_PATH_NOT_FOUND,
    .isAFolder = ERROR_ACCESS_DENIED,
    .invalidArgument = ERROR_INVALID_PARAMETER,
    .sharingViolation = ERROR_SHARING_VIOLATION,
    .notOpenForWriting = ERROR_ACCESS_DENIED,
};

const bool kShareModesBindEveryOpen = true;
const bool kExceptionsLeaveTheSharedLibrary = sizeof(void*) == 8;

}  // namespace kxu::test
