#include "app/picturebutton.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QShortcut>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace {
// Qt's own interface for push buttons finds a key only in a mnemonic of the
// caption, which a picture has not, or in QAbstractButton's shortcut, which
// clicks a moment after the key. This one tells the button's own key, as the
// key binding of its press (what AT-SPI gives screen readers) and as its
// accelerator (what UI Automation gives).
class AccessiblePictureButton : public QAccessibleWidget
{
public:
    explicit AccessiblePictureButton(PictureButton* button)
        : QAccessibleWidget(button, QAccessible::Button)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Accelerator ? keyText() : QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.pressed = button()->isDown();
        return state;
    }

    QStringList actionNames() const override
    {
        return QStringList(pressAction()) + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& name) override
    {
        if (name != pressAction())
            QAccessibleWidget::doAction(name);
        else if (button()->isEnabled())
            button()->click();
    }

    QStringList keyBindingsForAction(const QString& name) const override
    {
        if (name == pressAction() && !button()->key().isEmpty())
            return {keyText()};
        return QAccessibleWidget::keyBindingsForAction(name);
    }

private:
    PictureButton* button() const { return static_cast<PictureButton*>(widget()); }
    QString keyText() const { return button()->key().toString(QKeySequence::NativeText); }
};

QAccessibleInterface* accessiblePictureButton(const QString& className, QObject* object)
{
    if (className == QLatin1String("PictureButton") && object->isWidgetType())
        return new AccessiblePictureButton(static_cast<PictureButton*>(object));
    return nullptr;
}
} // namespace

PictureButton::PictureButton(QWidget* parent) : QPushButton(parent)
{
    [[maybe_unused]] static const bool told = [] {
        QAccessible::installFactory(accessiblePictureButton);
        return true;
    }();
    // Enter must never click a picture button, whatever window holds it.
    setAutoDefault(false);
    setDefault(false);
}

void PictureButton::setPicture(const QIcon& picture, QSize size)
{
    picture_ = picture;
    pictureSize_ = size;
    update();
}

void PictureButton::setDownPicture(const QIcon& picture)
{
    downPicture_ = picture;
    update();
}

void PictureButton::setDisabledPicture(const QIcon& picture)
{
    disabledPicture_ = picture;
    update();
}

void PictureButton::setKey(const QKeySequence& key)
{
    key_ = key;
    if (!shortcut_) {
        // A key of the window, not of the focus: the button need not have it.
        shortcut_ = new QShortcut(this);
        shortcut_->setContext(Qt::WindowShortcut);
        connect(shortcut_, &QShortcut::activated, this, &QAbstractButton::click);
    }
    shortcut_->setKey(key);
}

void PictureButton::paintEvent(QPaintEvent* /*event*/)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButton, option);

    QIcon picture = picture_;
    QIcon::Mode mode = QIcon::Normal;
    if (!isEnabled()) {
        if (disabledPicture_.isNull())
            mode = QIcon::Disabled;
        else
            picture = disabledPicture_;
    } else if (isDown() && !downPicture_.isNull()) {
        picture = downPicture_;
    }
    if (picture.isNull() || pictureSize_.isEmpty())
        return;

    // Rendered for the screen's real pixels, so it stays sharp when scaled.
    const QPixmap pixmap = picture.pixmap(pictureSize_, devicePixelRatioF(), mode);
    QPoint topLeft((width() - pictureSize_.width()) / 2, (height() - pictureSize_.height()) / 2);
    if (isDown()) {
        topLeft += QPoint(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                          style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    }
    painter.drawPixmap(QRect(topLeft, pictureSize_), pixmap);
}
