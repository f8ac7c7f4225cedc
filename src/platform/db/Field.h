#pragma once
// A field of a dataset: one column of its rows, read and written on the current record.

#include <QString>
#include <QVariant>
#include <functional>

namespace db {

class DataSet;

enum class FieldKind { Data, Calculated, Lookup };
enum class FieldType { Unknown, Integer, AutoInc, SmallInt, Boolean, Float, Currency, String, Memo, Blob };

struct FieldDef {
    QString name;
    FieldKind kind = FieldKind::Data;
    FieldType type = FieldType::Unknown;   // Unknown: taken from the catalogue or the engine
    int size = 0;                          // text width; 0 means unlimited
    QString label;
    QString editMask;
    QString displayFormat;
    Qt::Alignment alignment = {};
    bool readOnly = false;
    bool visible = true;
    // Whole-number fields: the smallest and largest value the column holds on both engines;
    // both 0 means the range of the type.
    qint64 minValue = 0;
    qint64 maxValue = 0;
    // Lookup fields: this dataset's key field, the other dataset, its key and result fields.
    QString keyField;
    DataSet* lookupDataSet = nullptr;
    QString lookupKeyField;
    QString lookupResultField;
};

class Field {
public:
    Field(DataSet* owner, FieldDef def) : ds_(owner), def_(std::move(def)) {}

    const QString& FieldName() const { return def_.name; }
    QString DisplayLabel() const { return def_.label.isEmpty() ? def_.name : def_.label; }
    FieldKind Kind() const { return def_.kind; }
    FieldType DataType() const { return def_.type; }
    int Size() const { return def_.size; }
    const QString& EditMask() const { return def_.editMask; }
    const QString& DisplayFormat() const { return def_.displayFormat; }
    Qt::Alignment Alignment() const;
    bool ReadOnly() const { return def_.readOnly || def_.type == FieldType::AutoInc; }
    bool Visible() const { return def_.visible; }
    bool IsNumeric() const;
    bool IsText() const { return def_.type == FieldType::String || def_.type == FieldType::Memo; }
    const FieldDef& Def() const { return def_; }
    FieldDef& Def() { return def_; }
    DataSet* DataSetOf() const { return ds_; }
    int Index() const { return index_; }
    bool Active() const { return index_ >= 0; }
    const QString& BaseTable() const { return baseTable_; }
    const QString& BaseColumn() const { return baseColumn_; }

    // The values a whole-number field takes.
    qint64 MinValue() const;
    qint64 MaxValue() const;
    // Amounts (money, decimal) hold less than this in magnitude: numeric(19,4) on the server.
    static constexpr double AmountLimit = 1e15;
    // Decimals an amount holds: numeric(19,4) on the server, the same on the file database.
    static constexpr int AmountDecimals = 4;

    // Values of the current record (or of the row being calculated). Null reads as "" and 0.
    QVariant Value() const;
    bool IsNull() const;
    QString AsString() const;
    double AsFloat() const;
    qint64 AsLargeInt() const;
    int AsInteger() const { return int(AsLargeInt()); }
    bool AsBoolean() const;
    // Bytes of a blob; the text as the database holds it (unchanged, whatever its encoding).
    QByteArray AsBytes() const;
    // Text for display: numbers through the display format, booleans as "True"/"False".
    QString DisplayText() const;
    // Text for editing: numbers without grouping.
    QString Text() const;

    void SetValue(const QVariant& v);
    void SetAsString(const QString& s) { SetValue(QVariant(s)); }
    void SetAsFloat(double v) { SetValue(QVariant(v)); }
    void SetAsInteger(qint64 v) { SetValue(QVariant(v)); }
    void SetAsBoolean(bool v) { SetValue(QVariant(v)); }
    void Clear() { SetValue(QVariant()); }
    // Typed text: through OnSetText when set, else converted to the field's type and checked
    // whole (a text longer than the field is refused, not cut). NUL characters are dropped;
    // numbers and masked texts take Persian and Arabic-Indic digits as ASCII digits.
    void SetText(const QString& text);
    // True while SetText runs (also inside OnSetText and OnValidate): the value was typed.
    bool SettingText() const { return settingText_; }

    // Converts v to the field's type, text cut to its width unless cut is false. A data
    // field refuses, with a message naming it, text that is no number (a fraction for a whole
    // number too), a whole number outside its range, an amount beyond AmountLimit and an
    // amount given as text with more decimals than the column holds; the program's own
    // amounts are rounded to the column's scale (ties to even on the decimal value).
    QVariant Coerce(const QVariant& v, bool cut = true) const;
    // The message for a text longer than the field.
    QString TooLongMessage() const;

    std::function<void(Field&, const QString&)> OnSetText;
    // Runs with the new value in place; throw to refuse it (the old value comes back).
    std::function<void(Field&)> OnValidate;

private:
    friend class DataSet;
    DataSet* ds_;
    FieldDef def_;
    int index_ = -1;     // position among the dataset's active fields; -1 when not active
    int store_ = -1;     // column store of data fields / calculated fields
    bool declared_ = false;
    bool settingText_ = false;
    QString baseTable_;
    QString baseColumn_;
};

} // namespace db
