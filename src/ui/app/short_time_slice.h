#pragma once

namespace quill {

// Asks the kernel to run the calling thread in short slices: it then gets the
// processor soon after it wakes, and gives it up soon when it runs long.
// Threads and processes it starts later run with the system's slice. Only a
// thread of the normal policy is asked for, with its nice value kept; a
// kernel without the choice (before Linux 6.12) leaves the thread as it was.
// False where the request was refused or the policy is another.
bool AskForShortTimeSlice();

}  // namespace quill
