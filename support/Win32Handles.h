// Owners for the few Windows resources the plugin holds, so that every way
// out of a scope releases them: a cleanup that runs at scope exit, a handle
// closed by its own close function, and a block of a Win32 heap.
#pragma once

#include <windows.h>

#include <cstdint>
#include <type_traits>
#include <utility>

// Runs the cleanup when the scope is left, unless released. The cleanup
// cannot throw: it runs from a destructor.
template <typename Cleanup>
class ScopeExitGuard {
public:
    explicit ScopeExitGuard(Cleanup cleanup) noexcept : cleanup_(std::move(cleanup)) {}
    ScopeExitGuard(const ScopeExitGuard&) = delete;
    ScopeExitGuard& operator=(const ScopeExitGuard&) = delete;
    ~ScopeExitGuard() {
        if (armed_) cleanup_();
    }
    // The scope ended as planned: nothing to undo.
    void release() noexcept { armed_ = false; }

private:
    Cleanup cleanup_;
    bool armed_ = true;
};

template <typename Cleanup>
[[nodiscard]] ScopeExitGuard<Cleanup> ScopeExit(Cleanup cleanup) noexcept {
    static_assert(std::is_nothrow_invocable_v<Cleanup>, "a cleanup must be noexcept");
    return ScopeExitGuard<Cleanup>(std::move(cleanup));
}

// A handle closed by `Close` on every way out. Null and, for kernel handles,
// INVALID_HANDLE_VALUE (what CreateFile gives on failure) mean none.
template <auto Close, typename Handle = HANDLE>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Handle())) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        reset(std::exchange(other.handle_, Handle()));
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    bool valid() const noexcept {
        return handle_ != Handle() &&
               reinterpret_cast<std::uintptr_t>(handle_) != static_cast<std::uintptr_t>(-1);
    }
    Handle get() const noexcept { return handle_; }
    void reset(Handle handle = Handle()) noexcept {
        if (valid()) Close(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = Handle();
};

using FileHandle = UniqueHandle<CloseHandle>;

// A block from a Win32 heap, freed back to the same heap.
class HeapBlock {
public:
    HeapBlock() = default;
    HeapBlock(HANDLE heap, SIZE_T size)
        : heap_(heap), data_(heap ? HeapAlloc(heap, 0, size) : nullptr) {}
    HeapBlock(HeapBlock&& other) noexcept
        : heap_(other.heap_), data_(std::exchange(other.data_, nullptr)) {}
    HeapBlock& operator=(HeapBlock&& other) noexcept {
        std::swap(heap_, other.heap_);
        std::swap(data_, other.data_);
        return *this;
    }
    HeapBlock(const HeapBlock&) = delete;
    HeapBlock& operator=(const HeapBlock&) = delete;
    ~HeapBlock() {
        if (data_) HeapFree(heap_, 0, data_);
    }

    explicit operator bool() const { return data_ != nullptr; }
    template <typename T = void>
    T* get() const {
        return static_cast<T*>(data_);
    }
    // Hands the block over; the caller frees it from the same heap.
    void* release() { return std::exchange(data_, nullptr); }

private:
    HANDLE heap_ = nullptr;
    void* data_ = nullptr;
};
