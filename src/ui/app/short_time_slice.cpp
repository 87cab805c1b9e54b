#include "ui/app/short_time_slice.h"

#if defined(__linux__)
#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdint>
#endif

namespace quill {

#if defined(__linux__)

namespace {

// The kernel's struct sched_attr as of its first version; the C library has
// no call for it on Debian 12.
struct SchedulingAttributes {
    std::uint32_t size;
    std::uint32_t policy;
    std::uint64_t flags;
    std::int32_t nice;
    std::uint32_t priority;
    std::uint64_t runtime;  // for the normal policy: the slice asked for
    std::uint64_t deadline;
    std::uint64_t period;
};

constexpr std::uint64_t kResetOnFork = 0x01;

// The shortest slice the kernel grants.
constexpr std::uint64_t kSliceNanoseconds = 100'000;

}  // namespace

bool AskForShortTimeSlice() {
    SchedulingAttributes attributes{};
    if (syscall(SYS_sched_getattr, 0, &attributes, sizeof attributes, 0) != 0) return false;
    if (attributes.policy != SCHED_OTHER) return false;
    attributes.size = sizeof attributes;
    attributes.flags = kResetOnFork;
    attributes.runtime = kSliceNanoseconds;
    return syscall(SYS_sched_setattr, 0, &attributes, 0) == 0;
}

#else

bool AskForShortTimeSlice() {
    return false;
}

#endif

}  // namespace quill
