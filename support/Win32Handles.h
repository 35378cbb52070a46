// Owners for the few Windows resources the plugin holds, so every exit path
// releases them.
#pragma once

#include <windows.h>

#include <utility>

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
    T* get() const { return static_cast<T*>(data_); }
    // Hands the block over; the caller frees it from the same heap.
    void* release() { return std::exchange(data_, nullptr); }

private:
    HANDLE heap_ = nullptr;
    void* data_ = nullptr;
};

// A kernel handle from CreateFile and the like (INVALID_HANDLE_VALUE when none).
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() {
        if (valid()) CloseHandle(handle_);
    }

    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};
