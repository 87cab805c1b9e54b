// The window's thread asks for short time slices: the kernel's answer is read
// back for the thread that asked, for a thread it starts afterwards, and for
// a thread of another policy, each on a thread of the test's own.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdint>
#include <thread>

#include "ui/app/short_time_slice.h"

namespace quill::test {
namespace {

struct Attributes {
    std::uint32_t size;
    std::uint32_t policy;
    std::uint64_t flags;
    std::int32_t nice;
    std::uint32_t priority;
    std::uint64_t runtime;
    std::uint64_t deadline;
    std::uint64_t period;
};

Attributes Own() {
    Attributes a{};
    EXPECT_EQ(syscall(SYS_sched_getattr, 0, &a, sizeof a, 0), 0);
    return a;
}

// A kernel that gives normal threads slices of their own reports the slice
// in the runtime field; older kernels report none.
bool KernelHasSlices() {
    return Own().runtime != 0;
}

TEST(ShortTimeSliceTest, TheThreadThatAsksGetsItsNiceKeptAndTheThreadsItStartsDoNot) {
    std::thread([] {
        const auto tid = static_cast<id_t>(syscall(SYS_gettid));
        ASSERT_EQ(setpriority(PRIO_PROCESS, tid, 7), 0);
        EXPECT_TRUE(AskForShortTimeSlice());
        const Attributes after = Own();
        EXPECT_EQ(after.policy, static_cast<std::uint32_t>(SCHED_OTHER));
        EXPECT_EQ(after.nice, 7);
        EXPECT_EQ(getpriority(PRIO_PROCESS, tid), 7);
        if (!KernelHasSlices()) GTEST_SKIP() << "this kernel has no slice per thread";
        EXPECT_EQ(after.runtime, 100'000u);
        std::uint64_t started = 0;
        std::thread([&started] { started = Own().runtime; }).join();
        EXPECT_GT(started, after.runtime);
    }).join();
}

TEST(ShortTimeSliceTest, AThreadOfAnotherPolicyIsLeftAsItIs) {
    std::thread([] {
        const sched_param none{};
        ASSERT_EQ(sched_setscheduler(0, SCHED_BATCH, &none), 0);
        const Attributes before = Own();
        EXPECT_FALSE(AskForShortTimeSlice());
        const Attributes after = Own();
        EXPECT_EQ(after.policy, static_cast<std::uint32_t>(SCHED_BATCH));
        EXPECT_EQ(after.runtime, before.runtime);
    }).join();
}

}  // namespace
}  // namespace quill::test
