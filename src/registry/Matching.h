#pragma once
// Matching of a property against the demands and of a demand against the properties:
// the statement built from the current record and the ticked criteria of a match panel,
// and the run that loads it into the other list's dataset.

#include <QString>
#include <functional>

class QWidget;

namespace db { class DataSet; }

enum class TMatchDirection { PropertyToDemands, DemandToProperties };

// Ticks and flexibility texts of a match panel (Panel4 of either list).
struct TMatchPanelState {
    bool chkRequest = false;
    bool ChkType = false;
    bool chkQuarter = false;
    bool chkRoom = false;
    bool chkLivingArea = false;
    bool chkArea = false;
    bool chkFloor = false;
    bool chkTel = false;
    bool chkTempDel = false;
    bool chkSellMatch = false;
    bool ChkMortgage = false;
    bool chkRent = false;
    QString edtRoomFlexability = QStringLiteral("0");
    QString edtLivingArea = QStringLiteral("0");
    QString EdtArea = QStringLiteral("0");
    QString edtFloor = QStringLiteral("0");
    QString edtTel = QStringLiteral("0");
    QString edtSellMatch = QStringLiteral("0");
    QString edtMortgage = QStringLiteral("0");
    QString edtRent = QStringLiteral("0");
};

// Reads the panel's check boxes and edits by their object names (missing ones stay at their defaults).
TMatchPanelState ReadMatchPanel(const QWidget* panel);

// Flexibilities parsed from the panel's texts.
struct TMatchFlexibility {
    qint64 room = 0;
    double livingArea = 0;
    double area = 0;
    qint64 floor = 0;
    qint64 tel = 0;
    double sell = 0;
    double mortgage = 0;
    double rent = 0;
};

// Parses the flexibility of every ticked criterion (and of mortgage and rent where the price
// groups read them). False with a Persian message when a text is not a number that fits.
bool ParseMatchFlexibility(const TMatchPanelState& panel, TMatchFlexibility* out, QString* error);

// The values of the source record that the statement compares.
struct TMatchRecord {
    bool sell = false;      // ForSell / kharid
    bool rahn = false;
    bool ejareh = false;
    QString novMelk;
    QString region;         // the region's name (lkmn)
    qint64 rooms = 0;
    double livingArea = 0;
    double area = 0;
    qint64 floor = 0;
    qint64 tel = 0;
    QString type[3];
    double amount[3] = {0, 0, 0};
    double amount2[3] = {0, 0, 0};
};

// The current record of the property dataset (QMelk) or of the demand dataset (QNiyaz);
// a record being edited gives its unsaved values.
TMatchRecord MatchRecordOf(TMatchDirection direction, const db::DataSet& source);

// The statement over the other table; flags are tested as any non-zero true, NULL false.
QString BuildMatchStatement(TMatchDirection direction, const TMatchRecord& record, const TMatchPanelState& panel,
                            const TMatchFlexibility& flex);

// The other list as the run sees it.
struct TMatchTarget {
    db::DataSet* dataSet = nullptr;
    std::function<void()> closeList;        // closes the list when it is visible
    std::function<void(int)> setMatchMode;
    std::function<void()> showList;
};

// The whole run: empty source, flexibility check, the save question for an unsaved edit of the
// target dataset, closing the target list, MatchMode 1, the panel state saved by savePanel,
// the statement loaded into the target and the list shown. caption is the asking list's caption.
// False when the run stopped (a message has been shown, nothing was closed or lost).
bool RunMatch(TMatchDirection direction, db::DataSet& source, const TMatchPanelState& panel,
              const std::function<void()>& savePanel, const QString& caption, const TMatchTarget& target);

// The panel's state file and its sections.
QString MatchStateFile();
QString MatchStateSection(TMatchDirection direction);
