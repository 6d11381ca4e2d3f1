// Records, constants and service types of the FAR Manager 1.6x plugin API, as the
// plugins and our host use them. On the 32-bit Windows target every record has the
// host's exact layout (packed on 2-byte boundaries). On 64-bit Windows the records follow
// the 64-bit layout the 1.x compatibility layer of Far 3 x64 uses: natural alignment, the
// plugin number as a pointer-sized integer, a pointer-sized panel item tail. On Linux the
// same field order as on 32-bit Windows is kept with the platform's pointer size.
// Built for far2l (QUARIX_FAR2L), the records take far2l's layout of this API instead:
// packed on 2-byte boundaries, 4096-byte module and folder paths, the plugin number as a
// pointer-sized integer, its own panel item and find record.
// Built as native Far 3 modules (QUARIX_FAR3), no host sees these records: the bridges
// convert them. There folder paths take QUARIX_MAX_PATH bytes and a panel item can carry a
// path too long for its find record.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#define FARAPI __stdcall
#define FAR_EXPORT extern "C" __declspec(dllexport)
#else
#define FARAPI
#define FAR_EXPORT extern "C" __attribute__((visibility("default")))
#endif

using DWORD = std::uint32_t;
using HANDLE = void*;
#define FAR_INVALID_HANDLE (reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)))
// The plugins' own path buffers: a longer path is skipped, never cut.
constexpr int kMaxPath = 260;

// The host's buffers for the module's path and a panel's folder.
#if defined(QUARIX_FAR2L)
constexpr int kHostPath = 4096;
#elif defined(QUARIX_FAR3)
constexpr int kHostPath = QUARIX_MAX_PATH;
#else
constexpr int kHostPath = kMaxPath;
#endif

// The number the host gives a plugin and takes back in its services. Far 3 x64 and far2l
// pass the address of their plugin object here, so it must hold a pointer there.
#if defined(_WIN64) || defined(QUARIX_FAR2L)
using FarModuleNumber = std::intptr_t;
#else
using FarModuleNumber = int;
#endif

#if !defined(_WIN64)
#pragma pack(push, 2)
#endif

struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};

// The file system's listing record (WIN32_FIND_DATAA): 318 bytes on every target.
struct FarFindData {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  char cFileName[kMaxPath];
  char cAlternateFileName[14];
};

constexpr DWORD kAttrReadOnly = 0x1;
constexpr DWORD kAttrHidden = 0x2;
constexpr DWORD kAttrDirectory = 0x10;
constexpr DWORD kAttrArchive = 0x20;
constexpr DWORD kAttrNormal = 0x80;
constexpr DWORD kAttrReparsePoint = 0x400;

#if defined(QUARIX_FAR2L)
// far2l's record of one panel entry's file: 64-bit sizes, the Unix mode, a name (or full
// path) of at most 254 bytes and no short name.
struct PanelFindData {
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  std::uint64_t nPhysicalSize;
  std::uint64_t nFileSize;
  DWORD dwFileAttributes;
  DWORD dwUnixMode;
  char cFileName[255];
};

struct PluginPanelItem {
  PanelFindData FindData;
  std::uintptr_t UserData;
  DWORD Flags;
  DWORD NumberOfLinks;
  char* Description;
  char* Owner;
  char* Group;
  char** CustomColumnData;
  int CustomColumnNumber;
  DWORD CRC32;
  std::uintptr_t Reserved[2];
};
#else
// A panel entry's file is the listing record itself.
using PanelFindData = FarFindData;

struct PluginPanelItem {
  FarFindData FindData;
  DWORD PackSizeHigh;
  DWORD PackSize;
  DWORD Flags;
  DWORD NumberOfLinks;
  char* Description;
  char* Owner;
  char** CustomColumnData;
  int CustomColumnNumber;
#if defined(_WIN64)
  std::intptr_t UserData;
  DWORD CRC32;
  std::intptr_t Reserved[2];
#else
  DWORD UserData;
  DWORD Reserved[3];
#endif
#if defined(QUARIX_FAR3)
  // The full path when it does not fit FindData.cFileName (then empty), else null.
  char* LongName;
#endif
};
#endif

struct SmallRect {
  int Left, Top, Right, Bottom;
};

struct PanelInfo {
  int PanelType;
  int Plugin;
  SmallRect PanelRect;
  PluginPanelItem* PanelItems;
  int ItemsNumber;
  PluginPanelItem* SelectedItems;
  int SelectedItemsNumber;
  int CurrentItem;
  int TopPanelItem;
  int Visible;
  int Focus;
  int ViewMode;
  char ColumnTypes[80];
  char ColumnWidths[80];
  char CurDir[kHostPath];
#if defined(QUARIX_FAR2L)
  int SortMode;
  DWORD Flags;
  DWORD Reserved;
#else
  int ShortNames;
  int SortMode;
  DWORD Reserved[2];
#endif
};

