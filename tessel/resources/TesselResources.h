#pragma once

// Resource ids inside Tessel.dll (shared by the .rc and the code).
#define IDR_TESSEL_SCROLL_HORIZONTAL 101 // PNG, 22 x 20
#define IDR_TESSEL_SCROLL_VERTICAL 102   // PNG, 12 x 72
#define IDR_TESSEL_FONT 106              // TTF, "Open Sans Semibold"
