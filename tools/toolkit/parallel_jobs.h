// Runs independent jobs on every core: the lint decodes each picture, sound file and the movie on its
// own, and the test runner plays each events file on its own.
#pragma once

#include <functional>
#include <vector>

namespace mokuren::toolkit {

// Calls every job once, on up to `threads` threads (0: one per core), and returns when all are done.
// Jobs must not throw.
void RunParallel(const std::vector<std::function<void()>>& jobs, unsigned threads = 0);

}  // namespace mokuren::toolkit
