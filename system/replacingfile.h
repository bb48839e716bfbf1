#pragma once

#include "system/signalcleanup.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

// A file written under a temporary name beside its target, which takes the
// target's place in one step only when it is complete: a save that fails, is
// cancelled or is stopped by SIGTERM, SIGHUP or SIGINT leaves an earlier file
// as it was and no part of a new one.
//
// A target that is a symbolic link is followed, as editors do, and its final
// file is replaced in that file's folder; a target that is not an ordinary
// file (a FIFO, a device, a socket) is refused, never replaced. The new file
// gets the permissions the user's umask (or the folder's default ACL) gives
// a new file, or those of the user's own file it replaces (with its group
// where the system allows): another user's file gives none of its own. It
// is on the disk, folder entry included, before commit() returns, and
// private (0600, its work folder 0700) from its creation until then.
//
// A target its owner may not write (mode without the owner's "w", as
// `chmod 444` leaves it; on Windows the read-only attribute), or that the
// system keeps from change (Linux's `chattr +i`, `+a`), is refused as
// write-protected, even for root, as spreadsheets refuse it.
//
// On Windows, links are followed as the system opens files, the new file
// gets the folder's permissions, a file another program holds open (a
// workbook open in the spreadsheet) is reported as such, and so is a name
// Windows keeps for a device ("NUL.csv"). Paths past the old 260 characters
// work, and messages write paths with Windows' backslashes.
//
// The temporary file (and a writer's work folder) is hidden and named after
// its target (".saida.xlsx.verinova-Ab12Cd"); SIGKILL or a power cut can
// still leave one, which the next save to that target removes. On Linux
// only what the user's notes prove a save made (in the user's private
// state folder, ~/.local/state/verinova-cadastral): the same file, still
// the user's and private, under that name, locked by no save; a folder
// only when empty. On Windows a hidden file, or an empty hidden folder,
// named exactly so and held by no save.
//
// In a folder others may write (a shared "RH" folder without the sticky
// bit), anyone can rename the temporary name or put a link there. On Linux
// the writers therefore reach the file through the program's own
// descriptor (writePath()), never by its name, and commit() refuses when the
// name no longer is that file: no byte goes anywhere else.
class ReplacingFile
{
public:
    // `kind` names the file in messages ("PDF", "XLSX", "CSV").
    ReplacingFile(QString target, QString kind);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates the empty temporary file; false, with the reason in error(),
    // when the target cannot be replaced or the folder does not take it.
    bool create();
    QString temporaryPath() const { return temporary_; }
    // What the writers open to write the temporary file: on Linux the
    // program's own descriptor of it ("/proc/self/fd/7"), which nobody can
    // point elsewhere by renaming or linking in the folder; on Windows the
    // temporary path.
    QString writePath() const;
    QString target() const { return target_; }
    // After create(): a private, hidden folder beside the temporary file
    // for a writer's own working files, which goes with the temporary file
    // (and, left by SIGKILL, with the next save's sweep). Like writePath(),
    // on Linux it is named through the program's descriptor of it. Empty,
    // with the reason in error(), when it cannot be made.
    QString makeWorkFolder();
    // Puts the temporary file in the target's place.
    bool commit();
    // Removes the temporary file, if any.
    void discard();

    QString error() const { return error_; }
    // Why a write failed, in the user's words, from the system's error
    // number (errno) at the failure.
    static QString reason(int error);
    // The temporary name for a target's name without its random end: a
    // leftover starts with it and has six characters more.
    static QByteArray temporaryStem(const QByteArray& targetName);

private:
    // What the system holds open for a save (the temporary file, its work
    // folder, the folder they are in) and what it knows of them: each
    // system's own.
    struct Held;

    bool fail(const QString& why);
    QString shownTarget() const;
    bool cannotCreate(int error);
    bool cannotWrite(int error);
    bool notAFile();
    bool writeProtected();
    bool resolve();
    // Creates the temporary file in final_'s folder, its name `stemName`
    // and a random end.
    bool createTemporary(const QByteArray& stemName);
    void removeLeftovers() const;
    void removeWorkFolder();
    bool replacedMeanwhile();

    // The last part of a path, after the system's separators.
    static QByteArray nameOf(const QByteArray& path);
    static constexpr int kRandomCharacters = 6;
    // A temporary name's random end: kRandomCharacters letters and digits.
    static QByteArray randomEnd();
    // Whether `name` is a leftover's: `stem` and such an end exactly.
    static bool leftoverName(const QByteArray& name, const QByteArray& stem);

    QString target_;
    QString kind_;
    QString temporary_;
    QString error_;
    QByteArray final_;  // the file replaced: the target, its links followed
    QByteArray folder_; // final_'s folder
    QByteArray temporaryBytes_;
    QByteArray workFolder_;
    bool replacing_ = false; // final_ is an existing file
    std::unique_ptr<Held> held_;
    std::vector<std::unique_ptr<SignalCleanup>> cleanups_;
};
