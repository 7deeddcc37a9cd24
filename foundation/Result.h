// Result<T>: what an operation that can fail gives back, either its value or the Failure that
// kept it from one. The one shape of failure from foundation/ up to the front ends.
//
// Shaped like C++23's std::expected (has_value, value, error, operator*), which the compilers
// we build with cannot all provide yet; switching to it later changes only this file.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

#include "foundation/UserText.h"

enum class FailureKind {
    kSystem,    // a system call refused (the errno says why): a full disk, a missing folder, no access
    kBadData,   // a file's contents are not what its format needs
    kBadValue,  // a setting, argument or template the operation cannot use
    kMissing,   // something needed is not there: a module, a device, an input
    kCodec,     // an encoder or decoder library refused
};

struct Failure {
    FailureKind kind = FailureKind::kSystem;
    // The errno where the system gave one, else 0.
    int error = 0;
    // For the user, in the words of the layer that knows why; the front end says it in the
    // user's language.
    UserText message;
};

inline Failure SystemFailure(int error, UserText message) { return {FailureKind::kSystem, error, std::move(message)}; }
inline Failure KindFailure(FailureKind kind, UserText message) { return {kind, 0, std::move(message)}; }

template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Failure failure) : m_value(std::move(failure)) {}

    bool has_value() const { return m_value.index() == 0; }
    explicit operator bool() const { return has_value(); }

    T& value() & { return std::get<0>(m_value); }
    const T& value() const& { return std::get<0>(m_value); }
    T&& value() && { return std::get<0>(std::move(m_value)); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T&& operator*() && { return std::move(*this).value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    template <class U>
    T value_or(U&& otherwise) const& {
        return has_value() ? value() : static_cast<T>(std::forward<U>(otherwise));
    }

    const Failure& error() const& { return std::get<1>(m_value); }
    Failure&& error() && { return std::get<1>(std::move(m_value)); }

private:
    std::variant<T, Failure> m_value;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failure failure) : m_failure(std::move(failure)) {}

    bool has_value() const { return !m_failure; }
    explicit operator bool() const { return has_value(); }

    const Failure& error() const& { return *m_failure; }
    Failure&& error() && { return std::move(*m_failure); }

private:
    std::optional<Failure> m_failure;
};

// Steps that each run whatever the one before gave: the first one's failure, else the second's.
inline Result<void> FirstFailure(Result<void> first, Result<void> second) {
    return first ? std::move(second) : std::move(first);
}
