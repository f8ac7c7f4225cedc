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

    explicit ColumnStore(Rep rep = Rep::Undecided) : rep_(rep)
    {
        if (rep_ == Rep::Bytes)
            mode_ = TextMode::Slots;
    }

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
    // A text or bytes value as the database gave it (a text need not be valid UTF-8).
    QByteArray bytes(size_t row) const;
    // False for a stored text that is no valid UTF-8 (an old file database may hold such).
    bool validText(size_t row) const;

private:
    struct Slot {
        uint32_t off;
        uint32_t len;
    };
    // Texts are kept as codes into a list of their distinct values while few values repeat
    // often (types, titles, dates: one or two bytes a row), and as a slot of their own once
    // they hardly repeat (names, phones, addresses), with no look for repeats from then on.
    enum class TextMode : uint8_t { Dict8, Dict16, Slots };
    void fill(size_t row, const QVariant& v);
    void pushText(const char* p, size_t n);
    void setText(size_t row, const char* p, size_t n);
    // The code of a value, added when new; kNoCode when the list is full.
    uint32_t codeOf(const char* p, size_t n);
    void widen();
    Slot slotAt(size_t row) const
    {
        switch (mode_) {
        case TextMode::Dict8: return dict_[codes8_[row]];
        case TextMode::Dict16: return dict_[codes16_[row]];
        case TextMode::Slots: break;
        }
        return slots_[row];
    }
    static constexpr uint32_t kNoCode = UINT32_MAX;
    // Text bytes live in chunks that never move: a slot's offset holds the chunk's index in
    // its upper bits and the position inside the chunk in the lower ones.
    static constexpr uint32_t kOffsetBits = 20;
    static constexpr uint32_t kMaxChunk = 1u << kOffsetBits;
    uint32_t pooled(std::string_view bytes);
    const char* bytesOf(Slot s) const
    {
        return s.len == 0 ? "" : chunks_[s.off >> kOffsetBits]->data() + (s.off & (kMaxChunk - 1));
    }

    Rep rep_;
    TextMode mode_ = TextMode::Dict8;
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
    PodArray<uint8_t> codes8_;
    PodArray<uint16_t> codes16_;
    std::vector<Slot> dict_;        // the distinct values; code 0 is the empty text
    std::vector<uint32_t> table_;   // code + 1 by hash of the value; 0 is free
    uint32_t last_ = 0;             // the code appended last
    std::vector<std::unique_ptr<PodArray<char>>> chunks_;
    uint32_t chunkSize_ = 0;
    uint32_t used_ = 0;
};

inline void ColumnStore::fastNull()
{
    switch (rep_) {
    case Rep::Int: ints_.push_back(0); break;
    case Rep::Bool: bools_.push_back(0); break;
    case Rep::Real: reals_.push_back(0.0); break;
    case Rep::Text:
    case Rep::Bytes: pushText("", 0); break;
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
    if (mode_ == TextMode::Slots) {
        slots_.push_back(Slot{pooled(std::string_view(p, n)), uint32_t(n)});
    } else {
        // a column often repeats the value of the row before
        const Slot s = dict_.empty() ? Slot{0, 0} : dict_[last_];
        if (!dict_.empty() && s.len == n && (n == 0 || std::memcmp(bytesOf(s), p, n) == 0)) {
            if (mode_ == TextMode::Dict8)
                codes8_.push_back(uint8_t(last_));
            else
                codes16_.push_back(uint16_t(last_));
        } else {
            pushText(p, n);
        }
    }
    markValue();
}

} // namespace db
