#pragma once
// The check for a newer version on the maker's web server: one GET of lastver.php, whose
// reply is the version number; a newer one is offered for download. Runs asynchronously with
// a time limit; every failure (no network, server error, no number, time out) is silent.

#include <QObject>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

class TLastVer : public QObject {
    Q_OBJECT
public:
    // server: the web server's address (a folder; "/" is added when missing).
    explicit TLastVer(const QUrl& server, int timeoutMs = 20000, QObject* parent = nullptr);
    ~TLastVer() override;

    // Sends the request and returns at once; finished() follows in every case.
    void Start();

    // The address asked: server + "lastver.php?softn=dovin".
    QUrl RequestUrl() const;
    // The page opened on Yes: server + "upDareVidid.html".
    QUrl DownloadUrl() const;
    // A reply as version × 10000, rounded; 0 when it is no number.
    static qint64 VersionKeyOf(const QByteArray& reply);

signals:
    void finished();

private:
    void CheckLastVersion(QNetworkReply* reply);
    void finish();

    QUrl server_;
    int timeoutMs_;
    QNetworkAccessManager* http_;
    QTimer* timer_;
    QNetworkReply* reply_ = nullptr;
    bool done_ = false;
};

// The update check of the main window's timer: the server of the program's ini file; nothing
// when none is set. The check frees itself.
void StartUpdateCheck(QObject* owner);
