// Trawlix's dialogs: the file search dialog and the configuration dialog.
#pragma once

struct CompiledSearch;

// Shows the file search dialog until the user confirms a text that compiles or leaves it.
// 1: confirmed, the settings hold the dialog's values and *compiled what the compile step
// made of them; 0 otherwise.
int ShowSearchDialog(CompiledSearch* compiled);
// The configuration dialog behind the Configure entry point: 1 when the settings were
// accepted and saved, 0 when the dialog was left without OK.
int ShowConfigDialog();
