#pragma once

// Whether the user has turned on the system's high-contrast mode, which the
// palette follows. Windows says so; Linux has no such setting of the system
// (a desktop's high-contrast theme reaches Qt as its palette).
class HighContrast
{
public:
    static bool isOn();
};
