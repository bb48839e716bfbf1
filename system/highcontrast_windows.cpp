#include "system/highcontrast.h"

#include <windows.h>

bool HighContrast::isOn()
{
    HIGHCONTRASTW mode = {};
    mode.cbSize = sizeof mode;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof mode, &mode, 0) &&
           (mode.dwFlags & HCF_HIGHCONTRASTON);
}
