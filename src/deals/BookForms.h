#pragma once
// What the expense and cheque windows share. The entry forms: the stored combo lists, the
// amount grouped as typed, Enter as Tab, the save question on close, and closing once the
// data module has posted or cancelled the entry. The lists: the criteria panel, the grid
// with its find bar and column chooser, refresh, delete and change, the sums kept up to
// date after a delete and after the entry form saves, the grid layout file.

#include "forms/TListFrame.h"
#include "platform/widgets/DBGrid.h"

#include <QList>
#include <QVector>
#include <QWidget>
#include <functional>
#include <utility>

class QAbstractButton;
class QCheckBox;
class QLabel;
namespace db { class DataSet; }
namespace widgets {
class DBComboBox;
class DBEdit;
class DBNavigator;
class MaskEdit;
}

class TBookEntry : public QWidget {
    Q_OBJECT
public:
    ~TBookEntry() override;

    // A removal button of a stored list.
    void DeleteComboItemClick(widgets::DBComboBox* combo);

protected:
    struct Design {
        db::DataSet* dataSet = nullptr;
        QList<widgets::DBComboBox*> storedLists;
        QList<std::pair<QAbstractButton*, widgets::DBComboBox*>> deleteButtons;
        widgets::DBEdit* amount = nullptr;
        widgets::DBNavigator* navigator = nullptr;
        QWidget* firstFocus = nullptr;
    };

    explicit TBookEntry(QWidget* parent, Qt::WindowFlags flags);
    void setupEntry(const Design& design);

    void closeEvent(QCloseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    Design design_;
};

class TBookList : public QWidget {
    Q_OBJECT
public:
    ~TBookList() override;

    TListFrame* frame() const { return frame_; }

    // The statements of the criteria, opened; the sums shown.
    void btnokClick();
    void btnrefreshClick();
    void btndelClick();
    void btnchangeClick();

protected:
    struct Parts {
        TListFrame::Parts find;
        QWidget* Panel1 = nullptr;
        QAbstractButton* BitBtn2 = nullptr;      // shows the criteria
        QAbstractButton* SpeedButton2 = nullptr; // hides them
        QCheckBox* chktarikh = nullptr;
        widgets::MaskEdit* edtt1 = nullptr;
        widgets::MaskEdit* edtt2 = nullptr;
        QLabel* Label2 = nullptr;
        QAbstractButton* btnok = nullptr;
        QAbstractButton* btnrefresh = nullptr;
        QAbstractButton* BitBtn1 = nullptr;      // sums of the selected rows
        QAbstractButton* btnprint = nullptr;
        QAbstractButton* btndel = nullptr;
        QAbstractButton* btnchange = nullptr;

        template <class Form>
        static Parts Of(const Form* ui)
        {
            Parts p;
            p.find = TListFrame::PartsOf(ui);
            p.Panel1 = ui->Panel1;
            p.BitBtn2 = ui->BitBtn2;
            p.SpeedButton2 = ui->SpeedButton2;
            p.chktarikh = ui->chktarikh;
            p.edtt1 = ui->edtt1;
            p.edtt2 = ui->edtt2;
            p.Label2 = ui->Label2;
            p.btnok = ui->btnok;
            p.btnrefresh = ui->btnrefresh;
            p.BitBtn1 = ui->BitBtn1;
            p.btnprint = ui->btnprint;
            p.btndel = ui->btndel;
            p.btnchange = ui->btnchange;
            return p;
        }
    };
    struct Design {
        db::DataSet* dataSet = nullptr;
        QList<db::DataSet*> sums;
        QVector<widgets::GridColumn> columns;
        QString layoutKey;
        int searchItem = 0;  // chosen CmbSearch item
        int amountItem = -1; // CmbSearch item of the amount column
        QWidget* entry = nullptr;
        // the list statement and the sums' statements of the criteria
        std::function<void()> setStatements;
        // the sums into their edits, once opened
        std::function<void()> showSums;
        // the criteria as each showing sets them
        std::function<void()> resetCriteria;
    };

    explicit TBookList(QWidget* parent, Qt::WindowFlags flags);
    void setupList(const Parts& parts, const Design& design);
    const Parts& parts() const { return parts_; }
    // Reopens the sums with the statements they hold and shows them.
    void refreshSums();
    // The amount of each selected row into the first or the second sum, by its kind.
    std::pair<double, double> SumSelected(const QString& kindField, const QString& firstKind) const;

    void closeEvent(QCloseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void FormShow();
    Parts parts_;
    Design design_;
    TListFrame* frame_ = nullptr;
    bool built_ = false;
};
