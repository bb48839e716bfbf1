#include "system/quietstderr.h"

#include <cstdio>

QuietStderr::QuietStderr()
{
    // Without a stderr (a Windows program started without a console) there
    // is nothing to keep quiet.
    saved_ = keepStderr();
    if (saved_ < 0)
        return;
    null_ = openNull();
    if (null_ < 0) {
        closeFd(saved_);
        saved_ = -1;
        return;
    }
    resume();
}

QuietStderr::~QuietStderr()
{
    if (saved_ < 0)
        return;
    pause();
    closeFd(saved_);
    closeFd(null_);
}

void QuietStderr::pause()
{
    if (saved_ < 0)
        return;
    std::fflush(stderr);
    pointStderrAt(saved_);
}

void QuietStderr::resume()
{
    if (saved_ < 0)
        return;
    // What the program wrote before goes out first, where it was meant to.
    std::fflush(stderr);
    pointStderrAt(null_);
}
