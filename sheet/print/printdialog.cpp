#include "sheet/print/printdialog.h"

PrintDialog::~PrintDialog() = default;
