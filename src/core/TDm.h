#pragma once
// The data module: the two connections and every shared dataset with its fields.

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace db {
class Connection;
class DataSet;
class Field;
}

class TDm : public QObject {
    Q_OBJECT
public:
    explicit TDm(QObject* parent = nullptr);
    ~TDm() override;

    // Connects to the users database and to the agency database (the file in the
    // program folder, or the server database of srvpath.txt, made when missing),
    // runs CheckDbVersion and opens the shared datasets. False when a connection
    // failed: its message has been shown and the start-up must end.
    bool DataModuleCreate(bool isAccess);
    // The part of the creation after the connections exist (also used by tests).
    bool Connect(std::unique_ptr<db::Connection> conn, std::unique_ptr<db::Connection> userConn);

    // Called once Conn is open, before the datasets open (the main window's version check).
    std::function<void()> CheckDbVersion;

    // Opens QMelk, QNiyaz, QSanad, QMantagheh, QGhovL, QMn, Qmn2, QHazineh, QCheck,
    // QProvince, tblCity in this order, each reading its rows when first needed; the first
    // failure is thrown and the rest stay closed.
    void OpenDataSets();

    // Puts N before every string literal, unless the text holds N' already.
    static QString AddUnicodePrefix(const QString& sql);
    void QMelkBeforeOpen(db::DataSet& ds);

    // Counters of t_snums through QNums; a failed claim is shown and thrown.
    QString NextNumber(const QString& column);
    QString IncrementCounter(const QString& column);
    // Sets a counter to a typed document number when it is a number.
    bool WriteBackCounter(const QString& column, const QString& typed);
    // Posts a dataset in one transaction on Conn, so that a number its post claims is
    // kept only together with the row.
    void PostInTransaction(db::DataSet& ds);

    // ---- record defaults and checks ----
    // Gives every stored field that is null a value: "" for text, 0 for numbers, false for
    // booleans; memo, binary and counter fields stay null.
    static void FillNullFields(db::DataSet& ds);
    // Typed amounts: the text without thousands separators; "", "-" and "+" store 0.
    static void QMelkGhymatHarMeterSetText(db::Field& field, const QString& text);
    // Dates: a date that fails the check is refused (the check has shown why); so is an
    // emptied typed date, while the program's own assignments may leave one empty.
    static void QMelkTarikhEraehValidate(db::Field& field);
    // Before edit and delete: refused unless the user has the right to change stored rows.
    static void QMelkBeforeDelete(db::DataSet& ds);

    void QMelkAfterInsert(db::DataSet& ds);
    void QMelkBeforePost(db::DataSet& ds);
    void QMelkAfterPost(db::DataSet& ds);
    void QMelkAfterCancel(db::DataSet& ds);
    void QNiyazAfterInsert(db::DataSet& ds);
    void QNiyazBeforePost(db::DataSet& ds);
    void QNiyazAfterPost(db::DataSet& ds);
    void QNiyazAfterCancel(db::DataSet& ds);
    void QSanadAfterInsert(db::DataSet& ds);
    void QSanadBeforePost(db::DataSet& ds);
    void QSanadAfterPost(db::DataSet& ds);
    void QSanadAfterCancel(db::DataSet& ds);
    void QMantaghehBeforePost(db::DataSet& ds);
    void QHazinehAfterInsert(db::DataSet& ds);
    void QHazinehBeforePost(db::DataSet& ds);
    void QHazinehAfterPost(db::DataSet& ds);
    void QHazinehAfterCancel(db::DataSet& ds);
    void QCheckAfterInsert(db::DataSet& ds);
    void QCheckBeforePost(db::DataSet& ds);
    void QCheckAfterPost(db::DataSet& ds);
    void QCheckAfterCancel(db::DataSet& ds);
    void QTelsBeforePost(db::DataSet& ds);
    void QTelsAfterPost(db::DataSet& ds);
    void QTelsAfterCancel(db::DataSet& ds);
    void QGhovLBeforePost(db::DataSet& ds);
    void QDocsBeforeDelete(db::DataSet& ds);
    void UQAfterInsert(db::DataSet& ds);
    void UQBeforePost(db::DataSet& ds);

    // The deal form and the expense form set these when the user typed a number of his own
    // instead of the one proposed; the insert handlers clear them.
    bool SanadNumberTyped = false;
    bool HazinehNumberTyped = false;
    // The expense number proposed at insert: a different number at post counts as typed,
    // whether or not the number box was left before the post.
    QString HazinehProposedNumber;
    QString SanadProposedNumber;
    // The picture a new user gets: the one the preferences window shows (a BMP).
    QByteArray NewUserPicture;
    // The number the program itself claimed for the row being inserted, and whether that
    // claim stood on its own (committed) or joined the save's transaction (undone with it).
    // A save tried again after a failure never takes the program's claim for a typed number.
    struct NumberClaim {
        QString number;
        bool kept = false;
    };
    NumberClaim SanadClaim, HazinehClaim;

    // The number a new deal or expense is stored with: the user's typed number (moving the
    // counter forward), the program's earlier claim when it still holds, or a new claim.
    void SettleNumber(db::DataSet& ds, const QString& column, const QString& proposed, bool markedTyped,
                      NumberClaim& claim);

    // ---- calculated fields ----
    void QMelkCalcFields(db::DataSet& ds);
    void QNiyazCalcFields(db::DataSet& ds);
    void QSanadCalcFields(db::DataSet& ds);
    void QHazinehCalcFields(db::DataSet& ds);
    void QCheckCalcFields(db::DataSet& ds);
    void QTelsCalcFields(db::DataSet& ds);
    void QTTMSCalcFields(db::DataSet& ds);

    // The datasets of both connections, in declaration order.
    const std::vector<db::DataSet*>& DataSets() const { return all_; }

signals:
    // A property, demand or deal row is being inserted (its form hides DBNavigator2) ...
    void insertStarted(db::DataSet* ds);
    // ... and was posted or cancelled (the form shows it again).
    void insertEnded(db::DataSet* ds);
    // An expense, cheque or phone-book entry was posted or cancelled (its entry window closes).
    void entryEnded(db::DataSet* ds);
    // A deal was posted (the deal list refreshes itself when visible).
    void dealPosted();

public:
    std::unique_ptr<db::Connection> Conn;
    std::unique_ptr<db::Connection> UserConn;

    db::DataSet* QMelk;
    db::DataSet* QMn;
    db::DataSet* QNiyaz;
    db::DataSet* Qmn2;
    db::DataSet* QSanad;
    db::DataSet* QSumHagh;
    db::DataSet* QSumHagh2;
    db::DataSet* QTTMS;
    db::DataSet* QFree;
    db::DataSet* QGhovL;
    db::DataSet* QMantagheh;
    db::DataSet* QNums;
    db::DataSet* QHazineh;
    db::DataSet* QSH;
    db::DataSet* QSD;
    db::DataSet* QCheck;
    db::DataSet* Qsumcd;
    db::DataSet* QsumcP;
    db::DataSet* QTels;
    db::DataSet* QDocs;
    db::DataSet* QProvince;
    db::DataSet* tblCity;
    db::DataSet* UQ;
    db::DataSet* UQFree;

private:
    db::DataSet* make(const char* name, bool users, const QString& sql, bool unicode);
    void declareFields();
    // Attaches the record and calculation handlers to the datasets.
    void installHandlers();
    void fail(const QString& text) const;

    std::vector<db::DataSet*> all_;
    std::vector<db::DataSet*> users_;
};

// The one data module of the program.
extern TDm* Dm;
