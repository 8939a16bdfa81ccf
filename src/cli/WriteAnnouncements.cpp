#include "cli/WriteAnnouncements.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "model/SafeSave.h"

namespace qm {

namespace {

int announcements = -1;

ssize_t AnnouncedWrite(int descriptor, const void* data, std::size_t size) {
    while (::write(announcements, "w", 1) < 0 && errno == EINTR) {
    }
    return ::write(descriptor, data, size);
}

}  // namespace

void AnnounceWritesWhenAsked() {
    const char* named = std::getenv(kAnnounceWritesVariable);
    if (!named || !*named) return;
    char* end = nullptr;
    const long descriptor = std::strtol(named, &end, 10);
    if (*end != '\0' || descriptor < 0 || descriptor > 65535) return;
    const int flags = ::fcntl(static_cast<int>(descriptor), F_GETFL);
    if (flags < 0 || (flags & O_ACCMODE) == O_RDONLY) return;
    announcements = static_cast<int>(descriptor);
    SetSafeSaveWriteFunctionForTesting(&AnnouncedWrite);
}

}  // namespace qm
