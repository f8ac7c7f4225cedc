#pragma once
// A growable array of trivially copyable values that grows with realloc: large blocks
// are moved by the system (mremap) instead of copied, which matters when a dataset
// reads a hundred thousand rows into column arrays.

#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

namespace db {

template <typename T>
class PodArray {
    static_assert(std::is_trivially_copyable_v<T>, "PodArray holds plain values only");

public:
    PodArray() = default;
    PodArray(const PodArray&) = delete;
    PodArray& operator=(const PodArray&) = delete;
    ~PodArray() { std::free(data_); }

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    T& operator[](size_t i) { return data_[i]; }
    const T& operator[](size_t i) const { return data_[i]; }
    T& back() { return data_[size_ - 1]; }
    const T& back() const { return data_[size_ - 1]; }

    void reserve(size_t n)
    {
        if (n <= capacity_)
            return;
        T* p = static_cast<T*>(std::realloc(static_cast<void*>(data_), n * sizeof(T)));
        if (!p)
            throw std::bad_alloc();
        data_ = p;
        capacity_ = n;
    }
    void push_back(T v)
    {
        if (size_ == capacity_)
            reserve(capacity_ < 64 ? 64 : capacity_ * 2);
        data_[size_++] = v;
    }
    void assign(size_t n, T v)
    {
        reserve(n);
        for (size_t i = 0; i < n; ++i)
            data_[i] = v;
        size_ = n;
    }

private:
    T* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

} // namespace db
