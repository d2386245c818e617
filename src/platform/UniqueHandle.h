#pragma once
// One move-only owner for every kind of handle. Traits name the handle type, the
// value that means "no handle" and the function that gives one back; a Close that
// must keep some state of the calling thread (the last error) keeps it itself.
#include <utility>

namespace orvitex::platform {

template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    [[nodiscard]] Handle Get() const { return handle_; }
    [[nodiscard]] explicit operator bool() const { return handle_ != Traits::None(); }
    // For functions that hand a new handle back through a pointer.
    [[nodiscard]] Handle* Receive() {
        Reset();
        return &handle_;
    }
    [[nodiscard]] Handle Release() { return std::exchange(handle_, Traits::None()); }
    void Reset(Handle handle = Traits::None()) {
        const Handle old = std::exchange(handle_, handle);
        if (old != Traits::None())
            Traits::Close(old);
    }

private:
    Handle handle_ = Traits::None();
};

}  // namespace orvitex::platform
