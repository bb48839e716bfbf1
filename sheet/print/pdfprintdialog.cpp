#include "sheet/print/pdfprintdialog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryFile>

#include <cstdio>

PdfPrintDialog::PdfPrintDialog(QString path) : path_(std::move(path)) {}

PdfPrintDialog::~PdfPrintDialog()
{
    discardTemporary();
}

bool PdfPrintDialog::prepare(QPrinter& printer, bool /*showDialog*/)
{
    error_.clear();
    discardTemporary();
    const QFileInfo target(path_);
    if (path_.isEmpty() || target.isDir()) {
        error_ = QStringLiteral("Caminho inválido para o arquivo PDF: \"%1\".").arg(path_);
        return false;
    }
    QTemporaryFile file(target.absoluteFilePath() + QStringLiteral(".XXXXXX"));
    file.setAutoRemove(false);
    if (!file.open()) {
        error_ = QStringLiteral("Não foi possível criar o arquivo PDF \"%1\": %2.")
                     .arg(path_, file.errorString());
        return false;
    }
    temporary_ = file.fileName();
    file.close();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(temporary_);
    return true;
}

bool PdfPrintDialog::finish(bool printed, const QString& error)
{
    if (!printed) {
        error_ = error;
        discardTemporary();
        return false;
    }
    // A temporary file is private to its owner; the printout should read like
    // any file the user makes, or like the file it replaces.
    const QFileDevice::Permissions permissions =
        QFile::exists(path_)
            ? QFile::permissions(path_)
            : QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                  QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    QFile::setPermissions(temporary_, permissions);
    // rename() replaces the target in one step, where QFile::rename refuses to.
    if (std::rename(QFile::encodeName(temporary_).constData(),
                    QFile::encodeName(path_).constData()) != 0) {
        error_ = QStringLiteral("Não foi possível gravar o arquivo PDF \"%1\".").arg(path_);
        discardTemporary();
        return false;
    }
    temporary_.clear();
    return true;
}

void PdfPrintDialog::discardTemporary()
{
    if (!temporary_.isEmpty())
        QFile::remove(temporary_);
    temporary_.clear();
}
