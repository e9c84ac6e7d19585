// The framework's message box. The box is whatever the host makes of it: the
// host installs one handler (AfxSetMessageBoxHandler) that shows the text its
// own way and returns the button chosen. Without a handler the system shows
// it: on Windows its own message box (MessageBoxW, no owner window, the
// system's caption); elsewhere, where the library has no windows, the text
// goes to the standard error stream, one line per box, and the box answers
// IDOK as if the user had pressed its default button.
#pragma once

#include <kxutils96/kxu_export.h>
#include <kxutils96/platform/win32/win_types.h>

// Buttons (the low four bits of a box's style).
inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_OKCANCEL = 0x00000001;
inline constexpr UINT MB_YESNOCANCEL = 0x00000003;
inline constexpr UINT MB_YESNO = 0x00000004;
// Icons.
inline constexpr UINT MB_ICONERROR = 0x00000010;
inline constexpr UINT MB_ICONQUESTION = 0x00000020;
inline constexpr UINT MB_ICONWARNING = 0x00000030;
inline constexpr UINT MB_ICONINFORMATION = 0x00000040;

// The buttons a box can return.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// A host's message box: shows `lpszText` (UTF-16, NUL-terminated, never
// null) with the style flags `nType` and the help context `nIDHelp`, and
// returns the button chosen (IDOK, IDCANCEL, ...). It may be called on any
// thread the library is called on.
using AfxMessageBoxHandler = int (*)(LPCWSTR lpszText, UINT nType, UINT nIDHelp);

// Installs `pfnHandler` as the message box of the process (null removes the
// handler) and returns the handler it replaces, so that a caller can restore
// it. The setting is process-wide and may be changed while other threads
// show boxes; each box uses the handler installed when it starts.
// Example: AfxMessageBoxHandler pfnOld = AfxSetMessageBoxHandler(MyBox);
KXU_API AfxMessageBoxHandler AfxSetMessageBoxHandler(AfxMessageBoxHandler pfnHandler) noexcept;

// Shows `lpszText` (null reads as the empty text) with the style `nType`:
// returns what the installed handler returns, or, without a handler, what
// the system's box returns (on Windows, MessageBoxW's result; elsewhere the
// text goes as UTF-8 and a line feed to stderr, and the result is IDOK).
// Example: with no handler, outside Windows,
// AfxMessageBox(u"Saved.", MB_OK | MB_ICONINFORMATION) prints "Saved." and
// returns IDOK.
KXU_API int AfxMessageBox(LPCWSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
