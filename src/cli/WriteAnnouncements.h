#pragma once
// For the crash test, which kills the tool while it writes its outputs: reading a large
// project takes most of a run, and a kill that lands there tests nothing. When the
// variable below names a connected socket, the tool announces every write into a file
// and every rename of a save with one byte on it ('w' or 'r') and waits, before the
// step, for one byte back; the test answers until the step it has chosen and kills the
// tool there, however fast or slow the machine. A closed socket lets the tool go on.
// Unset, nothing changes.

namespace qm {

inline constexpr const char* kAnnounceWritesVariable = "QUILLAMERE_ANNOUNCE_WRITES_FD";

// Installs the announcing write and rename when the variable names a socket.
void AnnounceWritesWhenAsked();

}  // namespace qm
