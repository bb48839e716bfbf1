#include "processing/returnfilename.h"

#include <QStringView>

#include <algorithm>

namespace {
constexpr QStringView kPrefix = u"D.CNS.CPF.002.";
constexpr qsizetype kStampDigits = 14;
constexpr qsizetype kCnpjDigits = 14;
constexpr qsizetype kCpfDigits = 11;
const QString kNone = QStringLiteral("-");

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// `count` digits at `at`, not followed by another digit, which would make
// the field longer than the government writes it.
bool digitsAt(QStringView name, qsizetype at, qsizetype count)
{
    if (at + count > name.size())
        return false;
    for (qsizetype i = at; i < at + count; ++i) {
        if (!isDigit(name[i]))
            return false;
    }
    return at + count == name.size() || !isDigit(name[at + count]);
}

bool dotAt(QStringView name, qsizetype at)
{
    return at < name.size() && name[at] == u'.';
}

int number(QStringView digits)
{
    return digits.toInt();
}
} // namespace

ReturnFileName ReturnFileName::parse(const QString& pathOrName)
{
    // Both slashes: a Windows path read anywhere is still a path.
    const qsizetype slash = std::max(pathOrName.lastIndexOf(u'/'), pathOrName.lastIndexOf(u'\\'));
    const QStringView name = QStringView(pathOrName).mid(slash + 1);

    ReturnFileName parsed;
    if (!name.startsWith(kPrefix, Qt::CaseInsensitive))
        return parsed;
    const qsizetype stampAt = kPrefix.size();
    const qsizetype cnpjAt = stampAt + kStampDigits + 1;
    const qsizetype cpfAt = cnpjAt + kCnpjDigits + 1;
    if (!digitsAt(name, stampAt, kStampDigits) || !dotAt(name, cnpjAt - 1) ||
        !digitsAt(name, cnpjAt, kCnpjDigits) || !dotAt(name, cpfAt - 1) ||
        !digitsAt(name, cpfAt, kCpfDigits))
        return parsed;

    const QStringView stamp = name.sliced(stampAt, kStampDigits);
    const QDate date(number(stamp.sliced(0, 4)), number(stamp.sliced(4, 2)),
                     number(stamp.sliced(6, 2)));
    const QTime time(number(stamp.sliced(8, 2)), number(stamp.sliced(10, 2)),
                     number(stamp.sliced(12, 2)));
    if (!date.isValid() || !time.isValid())
        return parsed;
    // The government's clock, shown as it is written: no time zone to move
    // it by, nor a summer time gap to lose it in.
    parsed.dateTime_ = QDateTime(date, time, Qt::UTC);
    parsed.cnpj_ = name.sliced(cnpjAt, kCnpjDigits).toString();
    parsed.cpf_ = name.sliced(cpfAt, kCpfDigits).toString();
    return parsed;
}

QString ReturnFileName::formattedCnpj() const
{
    if (!isGovernments())
        return kNone;
    return QStringLiteral("%1.%2.%3/%4-%5")
        .arg(QStringView(cnpj_).sliced(0, 2), QStringView(cnpj_).sliced(2, 3),
             QStringView(cnpj_).sliced(5, 3), QStringView(cnpj_).sliced(8, 4),
             QStringView(cnpj_).sliced(12, 2));
}

QString ReturnFileName::formattedDateTime() const
{
    if (!isGovernments())
        return kNone;
    return dateTime_.toString(QStringLiteral("dd/MM/yyyy HH:mm"));
}
