#pragma once

// The program's one name: the single-instance mutex, the main window's marker property, the tray
// tooltip and the settings key under HKEY_CURRENT_USER\SOFTWARE are all called by it.
inline constexpr wchar_t kProgramTitle[] = L"Tarvik Kelvane";