constexpr int PTYPE_FILEPANEL = 0;
constexpr int PTYPE_TREEPANEL = 1;
constexpr int PTYPE_QVIEWPANEL = 2;
constexpr int PTYPE_INFOPANEL = 3;

struct FarDialogItem {
  int Type;
  int X1, Y1, X2, Y2;
  int Focus;
  union {
#if defined(QUARIX_FAR2L)
    // far2l writes back only an int's 4 bytes of a check box's state.
    std::intptr_t Reserved;
    int Selected;
#else
    std::intptr_t Selected;
#endif
    const char* History;
    const char* Mask;
    void* ListItems;
  };
  DWORD Flags;
  int DefaultButton;
  char Data[512];
};

constexpr int DI_TEXT = 0;
constexpr int DI_VTEXT = 1;
constexpr int DI_SINGLEBOX = 2;
constexpr int DI_DOUBLEBOX = 3;
constexpr int DI_EDIT = 4;
constexpr int DI_PSWEDIT = 5;
constexpr int DI_FIXEDIT = 6;
constexpr int DI_BUTTON = 7;
constexpr int DI_CHECKBOX = 8;
constexpr int DI_RADIOBUTTON = 9;

constexpr DWORD DIF_BOXCOLOR = 0x200;
constexpr DWORD DIF_GROUP = 0x400;
constexpr DWORD DIF_CENTERGROUP = 0x4000;
constexpr DWORD DIF_SEPARATOR = 0x10000;
constexpr DWORD DIF_HISTORY = 0x40000;

constexpr DWORD FMSG_WARNING = 1;

struct FarMenuItem {
  char Text[128];
  int Selected;
  int Checked;
  int Separator;
};

struct PluginInfo {
  int StructSize;
  DWORD Flags;
  const char* const* DiskMenuStrings;
  int* DiskMenuNumbers;
  int DiskMenuStringsNumber;
  const char* const* PluginMenuStrings;
  int PluginMenuStringsNumber;
  const char* const* PluginConfigStrings;
  int PluginConfigStringsNumber;
  const char* CommandPrefix;
};

constexpr DWORD PF_PRELOAD = 1;
constexpr DWORD PF_DISABLEPANELS = 2;
constexpr DWORD PF_EDITOR = 4;
constexpr DWORD PF_VIEWER = 8;

struct InfoPanelLine;
struct PanelMode;

struct KeyBarTitles {
  char* Titles[12];
  char* CtrlTitles[12];
  char* AltTitles[12];
  char* ShiftTitles[12];
};

struct OpenPluginInfo {
  int StructSize;
  DWORD Flags;
  const char* HostFile;
  const char* CurDir;
  const char* Format;
  const char* PanelTitle;
  const InfoPanelLine* InfoLines;
  int InfoLinesNumber;
  const char* const* DescrFiles;
  int DescrFilesNumber;
  const PanelMode* PanelModesArray;
  int PanelModesNumber;
  int StartPanelMode;
  int StartSortMode;
  int StartSortOrder;
  const KeyBarTitles* KeyBar;
  const char* ShortcutData;
};

constexpr DWORD OPIF_USEFILTER = 1;
constexpr DWORD OPIF_USESORTGROUPS = 2;
constexpr DWORD OPIF_USEHIGHLIGHTING = 4;
constexpr DWORD OPIF_ADDDOTS = 8;
constexpr DWORD OPIF_RAWSELECTION = 16;
constexpr DWORD OPIF_REALNAMES = 32;
constexpr DWORD OPIF_SHOWNAMESONLY = 64;
constexpr DWORD OPIF_SHOWRIGHTALIGNNAMES = 128;

constexpr int OPEN_DISKMENU = 0;
constexpr int OPEN_PLUGINSMENU = 1;
constexpr int OPEN_FINDLIST = 2;
constexpr int OPEN_SHORTCUT = 3;
constexpr int OPEN_COMMANDLINE = 4;
constexpr int OPEN_EDITOR = 5;
constexpr int OPEN_VIEWER = 6;

constexpr int OPM_SILENT = 1;
constexpr int OPM_FIND = 2;
constexpr int OPM_VIEW = 4;

constexpr int FCTL_CLOSEPLUGIN = 0;
constexpr int FCTL_GETPANELINFO = 1;
constexpr int FCTL_GETANOTHERPANELINFO = 2;
constexpr int FCTL_UPDATEPANEL = 3;
constexpr int FCTL_UPDATEANOTHERPANEL = 4;
constexpr int FCTL_REDRAWPANEL = 5;
constexpr int FCTL_REDRAWANOTHERPANEL = 6;

