#include "app/core/StartupRules.h"

#include <cwchar>

bool StartsHidden(const wchar_t* commandLine)
{
    return commandLine != nullptr && std::wcsstr(commandLine, L"-hide") != nullptr;
}

bool WantsDpiAwareness(int screenWidth, int screenHeight)
{
    return screenWidth < 1400 || screenHeight < 800;
}
