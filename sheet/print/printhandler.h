#pragma once

#include "sheet/resultsheet.h"

#include <memory>

class PrintDialog;

// The sheet's printing, ready for ResultSheet::SetPrintHandler: a printer set
// up from the template, the dialog's say, then the pages. The window passes
// the system's print dialog, the tests and the dump tool a PDF file.
ResultSheet::PrintHandler makePrintHandler(std::shared_ptr<PrintDialog> dialog);
