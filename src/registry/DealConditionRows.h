#pragma once
// The three deal-condition rows of a record form: a type list, the first and second amounts
// and the condition text, labelled and enabled by the stored type.

#include <QString>
#include <QStringList>
#include <array>

class QLabel;
class QObject;
namespace db { class DataSet; }
namespace widgets {
class DBComboBox;
class DBEdit;
}

class DealConditionRows {
public:
    struct Row {
        widgets::DBComboBox* type = nullptr;
        QLabel* lblf = nullptr;
        widgets::DBEdit* edtf = nullptr;
        QLabel* lblf2 = nullptr;
        widgets::DBEdit* edtf2 = nullptr;
        QLabel* lblsh = nullptr;
        widgets::DBEdit* edtsh = nullptr;
        QString typeField, secondField;
    };
    using Rows = std::array<Row, 3>;

    // The rows of a layout naming them cmbfNtype, lblfN, edtfN, lblfN_2, edtfN_2, lblshN, edtshN;
    // typeFields: the stored type of each row (the second amount is fN_2).
    template <class Form>
    static Rows RowsOf(const Form* ui, const std::array<QString, 3>& typeFields)
    {
        return {Row{ui->cmbf1type, ui->lblf1, ui->edtf1, ui->lblf1_2, ui->edtf1_2, ui->lblsh1, ui->edtsh1,
                    typeFields[0], QStringLiteral("f1_2")},
                Row{ui->cmbf2type, ui->lblf2, ui->edtf2, ui->lblf2_2, ui->edtf2_2, ui->lblsh2, ui->edtsh2,
                    typeFields[1], QStringLiteral("f2_2")},
                Row{ui->cmbf3type, ui->lblf3, ui->edtf3, ui->lblf3_2, ui->edtf3_2, ui->lblsh3, ui->edtsh3,
                    typeFields[2], QStringLiteral("f3_2")}};
    }

    DealConditionRows() = default;
    // types: the four items of the type lists (sale or purchase first); firstPrice: the first
    // amount's label for that first type.
    DealConditionRows(const Rows& rows, const QStringList& types, const QString& firstPrice);

    const Row& row(int n) const { return rows_[n - 1]; } // 1..3
    const QStringList& types() const { return types_; }
    // 1..3 when o is a row's type list, else 0.
    int rowOf(const QObject* o) const;

    // Binds the type lists to their fields.
    void Bind(db::DataSet* ds);
    // Labels and enabled states of one row (1..3) by its stored type; sets the second
    // amount to 0 for a single-amount type while ds is being edited.
    void Relabel(int row, db::DataSet* ds);
    // Clears the row's type (Escape in its list), editing the record when needed.
    void ClearType(int row, db::DataSet* ds);

private:
    Rows rows_;
    QStringList types_;
    QString firstPrice_;
};
