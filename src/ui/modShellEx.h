// modShellEx: opens what a command names — a web or mail address in the user's
// programs, a document in its viewer, a program with its arguments — and can
// wait, with the event loop running, for a started program to end.
#pragma once
#include <QString>

namespace ekoto {

struct ShellCommandParts {
  QString sFile;
  QString sParameters;
};

// The command cut at the first space whose left part FindOnPath finds, the left
// part being the file and the rest its parameters; the whole command is the file
// when no cut works. A command that starts with a space is not cut.
ShellCommandParts SplitShellCommand(const QString& strCommand);

// Returns true when something was started. An address (scheme:...) or a document
// goes to the desktop; an executable file is started with the parameters, split
// as a shell would; when neither works, the whole command is started as a program.
// With bWait, returns once the started program has ended (not for addresses and
// documents, whose handlers are not ours to wait for), running the event loop meanwhile.
bool ShellExec(const QString& strCommand, bool bWait);

// Returns true iff strPath names an executable file: as given when it holds a
// '/', else searched for along PATH. strFullPath is then its absolute path, else empty.
bool FindOnPath(const QString& strPath, QString& strFullPath);

}  // namespace ekoto
