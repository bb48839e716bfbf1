#include "system/highcontrast.h"

bool HighContrast::isOn()
{
    return false;
}
