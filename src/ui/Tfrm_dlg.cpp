#include "ui/Tfrm_dlg.h"
#include "ui_Tfrm_dlg.h"

#include "platform/shell/Prompter.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTextBlockFormat>
#include <QTextCursor>

namespace {

const int ButtonWidth = 75;
const int ButtonHeight = 25;
const int ButtonTop = 125;

struct ButtonDef {
    int bit;
    const char16_t* caption;
    int result;
    const char* name;
};

// Layout order, whatever the bit order.
const ButtonDef ButtonDefs[] = {
    {1, u"&تاييد", shell::ResultOk, "btnOk"},
    {4, u"&بله", shell::ResultYes, "btnYes"},
    {8, u"&خير", shell::ResultNo, "btnNo"},
    {16, u"&سعي مجدد", shell::ResultRetry, "btnRetry"},
    {32, u"&همه", shell::ResultAll, "btnAll"},
    {2, u"&انصراف", shell::ResultCancel, "btnCancel"},
};

// Full-client picture of a kind: a soft background with the kind's sign where the text box is not.
QPixmap kindPicture(QStyle::StandardPixmap icon, const QColor& tint, const QSize& size, QStyle* style)
{
    QPixmap pm(size);
    QPainter p(&pm);
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, tint.lighter(190));
    g.setColorAt(1, tint.lighter(150));
    p.fillRect(pm.rect(), g);
    const QPixmap sign = style->standardIcon(icon).pixmap(64, 64);
    p.drawPixmap((112 - 64) / 2, (ButtonTop - 64) / 2, sign);
    return pm;
}

} // namespace

Tfrm_dlg::Tfrm_dlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
                          | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::Tfrm_dlg>())
{
    ui->setupUi(this);
    setFixedSize(411, 156);
    ui->error->hide();
    ui->info->hide();
    ui->question->hide();
    ui->memmess->setAutoFillBackground(true);
}

Tfrm_dlg::~Tfrm_dlg() = default;

void Tfrm_dlg::setup(const shell::MessageRequest& request)
{
    QFont f(request.fontName);
    f.setPointSize(qMax(10, request.fontSize));
    f.setBold(request.bold);
    f.setItalic(request.italic);
    f.setUnderline(request.underline);
    ui->memmess->setFont(f);
    ui->memmess->setPlainText(request.text);
    QTextCursor c(ui->memmess->document());
    c.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    c.mergeBlockFormat(centred);
    setWindowTitle(request.caption);

    QLabel* picture = nullptr;
    switch (request.kind) {
    case 0:
        picture = ui->error;
        picture->setPixmap(kindPicture(QStyle::SP_MessageBoxCritical, QColor(200, 80, 80), size(), style()));
        break;
    case 1:
        picture = ui->info;
        picture->setPixmap(kindPicture(QStyle::SP_MessageBoxInformation, QColor(90, 130, 200), size(), style()));
        break;
    case 2:
        picture = ui->question;
        picture->setPixmap(kindPicture(QStyle::SP_MessageBoxQuestion, QColor(90, 160, 120), size(), style()));
        break;
    default:
        break;
    }
    for (QLabel* l : {ui->error, ui->info, ui->question})
        l->setVisible(l == picture);

    qDeleteAll(buttonList);
    buttonList.clear();
    hasCancel = false;
    int x = 8;
    for (const ButtonDef& d : ButtonDefs) {
        if (!(request.buttons & d.bit))
            continue;
        auto* b = new QPushButton(QString::fromUtf16(d.caption), this);
        b->setObjectName(QLatin1String(d.name));
        b->setCursor(Qt::PointingHandCursor);
        const int width = d.bit == 16 ? ButtonWidth + 5 : ButtonWidth;
        b->setGeometry(x, ButtonTop, width, ButtonHeight);
        if (d.bit == 1)
            x = width + 15;
        else
            x += width + 7;
        b->setAutoDefault(true);
        b->setDefault(d.bit == 1 || d.bit == 4);
        const int result = d.result;
        connect(b, &QPushButton::clicked, this, [this, result] { done(result); });
        b->show();
        buttonList.append(b);
        if (d.bit == 2)
            hasCancel = true;
    }
    if (!buttonList.isEmpty())
        buttonList.first()->setFocus();
}

int Tfrm_dlg::execute() { return exec(); }

void Tfrm_dlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (hasCancel)
            done(shell::ResultCancel);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Tfrm_dlg::showEvent(QShowEvent* event)
{
    if (QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

void Tfrm_dlg::reject() { done(shell::ResultCancel); }
