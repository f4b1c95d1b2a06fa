#pragma once
#include <atomic>
#include <cstddef>
#include <thread>

/// Runs work(i) for every i in [0, n), on this thread and one more, each
/// taking the next i. The results must not depend on which thread ran what.
template <typename F>
void onBothCores(size_t n, F &&work)
{
    std::atomic<size_t> next{0};
    auto loop = [&] {
        for (size_t i = next++; i < n; i = next++)
            work(i);
    };
    if (n < 2) {
        loop();
        return;
    }
    std::thread helper(loop);
    loop();
    helper.join();
}
