#pragma once

#include <QByteArray>

#include <memory>

// Files that must not outlive the program: half-written temporary files.
// When SIGTERM, SIGHUP or SIGINT ends the program (a logout, Ctrl+C), the
// files registered at that moment are removed and the program then ends as
// that signal would have ended it, so a shell sees 128 + the signal's number.
// On Windows the console's Ctrl+C, Ctrl+Break, closing and logoff do the
// same: the files go, then the system ends the program as it would have.
//
// The handler may run at any instruction, so it touches only a fixed table
// of C strings filled before the files are written, and calls only unlink(),
// rmdir() (for an empty working folder), signal() and raise(). A signal the program ignores (nohup)
// or handles itself is left alone.
class SignalCleanup
{
public:
    // Files registered at once, a whole save's worth.
    static constexpr int kSlots = 16;

    // Registers `path` (its bytes as the system takes them), a file or an
    // empty folder, while alive.
    explicit SignalCleanup(const QByteArray& path);
    ~SignalCleanup();
    SignalCleanup(const SignalCleanup&) = delete;
    SignalCleanup& operator=(const SignalCleanup&) = delete;

    // Holds the signals back in this thread while alive, so that none comes
    // between a file's creation and its registration.
    class Defer
    {
    public:
        Defer();
        ~Defer();
        Defer(const Defer&) = delete;
        Defer& operator=(const Defer&) = delete;

    private:
        // The thread's signal mask as it was: each system's own.
        struct Mask;
        std::unique_ptr<Mask> before_;
    };

    // False when the table was full or the path too long for it: the file
    // is then not protected.
    bool registered() const { return slot_ >= 0; }

    // The path registered in `slot` (0 to kSlots - 1), or null: what the
    // system's handler removes. It reads only the fixed table, so a handler
    // may call it at any instruction.
    static const char* registeredPath(int slot);

private:
    // Each system's own: its handler, installed once; whether a path of
    // `bytes`, its closing NUL included, fits the table; the table's room
    // for `slot`'s path.
    static void installOnce();
    static bool takesPath(qsizetype bytes);
    static char* slotPath(int slot);

    int slot_ = -1;
};
