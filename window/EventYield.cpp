#include "window/EventYield.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <memory>

std::function<void()> eventYield(std::chrono::milliseconds interval)
{
    auto since = std::make_shared<QElapsedTimer>();
    return [since, interval] {
        if (since->isValid() && since->elapsed() < interval.count())
            return;
        QCoreApplication::processEvents();
        since->start();
    };
}