constexpr int VK_F7 = 0x76;  // key code 118
constexpr int PKF_CONTROL = 1;
constexpr int PKF_ALT = 2;
constexpr int PKF_SHIFT = 4;

// Editor records.
struct EditorGetString {
  int StringNumber;
  const char* StringText;
  const char* StringEOL;
  int StringLength;
  int SelStart;
  int SelEnd;
};

struct EditorSetString {
  int StringNumber;
  char* StringText;
  char* StringEOL;
  int StringLength;
};

struct EditorInfo {
  int EditorID;
  const char* FileName;
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
  int AnsiMode;
  int TableNum;
  DWORD Options;
  int TabSize;
  int BookMarkCount;
  DWORD CurState;
  DWORD Reserved[6];
};

struct EditorConvertText {
  char* Text;
  int TextLength;
};

struct EditorSetPosition {
  int CurLine;
  int CurPos;
  int CurTabPos;
  int TopScreenLine;
  int LeftPos;
  int Overtype;
};

struct EditorSelect {
  int BlockType;
  int BlockStartLine;
  int BlockStartPos;
  int BlockWidth;
  int BlockHeight;
};

constexpr int ECTL_GETSTRING = 0;
constexpr int ECTL_SETSTRING = 1;
constexpr int ECTL_INSERTSTRING = 2;
constexpr int ECTL_DELETESTRING = 3;
constexpr int ECTL_DELETECHAR = 4;
constexpr int ECTL_INSERTTEXT = 5;
constexpr int ECTL_GETINFO = 6;
constexpr int ECTL_SETPOSITION = 7;
constexpr int ECTL_SELECT = 8;
constexpr int ECTL_REDRAW = 9;
// Text converted in place, byte for byte, from the table the editor shows its file in
// (ANSI, a user table) to OEM, and back.
constexpr int ECTL_EDITORTOOEM = 10;
constexpr int ECTL_OEMTOEDITOR = 11;

constexpr int BTYPE_NONE = 0;
constexpr int BTYPE_STREAM = 1;
constexpr int BTYPE_COLUMN = 2;

// Host services.
using FARAPIMENU = int(FARAPI*)(FarModuleNumber PluginNumber, int X, int Y, int MaxHeight, DWORD Flags,
                                const char* Title, const char* Bottom, const char* HelpTopic,
                                const int* BreakKeys, int* BreakCode, const FarMenuItem* Item,
                                int ItemsNumber);
using FARAPIDIALOG = int(FARAPI*)(FarModuleNumber PluginNumber, int X1, int Y1, int X2, int Y2,
                                  const char* HelpTopic, FarDialogItem* Item, int ItemsNumber);
using FARAPIMESSAGE = int(FARAPI*)(FarModuleNumber PluginNumber, DWORD Flags, const char* HelpTopic,
                                   const char* const* Items, int ItemsNumber, int ButtonsNumber);
using FARAPIGETMSG = const char*(FARAPI*)(FarModuleNumber PluginNumber, int MsgId);
using FARAPICONTROL = int(FARAPI*)(HANDLE hPlugin, int Command, void* Param);
using FARAPISAVESCREEN = HANDLE(FARAPI*)(int X1, int Y1, int X2, int Y2);
using FARAPIRESTORESCREEN = void(FARAPI*)(HANDLE hScreen);
using FARAPIGETDIRLIST = int(FARAPI*)(const char* Dir, PluginPanelItem** pPanelItem,
                                      int* pItemsNumber);
using FARAPIGETPLUGINDIRLIST = int(FARAPI*)(FarModuleNumber PluginNumber, HANDLE hPlugin, const char* Dir,
                                            PluginPanelItem** pPanelItem, int* pItemsNumber);
using FARAPIFREEDIRLIST = void(FARAPI*)(const PluginPanelItem* PanelItem);
using FARAPIVIEWER = int(FARAPI*)(const char* FileName, const char* Title, int X1, int Y1, int X2,
                                  int Y2, DWORD Flags);
using FARAPIEDITOR = int(FARAPI*)(const char* FileName, const char* Title, int X1, int Y1,
                                  int X2, int Y2, DWORD Flags, int StartLine, int StartChar);
using FARAPICMPNAME = int(FARAPI*)(const char* Pattern, const char* String, int SkipPath);
using FARAPICHARTABLE = int(FARAPI*)(int Command, char* Buffer, int BufferSize);
using FARAPITEXT = void(FARAPI*)(int X, int Y, int Color, const char* Str);
using FARAPIEDITORCONTROL = int(FARAPI*)(int Command, void* Param);

