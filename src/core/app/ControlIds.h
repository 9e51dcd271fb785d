#pragma once

// Identifiers of the main window's controls, of the commands, and of the resources. They are
// the names by which every part of the program addresses the same control or command.
namespace mopira::id {

// Controls of the main window.
inline constexpr int kCopyButton = 1;
inline constexpr int kAddButton = 1000;
inline constexpr int kTab = 1001;
inline constexpr int kFaceList = 1002;
inline constexpr int kFolderCombo = 1003;
inline constexpr int kLocationButton = 1004;
inline constexpr int kEdgeLeftButton = 1005;
inline constexpr int kEyeLeftButton = 1006;
inline constexpr int kMouthButton = 1007;
inline constexpr int kEyeRightButton = 1008;
inline constexpr int kEmotionRightButton = 1009;
inline constexpr int kEdgeRightButton = 1010;
inline constexpr int kEmotionLeftButton = 1011;
inline constexpr int kHelperCombo = 1012;
inline constexpr int kVariationList = 1015;
inline constexpr int kTypeList = 1016;
inline constexpr int kFaceGroup = 1017;
inline constexpr int kRandomButton = 1022;
inline constexpr int kFindEdit = 1023;
inline constexpr int kTopToolBar = 128;
inline constexpr int kListToolBar = 132;

// Commands.
inline constexpr int kAboutBox = 16;
inline constexpr int kDelete = 32771;
inline constexpr int kProperties = 32772;
inline constexpr int kCopy = 32776;
inline constexpr int kNewFace = 32777;
inline constexpr int kTopMost = 32779;
inline constexpr int kHelp = 57670;
inline constexpr int kListView = 59410;
inline constexpr int kDetailsView = 59411;
inline constexpr int kFindByLocation = 59412;
inline constexpr int kFindByText = 59413;
inline constexpr int kMove = 59416;
// Emoticon lists to and from other programs (the list's context menu).
inline constexpr int kImport = 32790;
inline constexpr int kExport = 32791;
// The library as an input method's user dictionary (the list's context menu).
inline constexpr int kExportDictionary = 32792;
// The reading of a folder, for search and dictionaries (the list's context menu).
inline constexpr int kFolderReading = 32793;

// Resources.
inline constexpr int kAppIcon = 128;
inline constexpr int kFolderIcon = 129;
inline constexpr int kOpenFolderIcon = 130;
inline constexpr int kFindByTextIcon = 131;
inline constexpr int kCopyIcon = 173;
inline constexpr int kAddIcon = 174;
inline constexpr int kFindByLocationIcon = 175;
inline constexpr int kRecentIcon = 176;
inline constexpr int kTopToolBarResource = 128;
inline constexpr int kListToolBarResource = 132;
inline constexpr int kFindModeToolBarResource = 133;
inline constexpr int kCheckMarkBitmap = 141;
inline constexpr int kAboutString = 101;

}  // namespace mopira::id
