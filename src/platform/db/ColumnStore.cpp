#include "platform/db/ColumnStore.h"

#include "platform/db/Errors.h"
#include "platform/db/Format.h"

#include <QLocale>

namespace db {

void ColumnStore::reserve(size_t n)
{
    switch (rep_) {
    case Rep::Int: ints_.reserve(n); break;
    case Rep::Bool: bools_.reserve(n); break;
    case Rep::Real: reals_.reserve(n); break;
    case Rep::Text:
    case Rep::Bytes: slots_.reserve(n); break;
    case Rep::Undecided: break;
    }
}

void ColumnStore::decide(Rep rep)
{
    if (rep_ != Rep::Undecided)
        return;
    rep_ = rep;
    const size_t n = size_;
    switch (rep_) {
    case Rep::Int: ints_.assign(n, 0); break;
    case Rep::Bool: bools_.assign(n, 0); break;
    case Rep::Real: reals_.assign(n, 0.0); break;
    case Rep::Text:
    case Rep::Bytes: slots_.assign(n, Slot{0, 0}); break;
    case Rep::Undecided: break;
    }
}

uint32_t ColumnStore::pooled(std::string_view bytes)
{
    const size_t n = bytes.size();
    if (n == 0)
        return 0;
    if (n > UINT32_MAX || chunks_.size() >= (size_t(1) << (32 - kOffsetBits)))
        throw DbError(ErrorCategory::Other, QStringLiteral("Too much text in one column"));
    if (n > kMaxChunk / 2) {
        // a large value takes a chunk of its own
        chunks_.push_back(std::unique_ptr<char[]>(new char[n]));
        std::memcpy(chunks_.back().get(), bytes.data(), n);
        const uint32_t off = uint32_t(chunks_.size() - 1) << kOffsetBits;
        used_ = chunkSize_; // the next value starts a new chunk
        return off;
    }
    if (chunks_.empty() || used_ + n > chunkSize_) {
        // chunks grow from 4 KB to 1 MB, so a small dataset stays small
        chunkSize_ = chunks_.empty() ? 4096u : std::min(kMaxChunk, chunkSize_ * 2);
        while (chunkSize_ < n)
            chunkSize_ *= 2;
        chunks_.push_back(std::unique_ptr<char[]>(new char[chunkSize_]));
        used_ = 0;
    }
    const uint32_t off = (uint32_t(chunks_.size() - 1) << kOffsetBits) | used_;
    std::memcpy(chunks_.back().get() + used_, bytes.data(), n);
    used_ += uint32_t(n);
    return off;
}

void ColumnStore::appendNull() { fastNull(); }

void ColumnStore::appendNulls(size_t n)
{
    const size_t to = size_ + n;
    switch (rep_) {
    case Rep::Int: ints_.resize(to, 0); break;
    case Rep::Bool: bools_.resize(to, 0); break;
    case Rep::Real: reals_.resize(to, 0.0); break;
    case Rep::Text:
    case Rep::Bytes: slots_.resize(to, Slot{0, 0}); break;
    case Rep::Undecided: break;
    }
    if (nulls_.empty())
        nulls_.assign(size_, 0);
    nulls_.resize(to, 1);
    size_ = to;
}

void ColumnStore::appendInt(qint64 v)
{
    if (rep_ == Rep::Undecided)
        decide(Rep::Int);
    switch (rep_) {
    case Rep::Int: ints_.push_back(v); break;
    case Rep::Bool: bools_.push_back(v != 0 ? 1 : 0); break;
    case Rep::Real: reals_.push_back(double(v)); break;
    default: {
        const std::string s = std::to_string(v);
        slots_.push_back({pooled(s), uint32_t(s.size())});
    }
    }
    markValue();
}

void ColumnStore::appendReal(double v)
{
    if (rep_ == Rep::Undecided)
        decide(Rep::Real);
    switch (rep_) {
    case Rep::Int: ints_.push_back(ClampToInt64(v)); break;
    case Rep::Bool: bools_.push_back(v != 0 ? 1 : 0); break;
    case Rep::Real: reals_.push_back(v); break;
    default: {
        const QByteArray s = QByteArray::number(v, 'g', QLocale::FloatingPointShortest);
        slots_.push_back({pooled(std::string_view(s.constData(), size_t(s.size()))), uint32_t(s.size())});
    }
    }
    markValue();
}

void ColumnStore::appendText(std::string_view utf8)
{
    if (rep_ == Rep::Undecided)
        decide(Rep::Text);
    switch (rep_) {
    case Rep::Text:
    case Rep::Bytes: slots_.push_back({pooled(utf8), uint32_t(utf8.size())}); break;
    default: {
        markValue();
        const size_t row = size_ - 1;
        switch (rep_) {
        case Rep::Int: ints_.push_back(0); break;
        case Rep::Bool: bools_.push_back(0); break;
        default: reals_.push_back(0);
        }
        fill(row, QVariant(QString::fromUtf8(utf8.data(), qsizetype(utf8.size()))));
        return;
    }
    }
    markValue();
}

void ColumnStore::appendVariant(const QVariant& v)
{
    if (rep_ == Rep::Undecided && !v.isNull() && v.isValid()) {
        switch (v.typeId()) {
        case QMetaType::Bool: decide(Rep::Bool); break;
        case QMetaType::Double:
        case QMetaType::Float: decide(Rep::Real); break;
        case QMetaType::QByteArray: decide(Rep::Bytes); break;
        case QMetaType::QString: decide(Rep::Text); break;
        default: decide(Rep::Int);
        }
    }
    appendNull();
    set(size_ - 1, v);
}

QVariant ColumnStore::get(size_t row) const
{
    if (isNull(row))
        return {};
    switch (rep_) {
    case Rep::Int: return QVariant(ints_[row]);
    case Rep::Bool: return QVariant(bools_[row] != 0);
    case Rep::Real: return QVariant(reals_[row]);
    case Rep::Text: {
        const Slot s = slots_[row];
        return QVariant(QString::fromUtf8(bytesOf(s), qsizetype(s.len)));
    }
    case Rep::Bytes: {
        const Slot s = slots_[row];
        return QVariant(QByteArray(bytesOf(s), qsizetype(s.len)));
    }
    case Rep::Undecided: return {};
    }
    return {};
}

void ColumnStore::fill(size_t row, const QVariant& v)
{
    switch (rep_) {
    case Rep::Int: ints_[row] = v.toLongLong(); break;
    case Rep::Bool: bools_[row] = v.toBool() ? 1 : 0; break;
    case Rep::Real: reals_[row] = v.toDouble(); break;
    case Rep::Text: {
        const QByteArray b = v.toString().toUtf8();
        slots_[row] = {pooled(std::string_view(b.constData(), size_t(b.size()))), uint32_t(b.size())};
        break;
    }
    case Rep::Bytes: {
        const QByteArray b = v.typeId() == QMetaType::QByteArray ? v.toByteArray() : v.toString().toUtf8();
        slots_[row] = {pooled(std::string_view(b.constData(), size_t(b.size()))), uint32_t(b.size())};
        break;
    }
    case Rep::Undecided: break;
    }
}

void ColumnStore::set(size_t row, const QVariant& v)
{
    if (v.isNull() || !v.isValid()) {
        setNull(row, true);
        return;
    }
    if (rep_ == Rep::Undecided) {
        // a value for a column of unknown type: settle on the value's own kind
        switch (v.typeId()) {
        case QMetaType::Bool: decide(Rep::Bool); break;
        case QMetaType::Double: decide(Rep::Real); break;
        case QMetaType::QByteArray: decide(Rep::Bytes); break;
        case QMetaType::QString: decide(Rep::Text); break;
        default: decide(Rep::Int);
        }
    }
    setNull(row, false);
    fill(row, v);
}

double ColumnStore::number(size_t row) const
{
    if (isNull(row))
        return 0;
    switch (rep_) {
    case Rep::Int: return double(ints_[row]);
    case Rep::Bool: return bools_[row] ? 1 : 0;
    case Rep::Real: return reals_[row];
    default: return get(row).toString().toDouble();
    }
}

QString ColumnStore::text(size_t row) const
{
    if (isNull(row))
        return {};
    if (rep_ == Rep::Text) {
        const Slot s = slots_[row];
        return QString::fromUtf8(bytesOf(s), qsizetype(s.len));
    }
    return get(row).toString();
}

} // namespace db
