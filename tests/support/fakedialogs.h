#pragma once

#include "app/windowdialogs.h"
#include "sheet/print/pdfprintdialog.h"
#include "sheet/progress.h"

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

// The print dialog of the fakes: cancels, or prints to a PDF file once the
// test names one; counts how often it was asked.
class FakePrintDialog final : public PrintDialog
{
public:
    bool prepare(QPrinter& printer, bool showDialog) override
    {
        ++asked;
        shown = showDialog;
        if (pdfPath.isEmpty())
            return false;
        pdf.emplace(pdfPath);
        return pdf->prepare(printer, showDialog);
    }
    bool finish(bool printed, const QString& error) override
    {
        return pdf && pdf->finish(printed, error);
    }

    QString pdfPath; // empty: the user cancels
    int asked = 0;
    bool shown = false;
    std::optional<PdfPrintDialog> pdf;
};

// What the fakes' progress dialogs were told, and the user's Cancelar: after
// `cancelAfter` reports, when it is not negative.
struct FakeProgressLog
{
    std::vector<QString> labels; // one per progress dialog
    int reports = 0;
    int cancelAfter = -1;
};

class FakeProgress final : public Progress
{
public:
    explicit FakeProgress(FakeProgressLog& log) : log_(log) {}
    bool advance(int /*done*/, int /*total*/) override
    {
        return log_.cancelAfter < 0 || ++log_.reports <= log_.cancelAfter;
    }

private:
    FakeProgressLog& log_;
};

// Answers the window's dialogs without showing any, and remembers what was
// asked.
class FakeDialogs final : public WindowDialogs
{
public:
    struct Request
    {
        QWidget* parent;
        QString title;
        QString detail; // the folder of an open dialog, the text of a message
    };

    QString chooseFileToOpen(QWidget* parent, const QString& title, const QString& folder) override
    {
        opens.push_back({parent, title, folder});
        return answer;
    }
    QString chooseFolder(QWidget* parent, const QString& title, const QString& folder) override
    {
        folders.push_back({parent, title, folder});
        return folderAnswer;
    }
    std::optional<SaveChoice> chooseFileToSave(QWidget* parent, const QString& title,
                                               const QString& proposed,
                                               const QStringList& filters) override
    {
        saves.push_back({parent, title, proposed});
        saveFilters = filters;
        return saveAnswer;
    }
    std::optional<QString> askText(QWidget* parent, const QString& title, const QString& label,
                                   const QString& text) override
    {
        questions.push_back({parent, title, label + QLatin1Char(' ') + text});
        return textAnswer;
    }
    std::optional<std::vector<bool>> chooseTexts(QWidget* parent, const QString& heading,
                                                 const std::vector<ColumnValues::Value>& values,
                                                 std::vector<bool> chosen) override
    {
        TextsRequest request{parent, heading, {}, std::move(chosen)};
        for (const ColumnValues::Value& value : values)
            request.values.emplace_back(std::string(value.utf8), value.rows);
        textsAsked.push_back(request);
        if (!textsAnswer)
            return std::nullopt;
        std::vector<bool> answer;
        for (const ColumnValues::Value& value : values)
            answer.push_back(textsAnswer->contains(std::string(value.utf8)));
        return answer;
    }
    bool askYesNo(QWidget* parent, const QString& title, const QString& text) override
    {
        yesNoAsked.push_back({parent, title, text});
        return yesAnswer;
    }
    void showCritical(QWidget* parent, const QString& title, const QString& text) override
    {
        messages.push_back({parent, title, text});
    }
    void showInformation(QWidget* parent, const QString& title, const QString& text) override
    {
        informations.push_back({parent, title, text});
    }
    void showNotice(QWidget* near, const QString& text) override
    {
        notices.push_back({near, QString(), text});
    }
    std::shared_ptr<PrintDialog> printDialog(QWidget*, std::function<QString()> fileName) override
    {
        printFileName = std::move(fileName);
        return printer;
    }
    std::unique_ptr<Progress> progress(QWidget*, const QString& label) override
    {
        progressLog.labels.push_back(label);
        return std::make_unique<FakeProgress>(progressLog);
    }

    QString answer;                       // what the open dialog returns; empty: cancelled
    QString folderAnswer;                 // what the folder dialog returns; empty: cancelled
    std::optional<SaveChoice> saveAnswer; // what the save dialog returns; none: cancelled
    std::optional<QString> textAnswer;    // what the text input returns; none: cancelled
    bool yesAnswer = false;               // a Sim/Não question's answer: Sim
    // The texts a column's filter list is left with; none: cancelled.
    std::optional<std::set<std::string>> textsAnswer;
    struct TextsRequest
    {
        QWidget* parent;
        QString heading;
        std::vector<std::pair<std::string, int>> values; // text, rows
        std::vector<bool> chosen;                        // as offered
    };
    std::vector<TextsRequest> textsAsked;
    std::vector<Request> opens;
    std::vector<Request> folders; // detail: the folder the dialog opens at
    std::vector<Request> saves;   // detail: the proposed path
    QStringList saveFilters;
    std::vector<Request> questions; // detail: the label, a space, the text offered
    std::vector<Request> yesNoAsked;
    std::vector<Request> messages;
    std::vector<Request> notices;
    std::vector<Request> informations;
    FakeProgressLog progressLog;
    std::shared_ptr<FakePrintDialog> printer = std::make_shared<FakePrintDialog>();
    std::function<QString()> printFileName; // what "Imprimir para arquivo" proposes
};
