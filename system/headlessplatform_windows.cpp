#include "system/headlessplatform.h"

const char* HeadlessPlatform::name()
{
    return "minimal:enable_fonts";
}
