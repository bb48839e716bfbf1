#include "system/headlessplatform.h"

const char* HeadlessPlatform::name()
{
    return "offscreen";
}
