#pragma once

#include "tessel/render/CString.h"

namespace Tessel
{
class MDialog;
}

// Renders a dialog's client area off-screen the way its paint manager does (background, then
// areas and controls) and writes it as a 32-bit PNG with alpha. 1 on success.
int SaveDialogSnapshot(Tessel::MDialog& dialog, const Tessel::CString& path);

// The dialog with its computed drop shadow over a light backdrop, composed in memory (the X server
// under Wine shows layered windows without blending). 1 on success.
int SaveShadowPreview(Tessel::MDialog& dialog, const Tessel::CString& path);

// Copies the whole screen into a PNG. 1 on success.
int SaveScreenSnapshot(const Tessel::CString& path);
