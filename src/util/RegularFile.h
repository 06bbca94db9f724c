// Opening a path the user named. Only a regular file is opened, and looking
// never blocks: a FIFO, a socket or a device is refused just as a missing file
// is, before anything could wait for a writer or take a terminal.
#pragma once
#include <string>

namespace ekoto {

// A read-only descriptor (close-on-exec, blocking reads) of the regular file at
// path, symbolic links followed; -1 when path names anything else or cannot be
// opened. The caller closes it.
int OpenRegularFile(const std::string& path);

// Returns true iff path names a regular file (symbolic links followed).
bool IsRegularFile(const std::string& path);

}  // namespace ekoto
