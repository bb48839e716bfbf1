#include "app/commondialog.h"

#include "app/windowdialogs.h"

CommonDialog::CommonDialog(WindowDialogs& dialogs, QObject* parent)
    : QObject(parent), dialogs_(dialogs)
{
}

void CommonDialog::showOpen(QWidget* owner)
{
    fileName_ = dialogs_.chooseFileToOpen(owner, dialogTitle_, initDir_);
}
