#pragma once
// Compact typed storage of one column of a dataset's rows.

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace db {

class ColumnStore {
public:
    enum class Rep { Undecided, Int, Bool, Real, Text, Bytes };

    explicit ColumnStore(Rep rep = Rep::Undecided) : rep_(rep) {}

    Rep rep() const { return rep_; }
    size_t size() const { return nulls_.size(); }
    void reserve(size_t n);
    // Chooses the representation of a column whose type was unknown (only nulls so far).
    void decide(Rep rep);

    void appendNull();
    void appendInt(qint64 v);
    void appendReal(double v);
    void appendText(std::string_view utf8);
    // Hot paths for reading rows of a column whose representation matches the value.
    inline void fastNull();
    inline void fastInt(qint64 v);
    inline void fastReal(double v);
    inline void fastText(const char* p, size_t n);
    void appendVariant(const QVariant& v);

    bool isNull(size_t row) const { return nulls_[row] != 0; }
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
    uint32_t pooled(std::string_view bytes);

    Rep rep_;
    std::vector<uint8_t> nulls_;
    std::vector<qint64> ints_;
    std::vector<int8_t> bools_;
    std::vector<double> reals_;
    std::vector<Slot> slots_;
    std::string pool_;
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
    nulls_.push_back(1);
}

inline void ColumnStore::fastInt(qint64 v)
{
    if (rep_ == Rep::Int) {
        ints_.push_back(v);
        nulls_.push_back(0);
    } else if (rep_ == Rep::Bool) {
        bools_.push_back(v != 0 ? 1 : 0);
        nulls_.push_back(0);
    } else {
        appendInt(v);
    }
}

inline void ColumnStore::fastReal(double v)
{
    if (rep_ == Rep::Real) {
        reals_.push_back(v);
        nulls_.push_back(0);
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
    // a value equal to the previous row's shares its bytes
    if (!slots_.empty()) {
        const Slot last = slots_.back();
        if (last.len == n && (n == 0 || std::memcmp(pool_.data() + last.off, p, n) == 0)) {
            slots_.push_back(last);
            nulls_.push_back(0);
            return;
        }
    }
    slots_.push_back({pooled(std::string_view(p, n)), uint32_t(n)});
    nulls_.push_back(0);
}

} // namespace db
