#include "system/writesignals.h"

void WriteSignals::ignore() {}
