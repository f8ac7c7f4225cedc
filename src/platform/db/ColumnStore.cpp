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
    case Rep::Bytes:
        switch (mode_) {
        case TextMode::Dict8: codes8_.reserve(n); break;
        case TextMode::Dict16: codes16_.reserve(n); break;
        case TextMode::Slots: slots_.reserve(n); break;
        }
        break;
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
        for (size_t i = 0; i < n; ++i)
            pushText("", 0);
        break;
    case Rep::Bytes:
        mode_ = TextMode::Slots;
        slots_.assign(n, Slot{0, 0});
        break;
    case Rep::Undecided: break;
    }
}

namespace {

uint32_t hashOf(const char* p, size_t n)
{
    uint64_t h = 0x9e3779b97f4a7c15ull ^ n;
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t w;
        std::memcpy(&w, p + i, 8);
        h = (h ^ w) * 0xff51afd7ed558ccdull;
        h ^= h >> 32;
    }
    uint64_t w = 0;
    std::memcpy(&w, p + i, n - i);
    h = (h ^ w) * 0xc4ceb9fe1a85ec53ull;
    return uint32_t(h ^ (h >> 29));
}

} // namespace

uint32_t ColumnStore::codeOf(const char* p, size_t n)
{
    if (dict_.empty()) {
        dict_.push_back(Slot{0, 0});   // code 0: the empty text, also under nulls
        table_.assign(512, 0);
        table_[hashOf("", 0) & 511] = 1;
    }
    const size_t mask = table_.size() - 1;
    for (size_t i = hashOf(p, n) & mask;; i = (i + 1) & mask) {
        const uint32_t entry = table_[i];
        if (entry == 0) {
            const size_t limit = mode_ == TextMode::Dict8 ? 256 : 65536;
            if (dict_.size() >= limit)
                return kNoCode;
            const uint32_t code = uint32_t(dict_.size());
            dict_.push_back(Slot{pooled(std::string_view(p, n)), uint32_t(n)});
            table_[i] = code + 1;
            if (dict_.size() * 2 > table_.size()) {
                // a larger table, every value in its new place
                std::vector<uint32_t> bigger(table_.size() * 2, 0);
                const size_t m = bigger.size() - 1;
                for (uint32_t c = 0; c < dict_.size(); ++c) {
                    size_t j = hashOf(bytesOf(dict_[c]), dict_[c].len) & m;
                    while (bigger[j] != 0)
                        j = (j + 1) & m;
                    bigger[j] = c + 1;
                }
                table_.swap(bigger);
            }
            return code;
        }
        const Slot s = dict_[entry - 1];
        if (s.len == n && (n == 0 || std::memcmp(bytesOf(s), p, n) == 0))
            return entry - 1;
    }
}

// A full list of one-byte codes becomes two-byte codes when its values repeat, and slots when
// they hardly do; a full list of two-byte codes becomes slots.
void ColumnStore::widen()
{
    if (mode_ == TextMode::Dict8 && size_ >= 4 * dict_.size()) {
        codes16_.reserve(size_ + 1);
        for (size_t i = 0; i < size_; ++i)
            codes16_.push_back(codes8_[i]);
        codes8_.reset();
        mode_ = TextMode::Dict16;
        return;
    }
    slots_.reserve(size_ + 1);
    for (size_t i = 0; i < size_; ++i)
        slots_.push_back(slotAt(i));
    codes8_.reset();
    codes16_.reset();
    dict_ = std::vector<Slot>();
    table_ = std::vector<uint32_t>();
    last_ = 0;
    mode_ = TextMode::Slots;
}

