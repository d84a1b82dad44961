#pragma once

#include <utility>

// Move-only owner of one system handle. Traits supply the handle type, the
// value that means "none" and how to release a handle:
//   struct Traits { using Type = ...; static Type Invalid() noexcept;
//                   static void Close(Type) noexcept; };
template <class Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() noexcept : m_handle(Traits::Invalid()) {}
    explicit UniqueHandle(Type handle) noexcept : m_handle(handle) {}
    ~UniqueHandle() { Reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    Type Get() const noexcept { return m_handle; }
    bool IsValid() const noexcept { return m_handle != Traits::Invalid(); }
    explicit operator bool() const noexcept { return IsValid(); }

    // Gives up ownership without closing.
    Type Release() noexcept { return std::exchange(m_handle, Traits::Invalid()); }

    // Closes the handle held (if any), then takes `handle`.
    void Reset(Type handle = Traits::Invalid()) noexcept {
        Type old = std::exchange(m_handle, handle);
        if (old != Traits::Invalid()) Traits::Close(old);
    }

private:
    Type m_handle;
};
