#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace quill::demo {

// An open file that is read from any offset; a regular file, so that a read
// never waits and the size is known.
class PlainFile {
  public:
    // Null for what is not a regular file or cannot be opened, with a
    // one-line `error`. Never blocks, not even on a FIFO.
    static std::unique_ptr<PlainFile> Open(const std::string& path, std::string& error);
    ~PlainFile();
    PlainFile(const PlainFile&) = delete;
    PlainFile& operator=(const PlainFile&) = delete;

    // Up to `length` bytes from `offset`: fewer only at the end of the file
    // or when it can no longer be read.
    std::string Read(std::size_t offset, std::size_t length) const;
    std::size_t Size() const { return size_; }

  private:
    PlainFile(int fd, std::size_t size) : fd_(fd), size_(size) {}

    int fd_;
    std::size_t size_;
};

}  // namespace quill::demo
