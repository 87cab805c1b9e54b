#include "core/session/log_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quill {

namespace {

constexpr char kNotRegular[] = "not a regular file";
constexpr mode_t kNewFileMode = 0666;  // less the umask, as fopen creates files
// O_NONBLOCK: opening a FIFO with no reader would otherwise wait for one.
constexpr int kWriteFlags = O_WRONLY | O_NONBLOCK | O_CLOEXEC;

}  // namespace

std::unique_ptr<LogFile> LogFile::Open(const std::string& path, std::string& reason) {
    bool created = true;
    int fd = ::open(path.c_str(), kWriteFlags | O_CREAT | O_EXCL, kNewFileMode);
    if (fd < 0 && errno == EEXIST) {
        created = false;
        fd = ::open(path.c_str(), kWriteFlags);
    }
    if (fd < 0) {
        // What a FIFO without a reader, or a device without its hardware, says.
        reason = errno == ENXIO ? kNotRegular : std::strerror(errno);
        return nullptr;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        reason = kNotRegular;
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<LogFile>(new LogFile(fd, path, created));
}

LogFile::LogFile(int fd, std::string path, bool created)
    : fd_(fd), path_(std::move(path)), created_(created) {}

LogFile::~LogFile() {
    ::close(fd_);
}

void LogFile::RemoveIfCreated() {
    if (created_) ::unlink(path_.c_str());
    created_ = false;
}

bool LogFile::Truncate(std::uint64_t size, std::string& reason) {
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0 ||
        ::lseek(fd_, static_cast<off_t>(size), SEEK_SET) < 0) {
        reason = std::strerror(errno);
        return false;
    }
    size_ = size;
    return true;
}

std::size_t LogFile::Write(std::string_view bytes, std::string& reason) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            reason = std::strerror(n < 0 ? errno : ENOSPC);
            break;
        }
        written += static_cast<std::size_t>(n);
    }
    size_ += written;
    return written;
}

}  // namespace quill
