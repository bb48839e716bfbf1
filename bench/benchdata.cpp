#include "bench/benchdata.h"

#include "tools/returnfilegenerator.h"

#include <QDir>
#include <QFile>

#include <map>
#include <stdexcept>
#include <string>
#include <utility>

namespace {
void write(const QString& path, const std::string& text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()))
        throw std::runtime_error("cannot write benchmark data");
}
} // namespace

QTemporaryDir& BenchData::folder()
{
    static QTemporaryDir dir;
    return dir;
}

QString BenchData::returnFile(int workers, double problemShare)
{
    static std::map<std::pair<int, double>, QString> written;
    const auto key = std::make_pair(workers, problemShare);
    if (const auto it = written.find(key); it != written.end())
        return it->second;

    ReturnFileGenerator::Options options;
    options.problemShare = problemShare;
    const std::string text = ReturnFileGenerator(options).file(workers);
    const QString path =
        folder().filePath(QStringLiteral("retorno-%1-%2.txt").arg(workers).arg(problemShare));
    write(path, text);
    written.emplace(key, path);
    return path;
}

QString BenchData::officeFolder(int companies, int workers)
{
    static std::map<std::pair<int, int>, QString> written;
    const auto key = std::make_pair(companies, workers);
    if (const auto it = written.find(key); it != written.end())
        return it->second;

    const QString path =
        folder().filePath(QStringLiteral("escritorio-%1x%2").arg(companies).arg(workers));
    if (!QDir().mkpath(path))
        throw std::runtime_error("cannot write benchmark data");
    for (int company = 0; company < companies; ++company) {
        ReturnFileGenerator::Options options;
        options.seed = 1000 + static_cast<std::uint64_t>(company);
        const std::string text = ReturnFileGenerator(options).file(workers);
        const QString name =
            QStringLiteral("D.CNS.CPF.002.20261201093015.%1.98765432100.TXT.PROCESSADO")
                .arg(12'345'678'000'000LL + company * 100 + 99, 14, 10, QLatin1Char('0'));
        write(QDir(path).filePath(name), text);
    }
    written.emplace(key, path);
    return path;
}
