#include "printdialog.h"

PrintDialog::~PrintDialog() = default;
