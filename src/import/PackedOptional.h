#pragma once

// An optional number without padding: the value's bytes and one "has a value" byte, aligned to
// one byte. std::optional<int32_t> takes 8 bytes; this takes 5, which matters in the model's
// largest tables (hundreds of thousands of measurements and raw variables per file).
// Reads hand the value out by copy; assignment, comparison and conversion to std::optional
// behave as std::optional does.

#include <compare>
#include <cstring>
#include <optional>
#include <type_traits>
#include <utility>

template <class T>
class TPackedOptional {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    using value_type = T;

    constexpr TPackedOptional() noexcept = default;
    constexpr TPackedOptional(std::nullopt_t) noexcept {}
    TPackedOptional(T v) noexcept { Set(v); }
    TPackedOptional(const std::optional<T>& v) noexcept
    {
        if (v)
            Set(*v);
    }

    TPackedOptional& operator=(std::nullopt_t) noexcept
    {
        reset();
        return *this;
    }
    TPackedOptional& operator=(T v) noexcept
    {
        Set(v);
        return *this;
    }

    bool has_value() const noexcept { return FHasValue; }
    explicit operator bool() const noexcept { return FHasValue; }
    T operator*() const noexcept
    {
        T v;
        std::memcpy(&v, FBytes, sizeof(T));
        return v;
    }
    T value() const
    {
        if (!FHasValue)
            throw std::bad_optional_access();
        return **this;
    }
    template <class U>
    T value_or(U&& fallback) const
    {
        return FHasValue ? **this : static_cast<T>(std::forward<U>(fallback));
    }
    void reset() noexcept { FHasValue = false; }

    operator std::optional<T>() const
    {
        return FHasValue ? std::optional<T>(**this) : std::nullopt;
    }

    friend bool operator==(const TPackedOptional& a, const TPackedOptional& b) noexcept
    {
        return std::optional<T>(a) == std::optional<T>(b);
    }
    friend auto operator<=>(const TPackedOptional& a, const TPackedOptional& b) noexcept
    {
        return std::optional<T>(a) <=> std::optional<T>(b);
    }
    // Exact overloads, so that std::optional's own templates (which would take this class as
    // a plain value) are never picked for a mixed comparison.
    friend bool operator==(const TPackedOptional& a, const std::optional<T>& b) noexcept
    {
        return std::optional<T>(a) == b;
    }
    friend auto operator<=>(const TPackedOptional& a, const std::optional<T>& b) noexcept
    {
        return std::optional<T>(a) <=> b;
    }
    friend bool operator==(const TPackedOptional& a, std::nullopt_t) noexcept { return !a.FHasValue; }
    friend bool operator==(const TPackedOptional& a, const T& b) noexcept { return a.FHasValue && *a == b; }
    friend auto operator<=>(const TPackedOptional& a, const T& b) noexcept
    {
        return std::optional<T>(a) <=> b;
    }

private:
    void Set(T v) noexcept
    {
        std::memcpy(FBytes, &v, sizeof(T));
        FHasValue = true;
    }

    unsigned char FBytes[sizeof(T)] = {};
    bool FHasValue = false;
};
