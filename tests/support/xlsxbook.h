#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// An XLSX workbook read back by openpyxl (tests/support/xlsxread.py), an
// independent reader: what a spreadsheet program would find in the file.
class XlsxBook
{
public:
    struct Sheet
    {
        QString name;
        std::vector<QStringList> rows; // numbers as their text, empty cells empty
        QStringList types;             // openpyxl's cell types seen: "s" text, "n" number
        bool boldHeading = false;
        QString frozen;     // the top-left cell of the unfrozen part
        QString autofilter; // its range
        // "paper=9 portrait margins=L,R,T,B,H,F header=&A footer=Página &P
        // gridlines=True centred=True titles=1:1;A:C breaks=40"
        QString printSetup;
    };

    // Whether python3 with openpyxl is there.
    static bool available();
    // No sheets when the file cannot be read.
    static XlsxBook read(const QString& path);

    std::vector<Sheet> sheets;
    // Each bar chart's formulas: its categories, then its values.
    std::vector<QStringList> barCharts;
};
