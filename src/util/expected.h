// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <optional>
#include <type_traits>
#include <utility>
#include <variant>

// Why something failed: a reason the caller can act on, and what is known
// besides. The sentence a person reads is made from the reason where it is
// shown (window, command line), never compared.
template <typename Reason, typename Detail = QString>
struct Failure
{
    Reason reason{};
    Detail detail{}; // the cause's own words (a system's message, a value), or what is in the way
    int code = 0;    // errno, an HTTP status, … when one applies
};

template <typename E>
class Unexpected
{
public:
    explicit Unexpected(E error) : m_error(std::move(error)) {}
    E &error() & { return m_error; }
    E &&error() && { return std::move(m_error); }

private:
    E m_error;
};

// A value or the failure that kept it from being had: the shape of C++23's
// std::expected, which Debian 12's compilers offer only as an experiment.
template <typename T, typename E>
class Expected
{
public:
    using value_type = T;
    using error_type = E;

    Expected()
        requires std::is_default_constructible_v<T>
        : m_value(std::in_place_index<0>)
    {
    }
    Expected(T value) : m_value(std::in_place_index<0>, std::move(value)) {}
    template <typename G>
    Expected(Unexpected<G> failure) : m_value(std::in_place_index<1>, E(std::move(failure).error()))
    {
    }

    bool has_value() const { return m_value.index() == 0; }
    explicit operator bool() const { return has_value(); }

    T &value() & { return std::get<0>(m_value); }
    const T &value() const & { return std::get<0>(m_value); }
    T &&value() && { return std::get<0>(std::move(m_value)); }
    T &operator*() & { return value(); }
    const T &operator*() const & { return value(); }
    T *operator->() { return &value(); }
    const T *operator->() const { return &value(); }
    template <typename U>
    T value_or(U &&other) const &
    {
        return has_value() ? value() : static_cast<T>(std::forward<U>(other));
    }

    E &error() & { return std::get<1>(m_value); }
    const E &error() const & { return std::get<1>(m_value); }

private:
    std::variant<T, E> m_value;
};

template <typename E>
class Expected<void, E>
{
public:
    using value_type = void;
    using error_type = E;

    Expected() = default;
    template <typename G>
    Expected(Unexpected<G> failure) : m_error(E(std::move(failure).error()))
    {
    }

    bool has_value() const { return !m_error; }
    explicit operator bool() const { return has_value(); }

    E &error() & { return *m_error; }
    const E &error() const & { return *m_error; }

private:
    std::optional<E> m_error;
};

// Unexpected(Failure<R>{…}) in fewer words: return unexpected(Reason::X, detail);
template <typename Reason, typename Detail = QString>
Unexpected<Failure<Reason, Detail>> unexpected(Reason reason, Detail detail = {}, int code = 0)
{
    return Unexpected<Failure<Reason, Detail>>(Failure<Reason, Detail>{reason, std::move(detail), code});
}
