#include "sheet/print/headerfooterformatter.h"

QString HeaderFooterFormatter::format(const QString& codes, const QString& sheetName,
                                      int pageNumber)
{
    QString out;
    out.reserve(codes.size() + sheetName.size());
    for (qsizetype i = 0; i < codes.size(); ++i) {
        const QChar c = codes.at(i);
        if (c != u'&' || i + 1 == codes.size()) {
            out.append(c);
            continue;
        }
        // Codes are case-insensitive in spreadsheet headers: "&a" is "&A".
        switch (codes.at(i + 1).toUpper().unicode()) {
        case u'A':
            out.append(sheetName);
            ++i;
            break;
        case u'P':
            out.append(QString::number(pageNumber));
            ++i;
            break;
        case u'&':
            out.append(u'&');
            ++i;
            break;
        default:
            out.append(c);
            break;
        }
    }
    return out;
}
