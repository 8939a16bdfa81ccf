#pragma once
// For the crash test, which kills the tool while it writes its outputs: reading a large
// project takes most of a run, and a kill that lands there tests nothing. When the
// variable below names a descriptor open for writing, the tool announces every write
// into a temporary file of a save with one byte on it, before the write; the test reads
// the bytes and kills at the write it has chosen. Unset, nothing changes.

namespace qm {

inline constexpr const char* kAnnounceWritesVariable = "QUILLAMERE_ANNOUNCE_WRITES_FD";

// Installs the announcing write when the variable names an open descriptor.
void AnnounceWritesWhenAsked();

}  // namespace qm
