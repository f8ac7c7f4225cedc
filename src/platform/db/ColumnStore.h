#pragma once
// Compact typed storage of one column of a dataset's rows.

#include "platform/db/PodArray.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace db {

class ColumnStore {
public:
    enum class Rep { Undecided, Int, Bool, Real, Text, Bytes };

    explicit ColumnStore(Rep rep = Rep::Undecided) : rep_(rep) {}

    Rep rep() const { return rep_; }
    size_t size() const { return size_; }
    void reserve(size_t n);
    // Chooses the representation of a column whose type was unknown (only nulls so far).
    void decide(Rep rep);

    void appendNull();
    void appendNulls(size_t n);
    void appendInt(qint64 v);
    void appendReal(double v);
    void appendText(std::string_view utf8);
    // Hot paths for reading rows of a column whose representation matches the value.
    inline void fastNull();
    inline void fastInt(qint64 v);
    inline void fastReal(double v);
    inline void fastText(const char* p, size_t n);
    void appendVariant(const QVariant& v);

    bool isNull(size_t row) const { return !nulls_.empty() && nulls_[row] != 0; }
    QVariant get(size_t row) const;
    void set(size_t row, const QVariant& v);

    // Quick readers for sorting and filtering.
    double number(size_t row) const;
    QString text(size_t row) const;

private:
    struct Slot {
        uint32_t off;
        uint32_t len;
    };
    void fill(size_t row, const QVariant& v);
    // Text bytes live in chunks that never move: a slot's offset holds the chunk's index in
    // its upper bits and the position inside the chunk in the lower ones.
    static constexpr uint32_t kOffsetBits = 20;
    static constexpr uint32_t kMaxChunk = 1u << kOffsetBits;
    uint32_t pooled(std::string_view bytes);
    const char* bytesOf(Slot s) const
    {
        return s.len == 0 ? "" : chunks_[s.off >> kOffsetBits].get() + (s.off & (kMaxChunk - 1));
    }

    Rep rep_;
    // Null marks, kept only from the first null on (most columns never need them).
    PodArray<uint8_t> nulls_;
    size_t size_ = 0;
    void markValue()
    {
        if (!nulls_.empty())
            nulls_.push_back(0);
        ++size_;
    }
    void markNull()
    {
        if (nulls_.empty())
            nulls_.assign(size_, 0);
        nulls_.push_back(1);
        ++size_;
    }
    void setNull(size_t row, bool on)
    {
        if (nulls_.empty()) {
            if (!on)
                return;
            nulls_.assign(size_, 0);
        }
        nulls_[row] = on ? 1 : 0;
    }
    PodArray<qint64> ints_;
    PodArray<int8_t> bools_;
    PodArray<double> reals_;
    PodArray<Slot> slots_;
    std::vector<std::unique_ptr<char[]>> chunks_;
    uint32_t chunkSize_ = 0;
    Slot recent_[4] = {{0, UINT32_MAX}, {0, UINT32_MAX}, {0, UINT32_MAX}, {0, UINT32_MAX}};
    unsigned recentNext_ = 0;
    uint32_t used_ = 0;
};

inline void ColumnStore::fastNull()
{
    switch (rep_) {
    case Rep::Int: ints_.push_back(0); break;
    case Rep::Bool: bools_.push_back(0); break;
    case Rep::Real: reals_.push_back(0.0); break;
    case Rep::Text:
    case Rep::Bytes: slots_.push_back({0, 0}); break;
    case Rep::Undecided: break;
    }
    markNull();
}

inline void ColumnStore::fastInt(qint64 v)
{
    if (rep_ == Rep::Int) {
        ints_.push_back(v);
        markValue();
    } else if (rep_ == Rep::Bool) {
        bools_.push_back(v != 0 ? 1 : 0);
        markValue();
    } else {
        appendInt(v);
    }
}

inline void ColumnStore::fastReal(double v)
{
    if (rep_ == Rep::Real) {
        reals_.push_back(v);
        markValue();
    } else {
        appendReal(v);
    }
}

inline void ColumnStore::fastText(const char* p, size_t n)
{
    if (rep_ != Rep::Text && rep_ != Rep::Bytes) {
        appendText(std::string_view(p, n));
        return;
    }
    // a value equal to one of the last few distinct values shares its bytes
    for (const Slot& r : recent_) {
        if (r.len == n && (n == 0 || std::memcmp(bytesOf(r), p, n) == 0)) {
            slots_.push_back(r);
            markValue();
            return;
        }
    }
    const Slot fresh{pooled(std::string_view(p, n)), uint32_t(n)};
    recent_[recentNext_++ & 3] = fresh;
    slots_.push_back(fresh);
    markValue();
}

} // namespace db
