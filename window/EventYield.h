#pragma once
#include <chrono>
#include <functional>

/// The yield hook of a count run on the window's thread: lets the pending
/// events through (the captions painted so far, a click on another window, a
/// close) at most once per `interval`. A run makes hundreds of quick queries;
/// painting after every one of them would cost more than the queries.
std::function<void()> eventYield(std::chrono::milliseconds interval = std::chrono::milliseconds(30));
