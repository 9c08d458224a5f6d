#include "toolkit/parallel_jobs.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace mokuren::toolkit {

void RunParallel(const std::vector<std::function<void()>>& jobs, unsigned threads) {
  if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
  threads = std::min<unsigned>(threads, static_cast<unsigned>(jobs.size()));
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i; (i = next.fetch_add(1)) < jobs.size();) jobs[i]();
  };
  std::vector<std::jthread> pool;
  for (unsigned t = 1; t < threads; ++t) pool.emplace_back(work);
  work();
}

}  // namespace mokuren::toolkit
