// far2l's wide editor as Linquo's core expects to reach it through EditorControl: lines
// as UTF-8 bytes, positions as byte offsets into them.
#pragma once

#include "far/plugin_wide.h"

// The host's wide EditorControl, to which BridgeEditorControl passes every call.
void BindWideEditor(wide::EditorControlFn control);

// The multibyte EditorControl the core calls: ECTL_GETSTRING hands out the line as UTF-8
// (valid until the second ECTL_GETSTRING after it), ECTL_SETSTRING turns it back into the
// editor's values (the part of the line the core left as it was keeps the values it had),
// and every position is moved between the core's byte offsets and the editor's
// character positions through the text of its line.
int FARAPI BridgeEditorControl(int command, void* param);
