#include "system/replacingfile.h"

#include "text/utf8boundary.h"

#include <QDir>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>

namespace {
// Between the target's name and the random end of its temporary name.
constexpr char kMark[] = ".verinova-";
// The longest file name, in bytes of UTF-8, that every system takes.
constexpr qsizetype kNameMax = 255;
} // namespace

QByteArray ReplacingFile::randomEnd()
{
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray end(kRandomCharacters, '\0');
    for (char& c : end)
        c = kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)];
    return end;
}

bool ReplacingFile::leftoverName(const QByteArray& name, const QByteArray& stem)
{
    if (name.size() != stem.size() + kRandomCharacters || !name.startsWith(stem))
        return false;
    return std::all_of(name.cbegin() + stem.size(), name.cend(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    });
}

QByteArray ReplacingFile::temporaryStem(const QByteArray& targetName)
{
    // Whatever name fits the folder, its temporary one fits too: the
    // target's part is cut, between characters, to leave room for the rest.
    constexpr qsizetype room = kNameMax - 1 - (sizeof kMark - 1) - kRandomCharacters;
    const std::size_t cut = Utf8Boundary::atOrBefore(
        {targetName.constData(), static_cast<std::size_t>(targetName.size())}, room);
    return '.' + targetName.left(static_cast<qsizetype>(cut)) + kMark;
}

bool ReplacingFile::fail(const QString& why)
{
    error_ = why;
    return false;
}

// Paths in messages are written as the system writes them: "C:\\Users\\…"
// on Windows.
QString ReplacingFile::shownTarget() const
{
    return QDir::toNativeSeparators(target_);
}

bool ReplacingFile::cannotCreate(int error)
{
    return fail(QStringLiteral("Não foi possível criar o arquivo %1 \"%2\": %3.")
                    .arg(kind_, shownTarget(), reason(error)));
}

bool ReplacingFile::cannotWrite(int error)
{
    return fail(QStringLiteral("Não foi possível gravar o arquivo %1 \"%2\": %3.")
                    .arg(kind_, shownTarget(), reason(error)));
}

bool ReplacingFile::writeProtected()
{
    return fail(QStringLiteral("O arquivo %1 não foi gravado: \"%2\" está protegido contra "
                               "gravação (somente leitura) e não será substituído.")
                    .arg(kind_, shownTarget()));
}

bool ReplacingFile::replacedMeanwhile()
{
    return fail(
        QStringLiteral(
            "O arquivo %1 \"%2\" não foi gravado: o arquivo temporário \"%3\" "
            "foi trocado por outro durante a gravação (alguém mais pode gravar nessa pasta).")
            .arg(kind_, shownTarget(), QDir::toNativeSeparators(temporary_)));
}

bool ReplacingFile::create()
{
    error_.clear();
    discard();
    if (target_.isEmpty() || QFileInfo(target_).isDir())
        return fail(QStringLiteral("Caminho inválido para o arquivo %1: \"%2\".")
                        .arg(kind_, shownTarget()));
    if (!resolve())
        return false;
    const QByteArray name = nameOf(final_);
    if (name.size() > kNameMax)
        return cannotCreate(ENAMETOOLONG);
    return createTemporary(temporaryStem(name));
}

QString ReplacingFile::reason(int error)
{
    switch (error) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return QStringLiteral("não há espaço livre no disco");
    case EFBIG:
        return QStringLiteral("o arquivo passou do tamanho máximo permitido");
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
    case ENAMETOOLONG:
        return QStringLiteral("o nome é longo demais");
    case ELOOP:
        return QStringLiteral("há links simbólicos demais no caminho");
    case EBUSY:
        return QStringLiteral("o arquivo está aberto em outro programa");
    case ENOMEM:
        return QStringLiteral("memória insuficiente");
    default:
        return QStringLiteral("erro de gravação");
    }
}
