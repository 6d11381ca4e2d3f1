// Records, constants and service types of Far Manager 3's own Unicode plugin API, as far as
// the native Trawlix and Linquo use them: our declarations, laid out as the host lays its
// records out on x86 and x64 (natural alignment; the sizes and offsets are checked below).
// Text is wchar_t, which is UTF-16 on Windows. Only the native Far 3 build includes this.
#pragma once

#include <cstddef>
#include <cstdint>

#include "far/plugin.h"

namespace far3 {

#if defined(_WIN32)
#define FAR3_EXPORT extern "C" __declspec(dllexport)
#else
#define FAR3_EXPORT extern "C"
#endif

using IntPtr = std::intptr_t;
using UIntPtr = std::uintptr_t;
using Flags64 = std::uint64_t;
using WORD = std::uint16_t;

// Windows' GUID, byte for byte.
struct Uuid {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];
};

inline bool operator==(const Uuid& a, const Uuid& b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (int i = 0; i < 8; ++i)
    if (a.Data4[i] != b.Data4[i]) return false;
  return true;
}

struct Rect {
  std::int32_t Left, Top, Right, Bottom;
};

struct KeyEventRecord {
  std::int32_t bKeyDown;
  WORD wRepeatCount;
  WORD wVirtualKeyCode;
  WORD wVirtualScanCode;
  wchar_t UnicodeChar;
  DWORD dwControlKeyState;
};

// Windows' INPUT_RECORD: the event type, then the largest event (a key event here).
struct InputRecord {
  WORD EventType;
  union {
    KeyEventRecord KeyEvent;
    std::uint8_t Other[16];
  };
};
constexpr WORD KEY_EVENT = 1;
// dwControlKeyState bits.
constexpr DWORD RIGHT_ALT_PRESSED = 0x1, LEFT_ALT_PRESSED = 0x2, RIGHT_CTRL_PRESSED = 0x4,
                LEFT_CTRL_PRESSED = 0x8, SHIFT_PRESSED = 0x10;

enum VersionStage : int { VS_RELEASE = 0 };

struct VersionInfo {
  DWORD Major, Minor, Revision, Build;
  VersionStage Stage;
};

struct GlobalInfo {
  std::size_t StructSize;
  VersionInfo MinFarVersion;
  VersionInfo Version;
  Uuid Guid;
  const wchar_t* Title;
  const wchar_t* Description;
  const wchar_t* Author;
  void* Instance;
};

struct PluginMenuItem {
  const Uuid* Guids;
  const wchar_t* const* Strings;
  std::size_t Count;
};

struct PluginInfo {
  std::size_t StructSize;
  Flags64 Flags;
  PluginMenuItem DiskMenu;
  PluginMenuItem PluginMenu;
  PluginMenuItem PluginConfig;
  const wchar_t* CommandPrefix;
  void* Instance;
};
constexpr Flags64 PF_DISABLEPANELS = 0x2, PF_EDITOR = 0x4;

enum OpenFromKind : int {
  OPEN_PLUGINSMENU = 1,
  OPEN_COMMANDLINE = 4,
  OPEN_EDITOR = 5,
  OPEN_FROMMACRO = 11,
};

struct OpenInfo {
  std::size_t StructSize;
  OpenFromKind OpenFrom;
  const Uuid* Guid;
  IntPtr Data;
  void* Instance;
};

struct OpenCommandLineInfo {
  std::size_t StructSize;
  const wchar_t* CommandLine;
};

struct ConfigureInfo {
  std::size_t StructSize;
  const Uuid* Guid;
  void* Instance;
};

struct ExitInfo {
  std::size_t StructSize;
  void* Instance;
};

