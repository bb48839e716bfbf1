#include "bench/benchdata.h"

#include "tools/returnfilegenerator.h"

#include <QFile>

#include <map>
#include <stdexcept>
#include <utility>

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
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()))
        throw std::runtime_error("cannot write benchmark data");
    written.emplace(key, path);
    return path;
}
