#pragma once

#include <QIcon>
#include <QKeySequence>
#include <QPushButton>
#include <QSize>

class QShortcut;

// A command button that shows a picture instead of a caption: drawn at the
// picture's own size, centred on the button and clipped by it, with other
// pictures while the button is held down and while it is disabled. Having
// no caption, it has no mnemonic either: its key, if any, is given apart and
// told to screen readers as the button's key binding.
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

    // The key that clicks the button wherever the focus is in its window,
    // at once, as a click with the mouse would.
    void setKey(const QKeySequence& key);
    QKeySequence key() const { return key_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QIcon picture_;
    QIcon downPicture_;
    QIcon disabledPicture_;
    QSize pictureSize_;
    QKeySequence key_;
    QShortcut* shortcut_ = nullptr;
};