// Dialogs.
enum DialogItemType : int {
  DI_TEXT = 0,
  DI_SINGLEBOX = 2,
  DI_DOUBLEBOX = 3,
  DI_EDIT = 4,
  DI_PSWEDIT = 5,
  DI_FIXEDIT = 6,
  DI_BUTTON = 7,
  DI_CHECKBOX = 8,
  DI_RADIOBUTTON = 9,
};
constexpr Flags64 DIF_BOXCOLOR = 0x200, DIF_GROUP = 0x400, DIF_CENTERGROUP = 0x4000,
                  DIF_SEPARATOR = 0x10000, DIF_HISTORY = 0x40000,
                  DIF_USELASTHISTORY = 0x200000, DIF_DEFAULTBUTTON = 0x100000000ull,
                  DIF_FOCUS = 0x200000000ull;

struct FarDialogItem {
  DialogItemType Type;
  IntPtr X1, Y1, X2, Y2;
  IntPtr Selected;
  const wchar_t* History;
  const wchar_t* Mask;
  Flags64 Flags;
  const wchar_t* Data;
  std::size_t MaxLength;  // characters, the terminating zero not counted; 0: no limit
  IntPtr UserData;
  IntPtr Reserved[2];
};

constexpr IntPtr DM_GETCHECK = 25, DM_GETCONSTTEXTPTR = 63;

struct FarSettingsCreate {
  std::size_t StructSize;
  Uuid Guid;
  HANDLE Handle;
};

enum SettingsType : int { FST_UNKNOWN = 0, FST_SUBKEY = 1, FST_QWORD = 2, FST_STRING = 3, FST_DATA = 4 };

struct FarSettingsItem {
  std::size_t StructSize;
  std::size_t Root;
  const wchar_t* Name;
  SettingsType Type;
  union {
    std::uint64_t Number;
    const wchar_t* String;
    struct {
      std::size_t Size;
      const void* Data;
    } Data;
  };
};
enum SettingsCommand : int {
  SCTL_CREATE = 0,
  SCTL_FREE = 1,
  SCTL_SET = 2,
  SCTL_GET = 3,
  SCTL_ENUM = 4,
};
constexpr IntPtr PSL_ROAMING = 0;

struct FarSettingsName {
  const wchar_t* Name;
  SettingsType Type;
};

struct FarSettingsEnum {
  std::size_t StructSize;
  std::size_t Root;
  std::size_t Count;
  const FarSettingsName* Items;
};

// The editor.
struct EditorGetString {
  std::size_t StructSize;
  IntPtr StringNumber;
  IntPtr StringLength;
  const wchar_t* StringText;
  const wchar_t* StringEOL;
  IntPtr SelStart;
  IntPtr SelEnd;
};

struct EditorSetString {
  std::size_t StructSize;
  IntPtr StringNumber;
  IntPtr StringLength;
  const wchar_t* StringText;
  const wchar_t* StringEOL;
};

struct EditorInfo {
  std::size_t StructSize;
  IntPtr EditorID;
  IntPtr WindowSizeX;
  IntPtr WindowSizeY;
  IntPtr TotalLines;
  IntPtr CurLine;
  IntPtr CurPos;
  IntPtr CurTabPos;
  IntPtr TopScreenLine;
  IntPtr LeftPos;
  IntPtr Overtype;
  IntPtr BlockType;
  IntPtr BlockStartLine;
  UIntPtr Options;
  IntPtr TabSize;
  std::size_t BookmarkCount;
  std::size_t SessionBookmarkCount;
  UIntPtr CurState;
  UIntPtr CodePage;
  Rect WindowArea;
  Rect ClientArea;
};

struct EditorSetPosition {
  std::size_t StructSize;
  IntPtr CurLine;
  IntPtr CurPos;
  IntPtr CurTabPos;
  IntPtr TopScreenLine;
  IntPtr LeftPos;
  IntPtr Overtype;
};

struct EditorSelect {
  std::size_t StructSize;
  IntPtr BlockType;
  IntPtr BlockStartLine;
  IntPtr BlockStartPos;
  IntPtr BlockWidth;
  IntPtr BlockHeight;
};
// The editor that has the focus.
constexpr IntPtr kCurrentEditor = -1;
enum EditorCommand : int {
  ECTL_GETSTRING = 0,
  ECTL_SETSTRING = 1,
  ECTL_GETINFO = 6,
  ECTL_SETPOSITION = 7,
  ECTL_SELECT = 8,
  ECTL_REDRAW = 9,
};

