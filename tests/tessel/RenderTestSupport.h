#pragma once

#include "tessel/render/GdiplusHeaders.h"
#include "tests/support/PngFile.h"
#include "tests/support/ScreenSnapshot.h"

#include <memory>
#include <string>

// GDI+ runs for the whole test program (RenderTestSupport.cpp registers a test environment).

// Skin folder of the test program (created on demand), ending with a backslash.
std::wstring TestSkinFolder();

// A solid-colour ARGB bitmap.
std::unique_ptr<Gdiplus::Bitmap> MakeBitmap(int width, int height, Gdiplus::ARGB color);

// A name unique to this test process, for files several test programs may write.
std::wstring UniqueName(const wchar_t* stem, const wchar_t* extension);

// Deletes the file when the test program ends.
void ForgetAtExit(const std::wstring& path);

// Writes a PNG of the given size and colour into the skin folder; returns its file name.
std::wstring WriteSkinPng(const wchar_t* stem, int width, int height, Gdiplus::ARGB color);

// Name of a font family GDI+ finds among the installed fonts (empty when there is none).
std::wstring AnyInstalledFamily();

// Writes a 16 x 16, 32-bit .ico file; true on success.
bool WriteIconFile(const std::wstring& path);
