#pragma once
// A growable array of trivially copyable values. Large arrays live in their own memory
// mappings that grow with mremap, so growing never copies the values and the pages can be
// huge pages; small ones use malloc. This matters when a dataset reads a hundred thousand
// rows into column arrays.

#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

namespace db {

namespace podarray {
// Threshold in bytes from which an array gets a mapping of its own.
constexpr size_t kMapped = 64 * 1024;
// Room for at least newBytes; newBytes becomes the room given (a reused mapping may be larger).
void* grow(void* data, size_t oldBytes, size_t& newBytes, bool& mapped);
void release(void* data, size_t bytes, bool mapped);
} // namespace podarray

template <typename T>
class PodArray {
    static_assert(std::is_trivially_copyable_v<T>, "PodArray holds plain values only");

public:
    PodArray() = default;
    PodArray(const PodArray&) = delete;
    PodArray& operator=(const PodArray&) = delete;
    ~PodArray() { podarray::release(data_, capacity_ * sizeof(T), mapped_); }

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    T& operator[](size_t i) { return data_[i]; }
    const T& operator[](size_t i) const { return data_[i]; }
    T& back() { return data_[size_ - 1]; }
    T* data() { return data_; }
    const T* data() const { return data_; }
    const T& back() const { return data_[size_ - 1]; }

    void reserve(size_t n)
    {
        if (n <= capacity_)
            return;
        size_t bytes = n * sizeof(T);
        data_ = static_cast<T*>(podarray::grow(data_, capacity_ * sizeof(T), bytes, mapped_));
        capacity_ = bytes / sizeof(T);
    }
    void push_back(T v)
    {
        if (size_ == capacity_)
            grow();
        data_[size_++] = v;
    }
    // Empty again, its memory given back.
    void reset()
    {
        podarray::release(data_, capacity_ * sizeof(T), mapped_);
        data_ = nullptr;
        size_ = capacity_ = 0;
        mapped_ = false;
    }
    // Grows to n values, the new ones v.
    void resize(size_t n, T v)
    {
        reserve(n);
        for (size_t i = size_; i < n; ++i)
            data_[i] = v;
        size_ = n;
    }
    void assign(size_t n, T v)
    {
        reserve(n);
        for (size_t i = 0; i < n; ++i)
            data_[i] = v;
        size_ = n;
    }

private:
    // Small arrays double; a mapped one grows by half, its pages filled as they are added.
    void grow()
    {
        const size_t bytes = capacity_ * sizeof(T);
        reserve(capacity_ < 64 ? 64 : bytes < podarray::kMapped ? capacity_ * 2 : capacity_ + capacity_ / 2);
    }

    T* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
    bool mapped_ = false;
};

} // namespace db
