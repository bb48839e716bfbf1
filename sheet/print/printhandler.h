#pragma once

#include "sheet/resultsheet.h"

#include <functional>
#include <memory>

class PrintDialog;
class Progress;

// A fresh progress report for each printout, or none.
using ProgressSource = std::function<std::unique_ptr<Progress>()>;

// The sheet's printing, ready for ResultSheet::SetPrintHandler: a printer set
// up from the template, the dialog's say, then the pages, told to `progress`
// when given. The window passes the system's print dialog, the tests and the
// dump tool a PDF file.
ResultSheet::PrintHandler makePrintHandler(std::shared_ptr<PrintDialog> dialog,
                                           ProgressSource progress = {});
