#pragma once
// What the program knows about itself: its product version, the window title built from it,
// and the folder of its executable, where profiles and data files are proposed by default.

#include <QString>

#include <array>
#include <cstdint>

using ProductVersion = std::array<uint16_t, 4>;

// a.b.c.d of the product version; zero until ReadVersionInfo has run.
extern ProductVersion g_productVersion;
// "<executable name> va.b.c.d", set by PrepareTitleAndFolder.
extern QString g_appTitle;
// The executable's folder ending with a separator; empty when it could not be determined.
extern QString g_exeDir;

// The version compiled into the program. Returns 0 (it cannot fail where the version is built in).
int ReadVersionInfo(ProductVersion &version);

// "%s v%d.%d.%d.%d" with the application name and the four numbers.
QString FormatAppTitle(const QString &appName, const ProductVersion &version);

// The executable's file name without its extension.
QString AppNameFromPath(const QString &exePath);

// The folder of the executable in native separators, ending with one; empty for an empty path.
QString ExeDirFromPath(const QString &exePath);

// Where files are proposed: the executable's folder, or the home folder when that folder is not
// writable (an installed program). Empty when the executable's folder is unknown.
QString ProposedFileFolder(const QString &exeDir, const QString &homeDir);

// Fills g_appTitle and g_exeDir for the executable at exePath.
void PrepareTitleAndFolder(const QString &exePath, const ProductVersion &version);

// The profile path the profile dialogs propose.
QString DefaultProfilePath();
