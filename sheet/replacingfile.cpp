#include "sheet/replacingfile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>

ReplacingFile::ReplacingFile(QString target, QString kind)
    : target_(std::move(target)), kind_(std::move(kind))
{
}

ReplacingFile::~ReplacingFile()
{
    discard();
}

bool ReplacingFile::create()
{
    error_.clear();
    discard();
    const QFileInfo target(target_);
    if (target_.isEmpty() || target.isDir()) {
        error_ = QStringLiteral("Caminho inválido para o arquivo %1: \"%2\".").arg(kind_, target_);
        return false;
    }
    // Beside the target, so that the rename stays on one file system.
    QTemporaryFile file(target.absoluteFilePath() + QStringLiteral(".XXXXXX"));
    file.setAutoRemove(false);
    errno = 0;
    if (!file.open()) {
        error_ = QStringLiteral("Não foi possível criar o arquivo %1 \"%2\": %3.")
                     .arg(kind_, target_, reason(errno));
        return false;
    }
    temporary_ = file.fileName();
    return true;
}

bool ReplacingFile::commit()
{
    // A temporary file is private to its owner; the saved file should read
    // like any file the user makes, or like the file it replaces.
    const QFileDevice::Permissions permissions =
        QFile::exists(target_)
            ? QFile::permissions(target_)
            : QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                  QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    QFile::setPermissions(temporary_, permissions);
    // rename() replaces the target in one step, where QFile::rename refuses to.
    if (std::rename(QFile::encodeName(temporary_).constData(),
                    QFile::encodeName(target_).constData()) != 0) {
        error_ = QStringLiteral("Não foi possível gravar o arquivo %1 \"%2\": %3.")
                     .arg(kind_, target_, reason(errno));
        discard();
        return false;
    }
    temporary_.clear();
    return true;
}

void ReplacingFile::discard()
{
    if (!temporary_.isEmpty())
        QFile::remove(temporary_);
    temporary_.clear();
}

QString ReplacingFile::reason(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("não há espaço livre no disco");
    case EFBIG:
        return QStringLiteral("o arquivo ficou grande demais para o disco");
    case EACCES:
    case EPERM:
        return QStringLiteral("não há permissão para gravar nessa pasta");
    case EROFS:
        return QStringLiteral("o disco só permite leitura");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("a pasta não existe");
    case EISDIR:
        return QStringLiteral("já existe uma pasta com esse nome");
    case ENOMEM:
        return QStringLiteral("memória insuficiente");
    default:
        return QStringLiteral("erro de gravação");
    }
}
