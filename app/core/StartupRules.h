#pragma once

// Whether the command line asks for a hidden start: "-hide" anywhere in it, letter case
// respected (so "--hide" and "x-hidey" count, "-HIDE" does not). Null counts as empty.
bool StartsHidden(const wchar_t* commandLine);

// Small screens (below 1400 x 800) get a DPI-aware process; on larger ones Windows scales it.
bool WantsDpiAwareness(int screenWidth, int screenHeight);
