// The single-instance guard: an exclusive lock on a file named after the
// game in the user's runtime folder.
#include "platform/window.h"

#include <cerrno>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

bool acquireSingleInstanceGuard(const char* name)
{
    const char* folder = std::getenv("XDG_RUNTIME_DIR");
    std::string path = folder && *folder ? std::string(folder) : std::string("/tmp");
    path += "/";
    path += name;
    path += '-';
    path += std::to_string(getuid());
    path += ".lock";
    // Kept open for the life of the process: closing it would drop the lock.
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return true;   // no place for a lock: run rather than refuse
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return errno != EWOULDBLOCK;
    }
    return true;
}
