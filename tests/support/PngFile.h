#pragma once

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include <string>

// Writes the image as a PNG file (GDI+ must be running); false when the write fails.
bool SavePng(Gdiplus::Image& image, const std::wstring& path);
