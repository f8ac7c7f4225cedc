#include "ScriptedPrompter.h"

#include "platform/shell/Progress.h"

namespace testing_support {

ScriptedPrompter::ScriptedPrompter() { previous = shell::setPrompter(this); }
ScriptedPrompter::~ScriptedPrompter() { shell::setPrompter(previous); }

namespace {
int firstButton(int set)
{
    for (int bit : {1, 4, 8, 16, 32, 2}) {
        if (set & bit) {
            switch (bit) {
            case 1: return shell::ResultOk;
            case 4: return shell::ResultYes;
            case 8: return shell::ResultNo;
            case 16: return shell::ResultRetry;
            case 32: return shell::ResultAll;
            default: return shell::ResultCancel;
            }
        }
    }
    return shell::ResultCancel;
}
} // namespace

int ScriptedPrompter::messageDlg(const shell::MessageRequest& r)
{
    calls.append({QStringLiteral("messageDlg"), r.caption, r.text, r.kind, r.buttons, r.fontSize});
    if (onMessage)
        onMessage();
    if (!results.empty()) {
        int v = results.front();
        results.pop_front();
        return v;
    }
    return firstButton(r.buttons);
}

std::optional<QString> ScriptedPrompter::inputBox(const shell::InputRequest& r)
{
    calls.append({QStringLiteral("inputBox"), r.caption, r.prompt, r.mode, 0, 0});
    if (!inputs.empty()) {
        auto v = inputs.front();
        inputs.pop_front();
        return v;
    }
    return std::nullopt;
}

int ScriptedPrompter::plainMessage(const shell::PlainMessageRequest& r)
{
    calls.append({QStringLiteral("plainMessage"), r.caption, r.text, r.error ? 0 : -1, int(r.buttons), 0});
    if (!results.empty()) {
        int v = results.front();
        results.pop_front();
        return v;
    }
    return r.buttons == shell::PlainMessageRequest::Ok || r.buttons == shell::PlainMessageRequest::OkCancel
        ? shell::ResultOk : shell::ResultYes;
}

namespace {
QString takeFile(std::deque<QString>& files)
{
    if (files.empty())
        return {};
    QString f = files.front();
    files.pop_front();
    return f;
}
} // namespace

void ScriptedPrompter::takeFileOptions(const shell::FileRequest& r)
{
    std::pair<int, bool> o{0, false};
    if (!fileOptions.empty()) {
        o = fileOptions.front();
        fileOptions.pop_front();
    }
    if (r.selectedFilter)
        *r.selectedFilter = o.first;
    if (r.readOnly)
        *r.readOnly = o.second;
}

QString ScriptedPrompter::takeFile(const shell::FileRequest& r)
{
    const QString f = testing_support::takeFile(files);
    return f == kOffered ? shell::StartPath(r) : f;
}

QString ScriptedPrompter::openFile(const shell::FileRequest& r)
{
    calls.append({QStringLiteral("openFile"), r.caption, r.fileName, -1, 0, 0, shell::StartFolder(r)});
    takeFileOptions(r);
    return takeFile(r);
}

QString ScriptedPrompter::saveFile(const shell::FileRequest& r)
{
    calls.append({QStringLiteral("saveFile"), r.caption, r.fileName, -1, 0, 0, shell::StartFolder(r)});
    takeFileOptions(r);
    return takeFile(r);
}

QString ScriptedPrompter::chooseDirectory(const shell::FileRequest& r)
{
    calls.append({QStringLiteral("chooseDirectory"), r.caption, r.directory, -1, 0, 0, shell::StartFolder(r)});
    return takeFile(r);
}

std::optional<QFont> ScriptedPrompter::chooseFont(const QFont& initial)
{
    calls.append({QStringLiteral("chooseFont"), {}, initial.family()});
    if (fonts.empty())
        return std::nullopt;
    QFont f = fonts.front();
    fonts.pop_front();
    return f;
}

std::optional<QColor> ScriptedPrompter::chooseColor(const QColor& initial)
{
    calls.append({QStringLiteral("chooseColor"), {}, initial.name()});
    return std::nullopt;
}

bool ScriptedPrompter::printSetup(QPrinter&)
{
    calls.append({QStringLiteral("printSetup")});
    return false;
}

bool ScriptedPrompter::preview(report::PreparedReport& report, const QString& caption)
{
    calls.append({QStringLiteral("preview"), caption});
    ++previewCount;
    if (onPreview)
        onPreview(report);
    if (!printedAnswers.empty()) {
        bool v = printedAnswers.front();
        printedAnswers.pop_front();
        return v;
    }
    return false;
}

bool ScriptedPrompter::shellOpen(const QString& pathOrUrl)
{
    calls.append({QStringLiteral("shellOpen"), {}, pathOrUrl});
    opened.append(pathOrUrl);
    return true;
}

QStringList ScriptedPrompter::messages() const
{
    QStringList out;
    for (const auto& c : calls)
        if (c.what == QLatin1String("messageDlg") || c.what == QLatin1String("plainMessage"))
            out << c.text;
    return out;
}

namespace {
class ScriptedProgress : public shell::ProgressSink {
public:
    explicit ScriptedProgress(ScriptedPrompter& p) : p_(p) {}
    bool update(qint64, qint64, bool cancellable, qint64) override
    {
        ++p_.progressUpdates;
        if (p_.onProgress)
            p_.onProgress();
        return !(cancellable && p_.cancelWork);
    }

private:
    ScriptedPrompter& p_;
};
} // namespace

std::unique_ptr<shell::ProgressSink> ScriptedPrompter::beginProgress(const shell::ProgressRequest& r)
{
    progressTitles.append(r.title);
    return std::make_unique<ScriptedProgress>(*this);
}

} // namespace testing_support
