#pragma once

#include <QString>

class ResultSheet;

// The dump tool's --pdf: runs the print command on the sheet with a PDF file
// in place of the print dialog. Starts the headless GUI the painting needs
// when there is none yet. Returns the reason for a failure, empty on success.
QString printSheetToPdf(ResultSheet& sheet, const QString& path);
