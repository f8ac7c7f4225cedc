#include "ui/Tfrminputbox.h"
#include "ui_Tfrminputbox.h"

#include "platform/shell/Prompter.h"
#include "platform/widgets/FormShow.h"
#include "ui/Dialogs.h"
#include "ui/EditHelpers.h"
#include "ui/TTools.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QValidator>

namespace {

const QLatin1String EmptyDate("____/__/__");

// Lower-cases everything typed or pasted.
class LowerCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        input = input.toLower();
        return Acceptable;
    }
};

bool isEnter(const QKeyEvent* e) { return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter; }

bool shiftAlone(const QKeyEvent* e) { return (e->modifiers() & ~Qt::KeypadModifier) == Qt::ShiftModifier; }

} // namespace

Tfrminputbox::Tfrminputbox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
                          | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::Tfrminputbox>())
{
    ui->setupUi(this);
    setFixedSize(427, 90);
    ui->edttext->installEventFilter(this);
    ui->BitBtn1->installEventFilter(this);
    ui->BitBtn2->installEventFilter(this);
    connect(ui->edttext, &QLineEdit::textChanged, this, &Tfrminputbox::textChanged);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &Tfrminputbox::okClicked);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &Tfrminputbox::reject);
    widgets::OnFormShow(this, [this] { FormShow(); });
}

Tfrminputbox::~Tfrminputbox() = default;

void Tfrminputbox::setup(const shell::InputRequest& request)
{
    mode = request.mode;
    maxLength = request.maxLength;
    decimalFlag = request.decimalFlag;
    setWindowTitle(request.caption);
    ui->Lbltext->setText(request.prompt);

    QLineEdit* e = ui->edttext;
    e->setEchoMode(QLineEdit::Normal);
    e->setReadOnly(false);
    switch (mode) {
    case 0:
        e->setLayoutDirection(Qt::RightToLeft);
        e->setMaxLength(qMax(0, maxLength));
        e->setValidator(new LowerCaseValidator(e));
        e->setText(request.initialText.toLower());
        break;
    case 3:
        e->setLayoutDirection(Qt::LeftToRight);
        e->setReadOnly(true);
        e->setText(EmptyDate);
        break;
    case 4:
        e->setLayoutDirection(Qt::LeftToRight);
        e->setEchoMode(QLineEdit::Password);
        e->setValidator(new LowerCaseValidator(e));
        e->setText(request.initialText.toLower());
        break;
    default:
        e->setLayoutDirection(Qt::LeftToRight);
        SetMoneyEditLimit(e, maxLength, decimalFlag);
        e->setText(request.initialText);
        break;
    }
}

QString Tfrminputbox::resultText() const
{
    const QString t = ui->edttext->text();
    if ((mode == 1 || mode == 2) && TTools::StrToFloatSafe(t) == 0)
        return QStringLiteral("0");
    return t;
}

bool Tfrminputbox::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto* k = static_cast<QKeyEvent*>(event);
    if (watched == ui->edttext) {
        if (isEnter(k)) {
            (shiftAlone(k) ? ui->BitBtn2 : ui->BitBtn1)->setFocus();
            return true;
        }
        switch (mode) {
        case 3:
            return DateEditKeyDown(ui->edttext, k);
        case 0:
        case 4:
            return BlockApostropheKey(ui->edttext, k);
        default:
            return MoneyEditKeyDown(ui->edttext, k, maxLength, decimalFlag);
        }
    }
    if (isEnter(k) && shiftAlone(k)) {
        if (watched == ui->BitBtn2) {
            ui->BitBtn1->setFocus();
            return true;
        }
        if (watched == ui->BitBtn1) {
            ui->edttext->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tfrminputbox::FormShow()
{
    if (QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
    ui->edttext->setFocus();
    ui->edttext->selectAll();
}

void Tfrminputbox::reject() { done(shell::ResultCancel); }

void Tfrminputbox::textChanged()
{
    QLineEdit* e = ui->edttext;
    if (mode == 1)
        MoneyEditChange(e);
    const QString t = e->text();
    int blanks = 0;
    while (blanks < t.size() && t.at(blanks) == QLatin1Char(' '))
        ++blanks;
    if (blanks > 0) {
        const int caret = e->cursorPosition();
        e->setText(t.mid(blanks));
        e->setCursorPosition(qMax(0, caret - blanks));
    }
}

void Tfrminputbox::okClicked()
{
    QLineEdit* e = ui->edttext;
    const QString trimmed = e->text().trimmed();
    if (trimmed != e->text())
        e->setText(trimmed);
    if (trimmed.isEmpty()) {
        ShowMessageDlg(dkError, QStringLiteral("اطلاعات وارد نشده"), QStringLiteral(" هيچ اطلاعاتي وارد نشده"), dbOk, 10,
                       QStringLiteral("tahoma"), 0);
        e->setFocus();
        return;
    }
    if (mode == 3 && !TTools().ValidateShamsiDate(trimmed, 0)) {
        e->setFocus();
        return;
    }
    done(shell::ResultOk);
}
