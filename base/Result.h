#pragma once

// What every step that can fail gives back: its value, or a Failure saying
// why there is none. The reason is written for the user and shown as it
// stands; the system's texts are English and are not translated.

#include <QString>

#include <optional>
#include <utility>

namespace base {

struct Failure {
    QString reason;      // "…could not be written: Access denied."
    int code = 0;        // the system's error number (errno, Win32), when it gave one
    bool denied = false; // refused for want of rights, or on purpose because it is not safe
};

template <typename T = void>
class [[nodiscard]] Result
{
public:
    Result(T value)
        : m_value(std::move(value))
    {
    }
    Result(Failure failure)
        : m_failure(std::move(failure))
    {
    }

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const T &value() const { return *m_value; }
    const T &operator*() const { return *m_value; }
    const T *operator->() const { return &*m_value; }
    const Failure &failure() const { return m_failure; }
    const QString &reason() const { return m_failure.reason; }

private:
    std::optional<T> m_value;
    Failure m_failure;
};

// A step that gives nothing back but whether it failed: `return {};` is success.
template <>
class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(Failure failure)
        : m_failure(std::move(failure))
        , m_ok(false)
    {
    }

    bool ok() const { return m_ok; }
    explicit operator bool() const { return m_ok; }
    const Failure &failure() const { return m_failure; }
    const QString &reason() const { return m_failure.reason; }

private:
    Failure m_failure;
    bool m_ok = true;
};

} // namespace base
