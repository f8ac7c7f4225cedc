#pragma once
// A picture bound to a binary field.

#include <QLabel>

namespace db { class DataSet; }

namespace widgets {

class FieldLink;

class DBImage : public QLabel {
    Q_OBJECT
public:
    explicit DBImage(QWidget* parent = nullptr);

    void setDataSet(db::DataSet* ds);
    void setDataField(const QString& name);
    FieldLink* link() const { return link_; }

    // Scales the picture into the box (keeping its proportions) instead of showing it at its size.
    void setStretch(bool on);
    // Puts the dataset into edit state and stores the picture file's bytes in the field.
    // False when the file is no readable picture or the dataset refused.
    bool LoadFromFile(const QString& path);
    QImage picture() const { return image_; }

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void showField();
    void showImage();

    FieldLink* link_;
    QImage image_;
    QByteArray pending_;
    bool stretch_ = true;
};

} // namespace widgets
