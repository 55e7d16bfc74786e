#include "parallel_for.h"

#include <atomic>
#include <thread>
#include <vector>

void ParallelFor(size_t count, unsigned threads, const std::function<bool(size_t)>& work)
{
    std::atomic<size_t> next{0};
    std::atomic<bool> stopped{false};
    auto run = [&] {
        for (size_t index; !stopped && (index = next++) < count;)
            if (!work(index))
                stopped = true;
    };
    std::vector<std::thread> helpers;
    for (unsigned i = 1; i < threads && i < count; ++i)
        helpers.emplace_back(run);
    run();
    for (std::thread& helper : helpers)
        helper.join();
}