// Panels.
struct PanelInfo {
  std::size_t StructSize;
  HANDLE PluginHandle;
  Uuid OwnerGuid;
  Flags64 Flags;
  std::size_t ItemsNumber;
  std::size_t SelectedItemsNumber;
  Rect PanelRect;
  std::size_t CurrentItem;
  std::size_t TopPanelItem;
  IntPtr ViewMode;
  int PanelType;
  int SortMode;
};
constexpr Flags64 PFLAGS_PLUGIN = 0x800, PFLAGS_VISIBLE = 0x1000;
enum PanelCommand : int {
  FCTL_CLOSEPANEL = 0,
  FCTL_GETPANELINFO = 1,
  FCTL_UPDATEPANEL = 2,
  FCTL_REDRAWPANEL = 3,
  FCTL_GETPANELITEM = 21,
  FCTL_GETSELECTEDPANELITEM = 22,
  FCTL_GETPANELDIRECTORY = 24,
};
#define FAR3_PANEL_ACTIVE (reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)))
#define FAR3_PANEL_PASSIVE (reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-2)))

struct UserDataItem {
  void* Data;
  void* FreeData;
};

struct PluginPanelItem {
  FILETIME CreationTime;
  FILETIME LastAccessTime;
  FILETIME LastWriteTime;
  FILETIME ChangeTime;
  std::uint64_t FileSize;
  std::uint64_t AllocationSize;
  const wchar_t* FileName;
  const wchar_t* AlternateFileName;
  const wchar_t* Description;
  const wchar_t* Owner;
  const wchar_t* const* CustomColumnData;
  std::size_t CustomColumnNumber;
  Flags64 Flags;
  UserDataItem UserData;
  UIntPtr FileAttributes;
  UIntPtr NumberOfLinks;
  UIntPtr CRC32;
  IntPtr Reserved[2];
};

struct FarGetPluginPanelItem {
  std::size_t StructSize;
  std::size_t Size;
  PluginPanelItem* Item;
};

struct FarPanelDirectory {
  std::size_t StructSize;
  const wchar_t* Name;
  const wchar_t* Param;
  Uuid PluginId;
  const wchar_t* File;
};

struct FarKey {
  WORD VirtualKeyCode;
  DWORD ControlKeyState;
};

struct KeyBarLabel {
  FarKey Key;
  const wchar_t* Text;
  const wchar_t* LongText;
};

struct KeyBarTitles {
  std::size_t CountLabels;
  KeyBarLabel* Labels;
};

struct OpenPanelInfo {
  std::size_t StructSize;
  HANDLE hPanel;
  Flags64 Flags;
  const wchar_t* HostFile;
  const wchar_t* CurDir;
  const wchar_t* Format;
  const wchar_t* PanelTitle;
  const void* InfoLines;
  std::size_t InfoLinesNumber;
  const wchar_t* const* DescrFiles;
  std::size_t DescrFilesNumber;
  const void* PanelModesArray;
  std::size_t PanelModesNumber;
  IntPtr StartPanelMode;
  int StartSortMode;
  IntPtr StartSortOrder;
  const KeyBarTitles* KeyBar;
  const wchar_t* ShortcutData;
  std::uint64_t FreeSize;
  UserDataItem UserData;
  void* Instance;
};
constexpr Flags64 OPIF_DISABLEFILTER = 0x1, OPIF_DISABLESORTGROUPS = 0x2,
                  OPIF_DISABLEHIGHLIGHTING = 0x4, OPIF_ADDDOTS = 0x8, OPIF_RAWSELECTION = 0x10,
                  OPIF_REALNAMES = 0x20, OPIF_SHOWNAMESONLY = 0x40,
                  OPIF_SHOWRIGHTALIGNNAMES = 0x80;
constexpr Flags64 OPM_FIND = 0x2;

struct GetFindDataInfo {
  std::size_t StructSize;
  HANDLE hPanel;
  PluginPanelItem* PanelItem;
  std::size_t ItemsNumber;
  Flags64 OpMode;
  void* Instance;
};

