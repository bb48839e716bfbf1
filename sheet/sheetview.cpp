#include "sheetview.h"

#include "resultsheet.h"

SheetView::SheetView(QWidget* parent) : QTableView(parent), sheet_(new ResultSheet(this)) {}

SheetView::~SheetView() = default;
