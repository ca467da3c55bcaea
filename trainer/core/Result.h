#pragma once

#include <QString>

#include <optional>
#include <utility>

/*
 * The one way the trainer's procedures say "this failed, and here is why": a
 * value, or the reason in words for the user. Result<> carries no value, only
 * success or the reason.
 */
namespace kx {

/// Why something could not be done, in words for the user.
struct Failure
{
    QString why;
};

inline Failure Fail(QString why)
{
    return Failure{std::move(why)};
}

template<typename T = void> class [[nodiscard]] Result
{
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Failure failure) : m_error(std::move(failure.why)) {}

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    /// The value; only when ok().
    const T& value() const { return *m_value; }
    T& value() { return *m_value; }
    const T& operator*() const { return *m_value; }
    const T* operator->() const { return &*m_value; }
    T valueOr(T fallback) const { return m_value ? *m_value : std::move(fallback); }
    /// The reason; empty when ok().
    const QString& error() const { return m_error; }

private:
    std::optional<T> m_value;
    QString m_error;
};

template<> class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(Failure failure) : m_ok(false), m_error(std::move(failure.why)) {}

    bool ok() const { return m_ok; }
    explicit operator bool() const { return m_ok; }
    const QString& error() const { return m_error; }

private:
    bool m_ok = true;
    QString m_error;
};

} // namespace kx
