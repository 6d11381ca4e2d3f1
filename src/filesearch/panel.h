// The results panel as the host sees it: its description, its entries, the way out
// through "..", and the removal of entries with F7. Its handle is always 1.
#pragma once

#include "far/plugin.h"

// The handle of every panel this plugin opens.
inline HANDLE ResultsPanelHandle() { return reinterpret_cast<HANDLE>(std::intptr_t{1}); }

void DescribeResultsPanel(OpenPluginInfo* info);
// Hands out the results list as it stands; the host never releases it.
int HandOutResults(PluginPanelItem** items, int* count);
// 1 when the host was asked to close the panel and show dir, 0 when refused.
int ChangeResultsDirectory(const char* dir, int opMode);
// 1 when the key was handled (a plain F7), 0 to leave it to the host.
int ProcessResultsKey(int key, unsigned int controlState);
// Drops the entries selected on the results panel (or the current one) from the list.
void RemoveSelectedResults();
void CloseResultsPanel();
