#include "ui/Tfrm_dlg.h"
#include "ui_Tfrm_dlg.h"

#include "platform/shell/Prompter.h"
#include "platform/widgets/FormShow.h"
#include "ui/WindowLook.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QtMath>

namespace {

const int ButtonWidth = 75;
const int ButtonHeight = 25;
const int ButtonTop = 125;
const QSize DesignSize(411, 156);
const QRect DesignMemo(117, 11, 289, 105);

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
    widgets::OnFormShow(this, [this] { FormShow(); });
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
    fitText();
    if (request.caption.isEmpty())
        SetNoCaption(this);
    else
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
        b->setGeometry(x, ButtonTop + height() - DesignSize.height(), width, ButtonHeight);
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

// Grows the dialog, wider first and then taller, until the whole message shows without
// scrolling, up to a part of the screen: each line of the message stays on one line when the
// room allows, and a scroll bar shows only when the text is still taller than the room.
// The pictures, frames and buttons follow.
void Tfrm_dlg::fitText()
{
    QTextEdit* memo = ui->memmess;
    QTextDocument* doc = memo->document();
    QSize most(900, 600);
    if (QScreen* s = QGuiApplication::primaryScreen())
        most = most.boundedTo(s->availableGeometry().size() * 0.7);
    const int maxWidth = DesignMemo.width() + qMax(0, most.width() - DesignSize.width());
    const int maxHeight = DesignMemo.height() + qMax(0, most.height() - DesignSize.height());
    const int frame = 2 * memo->frameWidth();
    const auto heightAt = [doc, frame](int textWidth) {
        doc->setTextWidth(textWidth);
        return qCeil(doc->size().height()) + frame + 2;
    };
    doc->setTextWidth(-1); // the longest line unbroken
    const int width = qBound(DesignMemo.width(), qCeil(doc->idealWidth()) + frame + 8, maxWidth);
    // taller than the room, the text scrolls beside the bar
    const int height = qBound(DesignMemo.height(), heightAt(width - frame), maxHeight);
    doc->setTextWidth(-1);
    const int dw = width - DesignMemo.width();
    const int dh = height - DesignMemo.height();
    setFixedSize(DesignSize + QSize(dw, dh));
    memo->setGeometry(DesignMemo.adjusted(0, 0, dw, dh));
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ui->Panel1->setGeometry(QRect(111, 5, 301, 117).adjusted(0, 0, dw, dh));
    ui->Panel2->setGeometry(QRect(114, 8, 295, 111).adjusted(0, 0, dw, dh));
    for (QLabel* l : {ui->error, ui->info, ui->question})
        l->setGeometry(rect());
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

void Tfrm_dlg::FormShow()
{
    if (QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
}

void Tfrm_dlg::reject() { done(shell::ResultCancel); }
