#include "app/TLastVer.h"

#include "core/AppGlobals.h"
#include "core/ProgramIni.h"
#include "core/TDBUpdate.h"
#include "platform/shell/Prompter.h"
#include "ui/Dialogs.h"
#include "ui/TTools.h"

#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <cmath>

namespace {

QUrl folderOf(QUrl url)
{
    if (!url.path().endsWith(QLatin1Char('/')))
        url.setPath(url.path() + QLatin1Char('/'));
    return url;
}

} // namespace

TLastVer::TLastVer(const QUrl& server, int timeoutMs, QObject* parent)
    : QObject(parent), server_(folderOf(server)), timeoutMs_(timeoutMs), http_(new QNetworkAccessManager(this)),
      timer_(new QTimer(this))
{
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, [this] {
        if (reply_)
            reply_->abort();   // answered by finished() with an error: silent
        finish();
    });
}

TLastVer::~TLastVer() = default;

QUrl TLastVer::RequestUrl() const
{
    QUrl url = server_.resolved(QUrl(QStringLiteral("lastver.php")));
    url.setQuery(QStringLiteral("softn=dovin"));
    return url;
}

QUrl TLastVer::DownloadUrl() const { return server_.resolved(QUrl(QStringLiteral("upDareVidid.html"))); }

qint64 TLastVer::VersionKeyOf(const QByteArray& reply)
{
    bool ok = false;
    const double v = TTools::StrToFloatSafe(QString::fromUtf8(reply).trimmed(), &ok);
    if (!ok || !std::isfinite(v) || std::fabs(v) > 1e12)
        return 0;
    return std::llround(v * 10000);
}

void TLastVer::Start()
{
    QNetworkRequest request(RequestUrl());
    request.setTransferTimeout(timeoutMs_);
    reply_ = http_->get(request);
    connect(reply_, &QNetworkReply::finished, this, [this] { CheckLastVersion(reply_); });
    timer_->start(timeoutMs_);
}

void TLastVer::CheckLastVersion(QNetworkReply* reply)
{
    if (done_)
        return;
    timer_->stop();
    QByteArray body;
    if (reply->error() == QNetworkReply::NoError)
        body = reply->read(64);
    reply->deleteLater();
    reply_ = nullptr;
    const qint64 key = VersionKeyOf(body);
    if (key > SchemaVersionKey) {
        const QString text = QStringLiteral("نسخه جديدتر نرم افزار برروي اينترنت قرار دارد") + QStringLiteral("\r\n")
            + QStringLiteral("آيا مايل به دريافت اين نسخه مي باشيد؟") + QStringLiteral("\r\n") + QStringLiteral("نسخه: ")
            + QString::number(double(key) / 10000, 'g', QLocale::FloatingPointShortest);
        if (ShowMessageDlg(dkQuestion, QString(), text, dbYes | dbNo, 8) == shell::ResultYes)
            shell::prompter().shellOpen(DownloadUrl().toString());
    }
    finish();
}

void TLastVer::finish()
{
    if (done_)
        return;
    done_ = true;
    emit finished();
}

void StartUpdateCheck(QObject* owner)
{
    const QString server = ReadUpdateServer();
    if (server.isEmpty())
        return;
    const QUrl url(server);
    if (!url.isValid() || url.scheme().isEmpty())
        return;
    auto* check = new TLastVer(url, 20000, owner);
    QObject::connect(check, &TLastVer::finished, check, &QObject::deleteLater);
    check->Start();
}
