// What the native modules tell Far 3 about themselves.
#pragma once

#include <string>
#include <vector>

#include "far/plugin.h"
#include "far3/plugin3.h"

// Fills the module's description: its GUID, title, the release's version.
void DescribeModule(far3::GlobalInfo* info, const far3::Uuid& guid, const wchar_t* title,
                    const wchar_t* description);

// Menu texts of the core (UTF-8), converted once and kept for the module's life.
struct WideMenu {
  std::vector<std::wstring> texts;
  std::vector<const wchar_t*> pointers;
};
void FillWideMenu(const char* const* strings, int count, WideMenu* menu);

// The position of a menu item's GUID among guids, or -1.
int FindMenuItem(const far3::Uuid* item, const far3::Uuid* guids, std::size_t count);
