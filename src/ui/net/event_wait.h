#pragma once

#include <functional>

namespace quill {

// Stays in the thread while keepWaiting says so, as a blocking call would,
// but waits in short slices: in between, the window keeps painting and its
// close box works, while keys and clicks wait until the wait is over.
void WaitInSlices(const std::function<bool()>& keepWaiting);

}  // namespace quill
