#pragma once

#include <QString>

class QAbstractItemModel;
class QTableView;

// The read-only lists of the windows beside the sheet (a folder's overview,
// a comparison) behave alike: whole rows, one at a time, nothing edited, Tab
// leaving the list, one line per row as close as the sheet's so a screen
// holds many, and the sheet's locale.
class ListTable
{
public:
    static void prepare(QTableView& table, QAbstractItemModel* model,
                        const QString& accessibleName);
};
