#pragma once
// Every word of the program's help, kept once: --help prints it as text, and the build turns
// the same entries into the manual page (roff).

#include <QString>

#include <vector>

namespace cli {

struct HelpEntry {
    const char *name;     // command or option
    const char *synopsis; // how it is written
    const char *text;     // what it does; paragraphs separated by "\n\n"
};

const std::vector<HelpEntry> &CommandHelp();
const std::vector<HelpEntry> &OptionHelp();
const std::vector<HelpEntry> &ExitStatusHelp();

// The entry of a command, or null.
const HelpEntry *FindCommandHelp(const QString &name);

QString ProgramHelpText();
QString CommandHelpText(const HelpEntry &entry);
// The manual page, section 1, in roff.
QString ManPage();

} // namespace cli
