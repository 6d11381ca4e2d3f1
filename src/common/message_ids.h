// The message numbers by name: each value is the line of its text in the language files
// (lng/QuarixEng.lng, lng/QuarixRus.lng), message 0 first. Both plugins share this one
// numbering (after a search Linquo reads Trawlix's texts), so a name means the same text
// to both. The numbers are stored in no file, but the language files are laid out by
// them: a new message goes at the end, an unused slot keeps its place.
#pragma once

enum MessageId : int {
  // Buttons of the dialogs, the warnings and the questions.
  kMsgOk = 0,
  kMsgCancel = 1,
  kMsgUnused2 = 2,
  // The results panel: its title and format, and the label of F7.
  kMsgFoundFiles = 3,
  kMsgRemoveKey = 4,
  kMsgUnused5 = 5,
  kMsgUnused6 = 6,
  // Trawlix's title (menus, search dialog, configuration, progress; Linquo's search),
  // and the replace commands' title.
  kMsgPluginTitle = 7,
  kMsgReplaceTitle = 8,
  // The file search and replace dialogs.
  kMsgMasks = 9,
  kMsgSearchFor = 10,
  kMsgCaseSensitive = 11,
  // The search modes; the dialog shows them in the order 12, 13, 15, 14, 16, 17.
  // 13 is also Linquo's pattern check box; 15 also labels the replace's window mode.
  kMsgModePlain = 12,
  kMsgModeRegex = 13,
  kMsgModeRegexWindow = 14,
  kMsgModeRegexMultiLine = 15,
  kMsgModeWords = 16,
  kMsgModeRegexWords = 17,
  // The scopes, FSearchIn 0 to 4.
  kMsgScopeAllDrives = 18,
  kMsgScopeCurrentDrive = 19,
  kMsgScopeFolderTree = 20,
  kMsgScopeFolderOnly = 21,
  kMsgScopeSelectedFolders = 22,
  kMsgInverse = 23,
  // The search progress, one decimal number each.
  kMsgFilesTested = 24,
  kMsgFilesFound = 25,
  // The file replace dialog's options.
  kMsgListChanged = 26,
  kMsgConfirmFile = 27,
  kMsgConfirmMatch = 28,
  kMsgKeepBackup = 29,
  // Questions and warnings, each above a text or a file name.
  kMsgReplaceInFile = 30,
  kMsgInTheFile = 31,
  kMsgCannotRead = 32,
  kMsgCannotWrite = 33,
  // The configuration dialog and its warning.
  kMsgWindowLines = 34,
  kMsgReadLimit = 35,
  kMsgKilobytes = 36,
  kMsgMaskDelimiter = 37,
  kMsgMaskNegation = 38,
  kMsgDotStarNoExtension = 39,
  kMsgInvalidNumber = 40,
  // The replace dialogs and the editor.
  kMsgSearchText = 41,
  kMsgReplaceWith = 42,
  kMsgBackward = 43,
  kMsgInSelection = 44,
  kMsgRepeat = 45,
  kMsgCannotFind = 46,
  // The match question: above the match and above the replacement.
  kMsgReplaceTheText = 47,
  kMsgWith = 48,
  // Linquo's dialog buttons; 50 to 52 are also the questions' buttons.
  kMsgSearchButton = 49,
  kMsgReplaceButton = 50,
  kMsgAllButton = 51,
  kMsgSkipButton = 52,
  // The pattern engine gave up on a file: the reason, and what became of the file.
  kMsgBacktrackingLimit = 53,
  kMsgDepthLimit = 54,
  kMsgMemoryLimit = 55,
  kMsgNotListed = 56,
  kMsgLeftUnchanged = 57,
  kMsgLaterNotReported = 58,
  // Why a file was left alone: another program wrote it meanwhile.
  kMsgChangedMeanwhile = 59,
  // The results panel's title when files were left out (one decimal number).
  kMsgFoundFilesLeftOut = 60,
  // After a walk that removed temporary files of replaces that died: above their number.
  kMsgTemporariesRemoved = 61,
  // The configuration dialog's label of the threads field.
  kMsgThreads = 62,
  // Why a file was left alone: its encoding cannot spell a replacement (below its name).
  kMsgNotInEncoding = 63,
  // The configuration dialog's label of the encodings field.
  kMsgEncodings = 64,
  // A list of encodings with a name no reading knows: above the name, then above the
  // names that are known.
  kMsgUnknownEncoding = 65,
  kMsgKnownEncodings = 66,
  // Added to the results panel's title after the number of names that could not be
  // searched.
  kMsgNamesNotSearched = 67,

  kMessageCount  // the lines of text each language file holds
};
