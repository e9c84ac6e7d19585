// Where the systems the tests run on answer differently by design: the error
// numbers CFile reports in m_lOsError (errno values on POSIX, the system's
// error codes on Windows) and how two opens of one file share it (advisory
// locks on POSIX, share modes the system enforces on Windows), and whether an
// exception leaves the library's shared form for the program that called it.
#pragma once

namespace kxu::test {

struct OsErrors {
  long fileNotFound;
  long pathNotFound;     // a missing folder on the way
  long notAFolder;       // a file on the way, used as a folder
  long isAFolder;        // a folder opened as a file
  long invalidArgument;  // flags naming no access or sharing mode
  long sharingViolation;
  long notOpenForWriting;  // a write to a file opened for reading
};

// This system's numbers.
extern const OsErrors kOsErrors;

// True where sharing modes bind every open, readers included (Windows);
// false where only writers and modes that deny others take locks (POSIX).
extern const bool kShareModesBindEveryOpen;

// True where an exception raised in kxUtils96's shared library unwinds into
// the calling program; false on 32-bit Windows, where the DLL and the program
// each carry their own DWARF-2 unwinder (the C++ run time is linked
// statically), so it ends the process instead.
extern const bool kExceptionsLeaveTheSharedLibrary;

}  // namespace kxu::test
