#pragma once
// Registers the program with the desktop (XDG): a desktop entry, the board and project MIME types
// and their icons under $XDG_DATA_HOME, then the desktop's caches and default programs. Boards
// become ours; projects only when no other program is their default.

#include <QString>

struct ShellRegistrationResult
{
    bool written = false;  // files were (re)written
    bool toolsRun = false; // the desktop's tools were run
};

// `programPath` is the absolute path of the running program; `dataHome` the XDG data folder (empty:
// the user's).
ShellRegistrationResult RegisterShellFileTypes(const QString& programPath,
                                               const QString& dataHome = QString());
// The desktop entry's text for a program path.
QString DesktopEntryText(const QString& programPath);
QString MimePackageText();
