#include "system/writesignals.h"

#include <csignal>

void WriteSignals::ignore()
{
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
}
