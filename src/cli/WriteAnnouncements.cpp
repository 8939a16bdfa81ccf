#include "cli/WriteAnnouncements.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "model/FileSystem.h"

namespace qm {

namespace {

int announcements = -1;

void AnnounceAndWait(char step) {
    char answer = 0;
    while (::send(announcements, &step, 1, MSG_NOSIGNAL) < 0 && errno == EINTR) {
    }
    while (::recv(announcements, &answer, 1, 0) < 0 && errno == EINTR) {
    }
}

ssize_t AnnouncedWrite(int descriptor, const void* data, std::size_t size) {
    if (descriptor > STDERR_FILENO) AnnounceAndWait('w');  // the standard output is no file of a save
    return ::write(descriptor, data, size);
}

int AnnouncedRename(int fromFolder, const char* from, int toFolder, const char* to) {
    AnnounceAndWait('r');
    return ::renameat(fromFolder, from, toFolder, to);
}

}  // namespace

void AnnounceWritesWhenAsked() {
    const char* named = std::getenv(kAnnounceWritesVariable);
    if (!named || !*named) return;
    char* end = nullptr;
    const long descriptor = std::strtol(named, &end, 10);
    if (*end != '\0' || descriptor <= STDERR_FILENO || descriptor > 65535) return;
    struct stat status {};
    if (::fstat(static_cast<int>(descriptor), &status) != 0 || !S_ISSOCK(status.st_mode)) return;
    announcements = static_cast<int>(descriptor);
    os::SetWriteFunctionForTesting(&AnnouncedWrite);
    os::SetRenameFunctionForTesting(&AnnouncedRename);
}

}  // namespace qm
