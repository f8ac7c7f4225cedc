#include "platform/widgets/DBNavigator.h"

#include "platform/db/DataSet.h"
#include "platform/db/Errors.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/FieldLink.h"
#include "platform/widgets/ShownRefresh.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

namespace widgets {

namespace {

// Glyphs drawn for the button kinds; arrows point the reading direction's way.
QIcon glyph(NavButton b, bool rtl)
{
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(40, 60, 120);
    p.setPen(QPen(ink, 2));
    p.setBrush(ink);
    // a triangle with its tip at tipX
    auto triangle = [&](double tipX, double baseX) {
        QPainterPath path;
        path.moveTo(tipX, 10);
        path.lineTo(baseX, 4);
        path.lineTo(baseX, 16);
        path.closeSubpath();
        p.drawPath(path);
    };
    // "earlier" is to the left, or to the right in a right-to-left layout
    auto mirror = [&](double x) { return rtl ? 20 - x : x; };
    switch (b) {
    case NavButton::First:
        p.drawLine(QPointF(mirror(4), 4), QPointF(mirror(4), 16));
        triangle(mirror(5), mirror(14));
        break;
    case NavButton::Prior: triangle(mirror(5), mirror(14)); break;
    case NavButton::Next: triangle(mirror(15), mirror(6)); break;
    case NavButton::Last:
        triangle(mirror(15), mirror(6));
        p.drawLine(QPointF(mirror(16), 4), QPointF(mirror(16), 16));
        break;
    case NavButton::Insert:
        p.drawLine(QPointF(10, 4), QPointF(10, 16));
        p.drawLine(QPointF(4, 10), QPointF(16, 10));
        break;
    case NavButton::Delete: p.drawLine(QPointF(4, 10), QPointF(16, 10)); break;
    case NavButton::Edit:
        p.setPen(QPen(ink, 3));
        p.drawLine(QPointF(6, 14), QPointF(15, 5));
        p.setPen(QPen(ink, 1));
        p.drawLine(QPointF(4, 16), QPointF(6, 14));
        break;
    case NavButton::Post:
        p.setPen(QPen(QColor(0, 130, 0), 2.5));
        p.drawLine(QPointF(4, 10), QPointF(8, 15));
        p.drawLine(QPointF(8, 15), QPointF(16, 5));
        break;
    case NavButton::Cancel:
        p.setPen(QPen(QColor(190, 0, 0), 2.5));
        p.drawLine(QPointF(5, 5), QPointF(15, 15));
        p.drawLine(QPointF(15, 5), QPointF(5, 15));
        break;
    case NavButton::Refresh:
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(4, 4, 12, 12), 60 * 16, 280 * 16);
        p.setBrush(ink);
        triangle(16, 12);
        break;
    }
    return QIcon(pm);
}

bool editing(const db::DataSet* ds)
{
    return ds->State() == db::DataSetState::Edit || ds->State() == db::DataSetState::Insert;
}

} // namespace

DBNavigator::DBNavigator(QWidget* parent)
    : QWidget(parent), shown_(new ShownRefresh(this, [this] { showButtons(); }))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    for (int i = 0; i < NavButtonCount; ++i) {
        auto* b = new QToolButton(this);
        b->setAutoRaise(false);
        b->setFocusPolicy(Qt::NoFocus);
        b->setToolButtonStyle(Qt::ToolButtonIconOnly);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        connect(b, &QToolButton::clicked, this, [this, i] { BtnClick(NavButton(i)); });
        layout->addWidget(b);
        buttons_[size_t(i)] = b;
    }
    updateIcons();
    updateButtons();
}

void DBNavigator::setDataSet(db::DataSet* ds)
{
    if (ds_)
        disconnect(ds_, nullptr, this, nullptr);
    ds_ = ds;
    if (ds_) {
        for (auto sig : {&db::DataSet::stateChanged, &db::DataSet::layoutChanged, &db::DataSet::currentChanged})
            connect(ds_, sig, this, &DBNavigator::updateButtons);
        connect(ds_, &db::DataSet::rowRemoved, this, &DBNavigator::updateButtons);
        connect(ds_, &db::DataSet::rowInserted, this, &DBNavigator::updateButtons);
    }
    updateButtons();
}

