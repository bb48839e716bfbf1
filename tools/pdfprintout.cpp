#include "tools/pdfprintout.h"

#include "processing/printcommand.h"
#include "sheet/print/pdfprintdialog.h"
#include "sheet/print/printhandler.h"
#include "sheet/resultsheet.h"
#include "system/headlessplatform.h"

#include <QGuiApplication>

#include <cstdlib>
#include <memory>

QString printSheetToPdf(ResultSheet& sheet, const QString& path)
{
    // Fonts and the printer need a GUI application, not a display.
    static int argc = 1;
    static char name[] = "verinova-dump";
    static char* argv[] = {name, nullptr};
    std::unique_ptr<QGuiApplication> app;
    if (!QGuiApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", HeadlessPlatform::name());
        app = std::make_unique<QGuiApplication>(argc, argv);
    }

    const auto pdf = std::make_shared<PdfPrintDialog>(path);
    sheet.SetPrintHandler(makePrintHandler(pdf));
    const bool printed = PrintCommand::run(sheet);
    sheet.SetPrintHandler({});
    if (printed)
        return {};
    return pdf->errorString().isEmpty() ? QStringLiteral("Nada foi impresso.") : pdf->errorString();
}
