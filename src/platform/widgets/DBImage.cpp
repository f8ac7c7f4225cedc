#include "platform/widgets/DBImage.h"

#include "platform/db/DataSet.h"
#include "platform/widgets/FieldLink.h"

#include <QFile>
#include <QPixmap>

namespace widgets {

DBImage::DBImage(QWidget* parent) : QLabel(parent), link_(new FieldLink(this))
{
    setAlignment(Qt::AlignCenter);
    setFrameShape(QFrame::StyledPanel);
    link_->writer = [this](db::Field& f) { f.SetValue(QVariant(pending_)); };
    connect(link_, &FieldLink::refresh, this, &DBImage::showField);
}

void DBImage::setDataSet(db::DataSet* ds) { link_->setDataSet(ds); }
void DBImage::setDataField(const QString& name) { link_->setFieldName(name); }

void DBImage::setStretch(bool on)
{
    stretch_ = on;
    showImage();
}

bool DBImage::LoadFromFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (QImage::fromData(bytes).isNull() || !link_->edit())
        return false;
    pending_ = bytes;
    link_->setModified(true);
    const bool ok = link_->updateRecord();
    pending_.clear();
    return ok;
}

void DBImage::showField()
{
    const db::Field* f = link_->field();
    image_ = f && !f->IsNull() ? QImage::fromData(f->AsBytes()) : QImage();
    showImage();
}

void DBImage::showImage()
{
    if (image_.isNull()) {
        clear();
        return;
    }
    QPixmap pm = QPixmap::fromImage(image_);
    if (stretch_)
        pm = pm.scaled(contentsRect().size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    setPixmap(pm);
}

void DBImage::resizeEvent(QResizeEvent* e)
{
    QLabel::resizeEvent(e);
    if (stretch_)
        showImage();
}

} // namespace widgets