struct PluginStartupInfo {
  int StructSize;
  char ModuleName[kHostPath];
  FarModuleNumber ModuleNumber;
  const char* RootKey;
  FARAPIMENU Menu;
  FARAPIDIALOG Dialog;
  FARAPIMESSAGE Message;
  FARAPIGETMSG GetMsg;
  FARAPICONTROL Control;
  FARAPISAVESCREEN SaveScreen;
  FARAPIRESTORESCREEN RestoreScreen;
  FARAPIGETDIRLIST GetDirList;
  FARAPIGETPLUGINDIRLIST GetPluginDirList;
  FARAPIFREEDIRLIST FreeDirList;
  FARAPIVIEWER Viewer;
  FARAPIEDITOR Editor;
  FARAPICMPNAME CmpName;
  FARAPICHARTABLE CharTable;
  FARAPITEXT Text;
  FARAPIEDITORCONTROL EditorControl;
#if defined(QUARIX_FAR2L)
  // far2l's further services; the plugins use none of them.
  void* FSF;
  void* ShowHelp;
  void* AdvControl;
  void* InputBox;
  void* ColorDialog;
  void* DialogEx;
  void* SendDlgMessage;
  void* DefDlgProc;
  std::uintptr_t Reserved;
  void* ViewerControl;
#endif
};

#if !defined(_WIN64)
#pragma pack(pop)
#endif

#if defined(_WIN64) && !defined(QUARIX_FAR3)
static_assert(sizeof(FarFindData) == 320);
static_assert(sizeof(PluginStartupInfo) == 408);
static_assert(sizeof(FarDialogItem) == 552);
static_assert(sizeof(PluginPanelItem) == 400);
static_assert(sizeof(PluginInfo) == 72);
static_assert(sizeof(OpenPluginInfo) == 112);
static_assert(sizeof(KeyBarTitles) == 384);
static_assert(sizeof(PanelInfo) == 512);
#elif !defined(_WIN64)
static_assert(sizeof(FarFindData) == 318, "the listing record is 318 bytes");
#endif

#if defined(QUARIX_FAR2L)
// far2l's multibyte-API records on x86-64 Linux, field by field where the plugins read.
static_assert(sizeof(PluginStartupInfo) == 4324);
static_assert(offsetof(PluginStartupInfo, ModuleNumber) == 4100);
static_assert(offsetof(PluginStartupInfo, RootKey) == 4108);
static_assert(offsetof(PluginStartupInfo, Menu) == 4116);
static_assert(offsetof(PluginStartupInfo, EditorControl) == 4236);
static_assert(sizeof(PanelFindData) == 304);
static_assert(offsetof(PanelFindData, dwFileAttributes) == 40);
static_assert(offsetof(PanelFindData, cFileName) == 48);
static_assert(sizeof(PluginPanelItem) == 376);
static_assert(offsetof(PluginPanelItem, UserData) == 304);
static_assert(offsetof(PluginPanelItem, CustomColumnNumber) == 352);
static_assert(sizeof(PanelInfo) == 4336);
static_assert(offsetof(PanelInfo, SelectedItems) == 36);
static_assert(offsetof(PanelInfo, CurDir) == 228);
static_assert(sizeof(FarDialogItem) == 552);
static_assert(offsetof(FarDialogItem, Data) == 40);
static_assert(sizeof(PluginInfo) == 60);
static_assert(sizeof(OpenPluginInfo) == 104);
static_assert(sizeof(EditorInfo) == 104);
#endif

#if defined(_WIN32) && !defined(_WIN64) && !defined(QUARIX_FAR3)
static_assert(sizeof(PluginStartupInfo) == 336);
static_assert(sizeof(FarDialogItem) == 548);
static_assert(sizeof(PluginPanelItem) == 366);
static_assert(sizeof(PluginInfo) == 40);
static_assert(sizeof(OpenPluginInfo) == 68);
static_assert(sizeof(KeyBarTitles) == 192);
static_assert(sizeof(PanelInfo) == 496);
#endif

// Entry points, as the host resolves them by name.
using SetStartupInfoFn = void(FARAPI*)(const PluginStartupInfo* Info);
using GetPluginInfoFn = void(FARAPI*)(PluginInfo* Info);
using OpenPluginFn = HANDLE(FARAPI*)(int OpenFrom, std::intptr_t Item);
using ExitFARFn = void(FARAPI*)();
using ConfigureFn = int(FARAPI*)(int ItemNumber);
using GetOpenPluginInfoFn = void(FARAPI*)(HANDLE hPlugin, OpenPluginInfo* Info);
using GetFindDataFn = int(FARAPI*)(HANDLE hPlugin, PluginPanelItem** pPanelItem,
                                   int* pItemsNumber, int OpMode);
using SetDirectoryFn = int(FARAPI*)(HANDLE hPlugin, const char* Dir, int OpMode);
using ProcessKeyFn = int(FARAPI*)(HANDLE hPlugin, int Key, unsigned int ControlState);
using ClosePluginFn = void(FARAPI*)(HANDLE hPlugin);
using ReloadETextFn = int(FARAPI*)();
