#include "app/listtable.h"

#include "sheet/sheettemplate.h"

#include <QHeaderView>
#include <QTableView>

void ListTable::prepare(QTableView& table, QAbstractItemModel* model, const QString& accessibleName)
{
    table.setObjectName(QStringLiteral("tabela"));
    table.setAccessibleName(accessibleName);
    table.setModel(model);
    table.setLocale(SheetTemplate::locale());
    table.setSelectionBehavior(QAbstractItemView::SelectRows);
    table.setSelectionMode(QAbstractItemView::SingleSelection);
    table.setEditTriggers(QAbstractItemView::NoEditTriggers);
    table.setTabKeyNavigation(false);
    table.setWordWrap(false);
    table.verticalHeader()->hide();
    table.verticalHeader()->setDefaultSectionSize(table.fontMetrics().height() + 6);
}
