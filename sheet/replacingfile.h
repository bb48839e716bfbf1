#pragma once

#include <QString>

// A file written under a temporary name beside its target, which takes the
// target's place in one step only when it is complete: a save that fails or
// is cancelled leaves an earlier file as it was and no part of a new one.
class ReplacingFile
{
public:
    // `kind` names the file in messages ("PDF", "XLSX", "CSV").
    ReplacingFile(QString target, QString kind);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates the empty temporary file; false, with the reason in error(),
    // when the folder does not take it.
    bool create();
    QString temporaryPath() const { return temporary_; }
    QString target() const { return target_; }
    // Puts the temporary file in the target's place.
    bool commit();
    // Removes the temporary file, if any.
    void discard();

    QString error() const { return error_; }
    // Why a write failed, in the user's words, from the system's error
    // number (errno) at the failure.
    static QString reason(int error);

private:
    QString target_;
    QString kind_;
    QString temporary_;
    QString error_;
};
