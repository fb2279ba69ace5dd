#pragma once

// What an update brings: the program's own installer or the display's firmware update tool. The
// values are the kind byte of the signed message (UpdateSignature.h) and the wParam of
// WM_UPDATE_RESULT; signed releases depend on them, so they never change.
enum class UpdateKind : unsigned char
{
    Software = 1,
    Firmware = 2,
};
