#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quill {

// One file of a session log, written with the system's own calls: nothing
// waits on a FIFO or a device (they are refused before the first write), and
// after each write it is known how many bytes the file really took.
class LogFile {
  public:
    // Opens `path` for writing without changing it, creating it when it does
    // not exist; never blocks. Null for what is not a regular file, or when
    // the system refuses, with the reason.
    static std::unique_ptr<LogFile> Open(const std::string& path, std::string& reason);
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Removes the file again if Open created it: the log did not start.
    void RemoveIfCreated();
    // Cuts the file to `size` bytes and writes on from there.
    bool Truncate(std::uint64_t size, std::string& reason);
    // Writes as much of `bytes` as the file takes: the count written, and the
    // reason when that is less than all.
    std::size_t Write(std::string_view bytes, std::string& reason);
    std::uint64_t Size() const { return size_; }

  private:
    LogFile(int fd, std::string path, bool created);

    int fd_;
    std::string path_;
    bool created_;
    std::uint64_t size_ = 0;
};

}  // namespace quill
