#pragma once

#include "tessel/render/GdiplusHeaders.h"

#include <memory>
#include <string>

// GDI+ runs for the whole test program (RenderTestSupport.cpp registers a test environment).

// Skin folder of the test program (created on demand), ending with a backslash.
std::wstring TestSkinFolder();

// A solid-colour ARGB bitmap.
std::unique_ptr<Gdiplus::Bitmap> MakeBitmap(int width, int height, Gdiplus::ARGB color);

// Saves a GDI+ bitmap as PNG; true on success.
bool SavePng(Gdiplus::Bitmap& bitmap, const std::wstring& path);

// A name unique to this test process, for files several test programs may write.
std::wstring UniqueName(const wchar_t* stem, const wchar_t* extension);

// Deletes the file when the test program ends.
void ForgetAtExit(const std::wstring& path);

// Writes a PNG of the given size and colour into the skin folder; returns its file name.
std::wstring WriteSkinPng(const wchar_t* stem, int width, int height, Gdiplus::ARGB color);

// Folder for artifacts a person may look at (TK_ARTIFACTS_DIR, else the temp folder).
std::wstring ArtifactsFolder();

// Name of a font family GDI+ finds among the installed fonts (empty when there is none).
std::wstring AnyInstalledFamily();

// Writes a 16 x 16, 32-bit .ico file; true on success.
bool WriteIconFile(const std::wstring& path);
