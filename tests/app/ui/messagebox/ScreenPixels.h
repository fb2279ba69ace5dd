#pragma once

#include "tests/support/ScreenSnapshot.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// What the screen shows inside one rectangle, as 32-bit BGRA pixels, row by row from the top.
class ScreenPixels
{
public:
    explicit ScreenPixels(const RECT& screenRect);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool IsValid() const { return !m_pixels.empty(); }
    // The darkest of the three channels (0..255) at a point relative to the rectangle.
    int MinChannel(int x, int y) const;
    // The pixel as 0x00RRGGBB.
    std::uint32_t Rgb(int x, int y) const;
    // Writes a PNG file; true on success.
    bool SavePng(const std::wstring& path) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<std::uint32_t> m_pixels;
};
