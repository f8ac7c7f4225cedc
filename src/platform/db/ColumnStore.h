#pragma once
// Compact typed storage of one column of a dataset's rows.

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <cstdint>
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
    void appendVariant(const QVariant& v);

    bool isNull(size_t row) const { return nulls_[row]; }
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
    std::vector<bool> nulls_;
    std::vector<qint64> ints_;
    std::vector<int8_t> bools_;
    std::vector<double> reals_;
    std::vector<Slot> slots_;
    std::string pool_;
};

} // namespace db
