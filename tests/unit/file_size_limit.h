#pragma once

#include <signal.h>
#include <sys/resource.h>

namespace quill::test {

// While it lives no file of this process grows beyond `bytes`: a write across
// the limit is cut short, the next fails with EFBIG. A full disk without root.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) : signal_(::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        const rlimit limit{bytes, saved_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        ::signal(SIGXFSZ, signal_);
    }

  private:
    sighandler_t signal_;
    rlimit saved_{};
};

}  // namespace quill::test
