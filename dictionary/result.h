#pragma once

#include <QString>

#include <optional>
#include <utility>

namespace wordlark {

// Why a reader or writer gave no result, in words the learner can be shown.
struct Failure {
    QString message;
};

// The one shape every reader and writer of the core returns: a value, or the message that says why
// there is none. Callers check it before they touch anything, so a failure changes nothing.
template <typename T> class [[nodiscard]] Result final {
public:
    Result(T value)
        : m_value(std::move(value))
    {
    }
    Result(Failure failure)
        : m_error(std::move(failure.message))
    {
    }

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const T &value() const & { return *m_value; }
    T &&value() && { return std::move(*m_value); }
    const T &operator*() const & { return *m_value; }
    const T *operator->() const { return &*m_value; }
    // Empty when ok().
    const QString &error() const { return m_error; }

private:
    std::optional<T> m_value;
    QString m_error;
};

// A writer's outcome: done, or the message why not.
template <> class [[nodiscard]] Result<void> final {
public:
    Result() = default;
    Result(Failure failure)
        : m_failed(true)
        , m_error(std::move(failure.message))
    {
    }

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const QString &error() const { return m_error; }

private:
    bool m_failed = false;
    QString m_error;
};

} // namespace wordlark
