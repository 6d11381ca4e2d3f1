// Records, constants and service types of far2l's wide plugin API (modules named
// *.far-plug-wide), as far as Linquo uses them. Text is wchar_t, which is UTF-32 on Linux.
// Records are packed on 2-byte boundaries, as far2l packs them on x86_64 Linux. Only the
// far2l build of Linquo uses this header.
#pragma once

#include <cstddef>
#include <cstdint>

#include "far/plugin.h"

namespace wide {

using LongPtr = std::intptr_t;
using DialogProc = LongPtr(FARAPI*)(HANDLE hDlg, int Msg, int Param1, LongPtr Param2);

#pragma pack(push, 2)

struct FarDialogItem {
  int Type;
  int X1, Y1, X2, Y2;
  int Focus;
  union {
    std::uintptr_t Reserved;
    int Selected;
    const wchar_t* History;
    const wchar_t* Mask;
  };
  DWORD Flags;
  int DefaultButton;
  const wchar_t* PtrData;
  std::size_t MaxLen;  // characters, the terminating zero not counted; 0: no limit
};

struct PluginInfo {
  int StructSize;
  DWORD Flags;
  const wchar_t* const* DiskMenuStrings;
  int* Reserved0;
  int DiskMenuStringsNumber;
  const wchar_t* const* PluginMenuStrings;
  int PluginMenuStringsNumber;
  const wchar_t* const* PluginConfigStrings;
  int PluginConfigStringsNumber;
  const wchar_t* CommandPrefix;
  DWORD SysID;
};

struct EditorGetString {
  int StringNumber;
  const wchar_t* StringText;
  const wchar_t* StringEOL;
  int StringLength;
  int SelStart;
  int SelEnd;
};

struct EditorSetString {
  int StringNumber;
  const wchar_t* StringText;
  const wchar_t* StringEOL;
  int StringLength;
};

struct EditorInfo {
  int EditorID;
  int WindowSizeX;
  int WindowSizeY;
  int TotalLines;
  int CurLine;
  int CurPos;
  int CurTabPos;
  int TopScreenLine;
  int LeftPos;
  int Overtype;
  int BlockType;
  int BlockStartLine;
  DWORD Options;
  int TabSize;
  int BookMarkCount;
  DWORD CurState;
  unsigned int CodePage;
  int WindowX;
  int WindowY;
  DWORD Reserved[3];
};

// The position and selection records are those of the multibyte API (far/plugin.h).

using MenuFn = int(FARAPI*)(std::intptr_t PluginNumber, int X, int Y, int MaxHeight, DWORD Flags,
                            const wchar_t* Title, const wchar_t* Bottom, const wchar_t* HelpTopic,
                            const int* BreakKeys, int* BreakCode, const void* Item,
                            int ItemsNumber);
using MessageFn = std::intptr_t(FARAPI*)(std::intptr_t PluginNumber, DWORD Flags,
                                         const wchar_t* HelpTopic, const wchar_t* const* Items,
                                         int ItemsNumber, int ButtonsNumber);
using GetMsgFn = const wchar_t*(FARAPI*)(std::intptr_t PluginNumber, int MsgId);
using EditorControlFn = int(FARAPI*)(int Command, void* Param);
using DialogInitFn = HANDLE(FARAPI*)(std::intptr_t PluginNumber, int X1, int Y1, int X2, int Y2,
                                     const wchar_t* HelpTopic, FarDialogItem* Item,
                                     unsigned int ItemsNumber, DWORD Reserved, DWORD Flags,
                                     DialogProc DlgProc, LongPtr Param);
using DialogRunFn = int(FARAPI*)(HANDLE hDlg);
using DialogFreeFn = void(FARAPI*)(HANDLE hDlg);
using SendDlgMessageFn = LongPtr(FARAPI*)(HANDLE hDlg, int Msg, int Param1, LongPtr Param2);

// Services Linquo does not call are kept as untyped pointers.
struct PluginStartupInfo {
  int StructSize;
  const wchar_t* ModuleName;
  std::intptr_t ModuleNumber;
  const wchar_t* RootKey;
  MenuFn Menu;
  MessageFn Message;
  GetMsgFn GetMsg;
  void* Control;
  void* SaveScreen;
  void* RestoreScreen;
  void* GetDirList;
  void* GetPluginDirList;
  void* FreeDirList;
  void* FreePluginDirList;
  void* Viewer;
  void* Editor;
  void* CmpName;
  void* Text;
  EditorControlFn EditorControl;
  void* FSF;
  void* ShowHelp;
  void* AdvControl;
  void* AdvControlAsync;
  void* InputBox;
  DialogInitFn DialogInit;
  DialogRunFn DialogRun;
  DialogFreeFn DialogFree;
  SendDlgMessageFn SendDlgMessage;
  void* DefDlgProc;
  std::uintptr_t Reserved;
  void* ViewerControl;
  void* PluginsControl;
  void* FileFilterControl;
  void* RegExpControl;
  void* ColorDialog;
};

#pragma pack(pop)

// Dialog messages (the Dialog's item state after it ran).
constexpr int DM_GETCHECK = 25;
constexpr int DM_GETCONSTTEXTPTR = 64;

// Item types beyond the multibyte API's.
constexpr int DI_COMBOBOX = 10;

// Checked against far2l's own declarations on x86_64 Linux.
static_assert(sizeof(wchar_t) == 4, "far2l's wide text is UTF-32");
static_assert(sizeof(PluginStartupInfo) == 276);
static_assert(offsetof(PluginStartupInfo, ModuleNumber) == 12);
static_assert(offsetof(PluginStartupInfo, Menu) == 28);
static_assert(offsetof(PluginStartupInfo, Message) == 36);
static_assert(offsetof(PluginStartupInfo, GetMsg) == 44);
static_assert(offsetof(PluginStartupInfo, EditorControl) == 140);
static_assert(offsetof(PluginStartupInfo, FSF) == 148);
static_assert(offsetof(PluginStartupInfo, DialogInit) == 188);
static_assert(offsetof(PluginStartupInfo, DialogRun) == 196);
static_assert(offsetof(PluginStartupInfo, DialogFree) == 204);
static_assert(offsetof(PluginStartupInfo, SendDlgMessage) == 212);
static_assert(offsetof(PluginStartupInfo, ColorDialog) == 268);
static_assert(sizeof(PluginInfo) == 64);
static_assert(offsetof(PluginInfo, PluginMenuStrings) == 28);
static_assert(offsetof(PluginInfo, PluginMenuStringsNumber) == 36);
static_assert(offsetof(PluginInfo, CommandPrefix) == 52);
static_assert(offsetof(PluginInfo, SysID) == 60);
static_assert(sizeof(FarDialogItem) == 56);
static_assert(offsetof(FarDialogItem, Selected) == 24);
static_assert(offsetof(FarDialogItem, Flags) == 32);
static_assert(offsetof(FarDialogItem, DefaultButton) == 36);
static_assert(offsetof(FarDialogItem, PtrData) == 40);
static_assert(offsetof(FarDialogItem, MaxLen) == 48);
static_assert(sizeof(EditorGetString) == 32);
static_assert(offsetof(EditorGetString, StringLength) == 20);
static_assert(offsetof(EditorGetString, SelEnd) == 28);
static_assert(sizeof(EditorSetString) == 24);
static_assert(offsetof(EditorSetString, StringLength) == 20);
static_assert(sizeof(EditorInfo) == 88);
static_assert(offsetof(EditorInfo, TotalLines) == 12);
static_assert(offsetof(EditorInfo, CurPos) == 20);
static_assert(offsetof(EditorInfo, LeftPos) == 32);
static_assert(offsetof(EditorInfo, BlockType) == 40);
static_assert(offsetof(EditorInfo, CodePage) == 64);
static_assert(sizeof(::EditorSetPosition) == 24);
static_assert(sizeof(::EditorSelect) == 20);

}  // namespace wide
