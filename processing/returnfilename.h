#pragma once

#include <QDateTime>
#include <QString>

// What the government's name for a return file tells:
// D.CNS.CPF.002.<aaaammddhhmmss>.<CNPJ>.<CPF do responsável>.TXT.PROCESSADO,
// the company's CNPJ in 14 digits, the responsible person's CPF in 11, and
// when the return was made.
//
// The name is read as the clerk's folder holds it: any case (Windows names
// have none), after a path of either kind of slash, and with whatever a copy
// added after the CPF (" (1)", ".txt", " - Copia"), since the three fields
// still say whose return it is. A name whose fields are not all there, not
// all digits, or whose date and time cannot be, is not the government's:
// nothing is taken from it.
class ReturnFileName
{
public:
    static ReturnFileName parse(const QString& pathOrName);

    bool isGovernments() const { return dateTime_.isValid(); }
    // The 14 and 11 digits; empty when the name is not the government's.
    const QString& cnpj() const { return cnpj_; }
    const QString& responsibleCpf() const { return cpf_; }
    // Invalid when the name is not the government's.
    const QDateTime& dateTime() const { return dateTime_; }

    // "12.345.678/0001-99" and "01/12/2026 09:30"; "-" when the name is not
    // the government's.
    QString formattedCnpj() const;
    QString formattedDateTime() const;

private:
    QString cnpj_;
    QString cpf_;
    QDateTime dateTime_;
};
