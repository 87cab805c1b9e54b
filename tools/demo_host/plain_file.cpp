#include "plain_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quill::demo {

std::unique_ptr<PlainFile> PlainFile::Open(const std::string& path, std::string& error) {
    // O_NONBLOCK: a FIFO would otherwise hold the open until a writer comes.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return nullptr;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        error = "cannot play " + path + ": not a regular file";
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<PlainFile>(new PlainFile(fd, static_cast<std::size_t>(status.st_size)));
}

PlainFile::~PlainFile() {
    ::close(fd_);
}

std::string PlainFile::Read(std::size_t offset, std::size_t length) const {
    std::string bytes(length, '\0');
    std::size_t got = 0;
    while (got < length) {
        const ssize_t n =
            ::pread(fd_, bytes.data() + got, length - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return bytes;
}

}  // namespace quill::demo
