#include "platform/values/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

RegularFileRead ReadRegularFile(const std::string& path, std::string& content)
{
    content.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? RegularFileRead::Missing : RegularFileRead::Unopened;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return RegularFileRead::NotRegular;
    }
    char chunk[8192];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            content.clear();
            return RegularFileRead::Unread;
        }
        if (n == 0)
            break;
        content.append(chunk, static_cast<size_t>(n));
    }
    ::close(fd);
    return RegularFileRead::Ok;
}
