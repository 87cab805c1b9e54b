#pragma once

#include <signal.h>
#include <sys/resource.h>

namespace quill::test {

// While it lives, no file of this process grows beyond `bytes`: a write
// across the limit is cut short, the next one fails with EFBIG. The way to a
// full disk that needs neither root nor a device.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        savedSignal_ = ::signal(SIGXFSZ, SIG_IGN);  // EFBIG instead of the end of the process
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        ::signal(SIGXFSZ, savedSignal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit saved_{};
    sighandler_t savedSignal_;
};

}  // namespace quill::test
