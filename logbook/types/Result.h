#pragma once
#include <QString>
#include <optional>
#include <utility>

/// A value or the reason it could not be had. The reason is a plain text for the
/// operator or the log; windows decide how to show it.
template<typename T>
class Result {
public:
    Result(T value) : m_value(std::move(value)) {}
    static Result failure(QString why) { return Result(std::move(why), 0); }

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const T &value() const { return *m_value; }
    T &value() { return *m_value; }
    const T &operator*() const { return *m_value; }
    const T *operator->() const { return &*m_value; }
    T *operator->() { return &*m_value; }
    const QString &error() const { return m_error; }

private:
    Result(QString why, int) : m_error(std::move(why)) {}
    std::optional<T> m_value;
    QString m_error;
};

/// Success or the reason of a failure, for operations without a value.
class Status {
public:
    Status() = default;
    static Status failure(QString why)
    {
        Status s;
        s.m_error = std::move(why);
        s.m_failed = true;
        return s;
    }
    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const QString &error() const { return m_error; }

private:
    QString m_error;
    bool m_failed = false;
};
