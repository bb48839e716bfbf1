#pragma once

#include <QIcon>
#include <QPushButton>
#include <QSize>

// A command button that shows a picture instead of a caption: drawn at the
// picture's own size, centred on the button and clipped by it, with other
// pictures while the button is held down and while it is disabled.
class PictureButton : public QPushButton
{
    Q_OBJECT

public:
    explicit PictureButton(QWidget* parent = nullptr);

    // size: the picture's size in logical pixels, whatever the button's.
    void setPicture(const QIcon& picture, QSize size);
    // Without these the button shows its picture in every state, faded when
    // disabled.
    void setDownPicture(const QIcon& picture);
    void setDisabledPicture(const QIcon& picture);

    QSize pictureSize() const { return pictureSize_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QIcon picture_;
    QIcon downPicture_;
    QIcon disabledPicture_;
    QSize pictureSize_;
};
