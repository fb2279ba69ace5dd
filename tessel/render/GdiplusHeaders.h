#pragma once

// GDI+ needs the COM base declarations first.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
