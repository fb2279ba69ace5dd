#pragma once

#include <string>

// One command for the update worker. An update (CMD_UPDATE_SOFTWARE, CMD_UPDATE_FIRMWARE) carries
// the version the user was shown and answered YES to, so nothing learnt after the question changes
// what is installed; a check carries no version.
struct UpdateCommand
{
    int id = 0;
    std::wstring version;
};
