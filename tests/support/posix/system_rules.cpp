#include "support/system_rules.h"

#include <cerrno>

namespace kxu::test {

const OsErrors kOsErrors = {
    .fileNotFound = ENOENT,
    .pathNotFound = ENOENT,
    .notAFolder = ENOTDIR,
    .isAFolder = EISDIR,
    .invalidArgument = EINVAL,
    .sharingViolation = EWOULDBLOCK,
    .notOpenForWriting = EBADF,
};

const bool kShareModesBindEveryOpen = false;
const bool kExceptionsLeaveTheSharedLibrary = true;

}  // namespace kxu::test