void DBNavigator::setVisibleButtons(std::initializer_list<NavButton> visible)
{
    for (QToolButton* b : buttons_)
        b->setVisible(false);
    for (NavButton b : visible)
        button(b)->setVisible(true);
}

bool DBNavigator::isButtonVisible(NavButton b) const { return !button(b)->isHidden(); }

void DBNavigator::setCaption(NavButton b, const QString& caption)
{
    button(b)->setText(caption);
    button(b)->setToolButtonStyle(caption.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextUnderIcon);
}

void DBNavigator::setHint(NavButton b, const QString& hint) { button(b)->setToolTip(hint); }

void DBNavigator::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::LayoutDirectionChange)
        updateIcons();
    else if (e->type() == QEvent::EnabledChange)
        updateButtons();
}

void DBNavigator::updateIcons()
{
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    for (int i = 0; i < NavButtonCount; ++i)
        buttons_[size_t(i)]->setIcon(glyph(NavButton(i), rtl));
}

void DBNavigator::updateButtons() { shown_->request(ds_); }

void DBNavigator::showButtons()
{
    const bool active = isEnabled() && ds_ && ds_->Active();
    const bool canModify = active && !ds_->updateTable().isEmpty();
    const bool edit = active && editing(ds_);
    const int rec = active ? ds_->RecNo() : 0;
    const bool any = active && !ds_->IsEmpty();
    const bool up = active && rec > 1;
    const bool down = active && rec > 0 && ds_->HasNext();
    button(NavButton::First)->setEnabled(up);
    button(NavButton::Prior)->setEnabled(up);
    button(NavButton::Next)->setEnabled(down);
    button(NavButton::Last)->setEnabled(down);
    button(NavButton::Insert)->setEnabled(canModify);
    button(NavButton::Delete)->setEnabled(canModify && any);
    button(NavButton::Edit)->setEnabled(canModify && !edit && any);
    button(NavButton::Post)->setEnabled(canModify && edit);
    button(NavButton::Cancel)->setEnabled(canModify && edit);
    button(NavButton::Refresh)->setEnabled(active);
}

void DBNavigator::BtnClick(NavButton b)
{
    if (!ds_)
        return;
    guarded([&] {
        if (BeforeAction)
            BeforeAction(b);
        run(b);
    });
    updateButtons();
    emit clicked(b);
}

void DBNavigator::run(NavButton b)
{
    db::DataSet* ds = ds_;
    // pending typed values reach the record before it moves or is posted
    if (b != NavButton::Cancel && b != NavButton::Delete && !FieldLink::updateRecord(ds))
        return;
    switch (b) {
    case NavButton::First: ds->First(); break;
    case NavButton::Prior: ds->Prior(); break;
    case NavButton::Next: ds->Next(); break;
    case NavButton::Last: ds->Last(); break;
    case NavButton::Insert: ds->Insert(); break;
    case NavButton::Edit: ds->Edit(); break;
    case NavButton::Post: ds->Post(); break;
    case NavButton::Cancel: ds->Cancel(); break;
    case NavButton::Delete: {
        if (ConfirmDelete) {
            shell::MessageRequest r;
            r.kind = 2;
            r.text = QStringLiteral("آيا رکورد جاري حذف شود؟");
            r.buttons = 4 | 8;
            if (shell::prompter().messageDlg(r) != shell::ResultYes)
                return;
        }
        ds->Delete();
        break;
    }
    case NavButton::Refresh: {
        if (editing(ds) && ds->Modified()) {
            shell::MessageRequest r;
            r.kind = 2;
            r.text = QStringLiteral("آيا تغييرات ذخيره شوند؟");
            r.buttons = 4 | 8 | 2;
            const int answer = shell::prompter().messageDlg(r);
            if (answer == shell::ResultYes)
                ds->Post();
            else if (answer == shell::ResultNo)
                ds->Cancel();
            else
                return;
        } else {
            ds->Cancel();
        }
        ds->Reopen();
        break;
    }
    }
}

} // namespace widgets