struct FreeFindDataInfo {
  std::size_t StructSize;
  HANDLE hPanel;
  PluginPanelItem* PanelItem;
  std::size_t ItemsNumber;
  void* Instance;
};

struct SetDirectoryInfo {
  std::size_t StructSize;
  HANDLE hPanel;
  const wchar_t* Dir;
  IntPtr Reserved;
  Flags64 OpMode;
  UserDataItem UserData;
  void* Instance;
};

struct ProcessPanelInputInfo {
  std::size_t StructSize;
  HANDLE hPanel;
  InputRecord Rec;
  void* Instance;
};

struct ClosePanelInfo {
  std::size_t StructSize;
  HANDLE hPanel;
  void* Instance;
};

constexpr Flags64 FMSG_WARNING = 0x1;

// The host's services, in the order of its startup record.
using MessageFn = IntPtr(FARAPI*)(const Uuid* plugin, const Uuid* id, Flags64 flags,
                                  const wchar_t* helpTopic, const wchar_t* const* items,
                                  std::size_t itemsNumber, IntPtr buttonsNumber);
using GetMsgFn = const wchar_t*(FARAPI*)(const Uuid* plugin, IntPtr id);
using PanelControlFn = IntPtr(FARAPI*)(HANDLE panel, int command, IntPtr param1, void* param2);
using SaveScreenFn = HANDLE(FARAPI*)(IntPtr x1, IntPtr y1, IntPtr x2, IntPtr y2);
using RestoreScreenFn = void(FARAPI*)(HANDLE screen);
using EditorControlFn = IntPtr(FARAPI*)(IntPtr editorId, int command, IntPtr param1,
                                        void* param2);
using DialogProcFn = IntPtr(FARAPI*)(HANDLE dialog, IntPtr msg, IntPtr param1, void* param2);
using DialogInitFn = HANDLE(FARAPI*)(const Uuid* plugin, const Uuid* id, IntPtr x1, IntPtr y1,
                                     IntPtr x2, IntPtr y2, const wchar_t* helpTopic,
                                     const FarDialogItem* items, std::size_t count,
                                     IntPtr reserved, Flags64 flags, DialogProcFn proc,
                                     void* param);
using DialogRunFn = IntPtr(FARAPI*)(HANDLE dialog);
using DialogFreeFn = void(FARAPI*)(HANDLE dialog);
using SendDlgMessageFn = IntPtr(FARAPI*)(HANDLE dialog, IntPtr msg, IntPtr param1,
                                         void* param2);
using SettingsControlFn = IntPtr(FARAPI*)(HANDLE settings, int command, IntPtr param1,
                                          void* param2);
using AnyFn = void(FARAPI*)();

struct PluginStartupInfo {
  std::size_t StructSize;
  const wchar_t* ModuleName;
  AnyFn Menu;
  MessageFn Message;
  GetMsgFn GetMsg;
  PanelControlFn PanelControl;
  SaveScreenFn SaveScreen;
  RestoreScreenFn RestoreScreen;
  AnyFn GetDirList;
  AnyFn GetPluginDirList;
  AnyFn FreeDirList;
  AnyFn FreePluginDirList;
  AnyFn Viewer;
  AnyFn Editor;
  AnyFn Text;
  EditorControlFn EditorControl;
  void* FSF;
  AnyFn ShowHelp;
  AnyFn AdvControl;
  AnyFn InputBox;
  AnyFn ColorDialog;
  DialogInitFn DialogInit;
  DialogRunFn DialogRun;
  DialogFreeFn DialogFree;
  SendDlgMessageFn SendDlgMessage;
  AnyFn DefDlgProc;
  AnyFn ViewerControl;
  AnyFn PluginsControl;
  AnyFn FileFilterControl;
  AnyFn RegExpControl;
  AnyFn MacroControl;
  SettingsControlFn SettingsControl;
  const void* Private;
  void* Instance;
  AnyFn FreeScreen;
};

}  // namespace far3