// Appends a value's code or slot (the row's null mark is the caller's).
void ColumnStore::pushText(const char* p, size_t n)
{
    for (;;) {
        if (mode_ == TextMode::Slots) {
            slots_.push_back(Slot{pooled(std::string_view(p, n)), uint32_t(n)});
            return;
        }
        const uint32_t code = codeOf(p, n);
        if (code == kNoCode) {
            widen();
            continue;
        }
        last_ = code;
        if (mode_ == TextMode::Dict8)
            codes8_.push_back(uint8_t(code));
        else
            codes16_.push_back(uint16_t(code));
        return;
    }
}

void ColumnStore::setText(size_t row, const char* p, size_t n)
{
    for (;;) {
        if (mode_ == TextMode::Slots) {
            slots_[row] = Slot{pooled(std::string_view(p, n)), uint32_t(n)};
            return;
        }
        const uint32_t code = codeOf(p, n);
        if (code == kNoCode) {
            widen();
            continue;
        }
        if (mode_ == TextMode::Dict8)
            codes8_[row] = uint8_t(code);
        else
            codes16_[row] = uint16_t(code);
        return;
    }
}

uint32_t ColumnStore::pooled(std::string_view bytes)
{
    const size_t n = bytes.size();
    if (n == 0)
        return 0;
    if (n > UINT32_MAX || chunks_.size() >= (size_t(1) << (32 - kOffsetBits)))
        throw DbError(ErrorCategory::Other, QStringLiteral("Too much text in one column"));
    const auto newChunk = [this](size_t size) {
        chunks_.push_back(std::make_unique<PodArray<char>>());
        chunks_.back()->reserve(size);
    };
    if (n > kMaxChunk / 2) {
        // a large value takes a chunk of its own
        newChunk(n);
        std::memcpy(chunks_.back()->data(), bytes.data(), n);
        const uint32_t off = uint32_t(chunks_.size() - 1) << kOffsetBits;
        used_ = chunkSize_; // the next value starts a new chunk
        return off;
    }
    if (chunks_.empty() || used_ + n > chunkSize_) {
        // chunks grow from 4 KB to 1 MB, so a small dataset stays small
        chunkSize_ = chunks_.empty() ? 4096u : std::min(kMaxChunk, chunkSize_ * 2);
        while (chunkSize_ < n)
            chunkSize_ *= 2;
        newChunk(chunkSize_);
        used_ = 0;
    }
    const uint32_t off = (uint32_t(chunks_.size() - 1) << kOffsetBits) | used_;
    std::memcpy(chunks_.back()->data() + used_, bytes.data(), n);
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
    case Rep::Bytes:
        for (size_t i = size_; i < to; ++i)
            pushText("", 0);
        break;
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
        pushText(s.data(), s.size());
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
        pushText(s.constData(), size_t(s.size()));
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
    case Rep::Bytes: pushText(utf8.data(), utf8.size()); break;
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
        const Slot s = slotAt(row);
        return QVariant(QString::fromUtf8(bytesOf(s), qsizetype(s.len)));
    }
    case Rep::Bytes: {
        const Slot s = slotAt(row);
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
        setText(row, b.constData(), size_t(b.size()));
        break;
    }
    case Rep::Bytes: {
        const QByteArray b = v.typeId() == QMetaType::QByteArray ? v.toByteArray() : v.toString().toUtf8();
        setText(row, b.constData(), size_t(b.size()));
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
        const Slot s = slotAt(row);
        return QString::fromUtf8(bytesOf(s), qsizetype(s.len));
    }
    return get(row).toString();
}

QByteArray ColumnStore::bytes(size_t row) const
{
    if (isNull(row))
        return {};
    if (rep_ == Rep::Text || rep_ == Rep::Bytes) {
        const Slot s = slotAt(row);
        return QByteArray(bytesOf(s), qsizetype(s.len));
    }
    return get(row).toString().toUtf8();
}

bool ColumnStore::validText(size_t row) const
{
    if (rep_ != Rep::Text || isNull(row))
        return true;
    const Slot s = slotAt(row);
    return QByteArrayView(bytesOf(s), qsizetype(s.len)).isValidUtf8();
}

} // namespace db
