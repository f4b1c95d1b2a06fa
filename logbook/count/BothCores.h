#pragma once
#include <atomic>
#include <cstddef>
#include <exception>
#include <thread>

/// Runs work(i) for every i in [0, n), on this thread and one more, each
/// taking the next i. The results must not depend on which thread ran what.
/// What the helper thread throws (a lack of memory) is thrown here, once both
/// threads are done.
template<typename F>
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
    std::exception_ptr failed;
    {
        std::jthread helper([&] {
            try {
                loop();
            } catch (...) {
                failed = std::current_exception();
                next = n;
            }
        });
        loop();
    }
    if (failed)
        std::rethrow_exception(failed);
}
