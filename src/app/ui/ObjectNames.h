#pragma once
// The object names of the main window's controls that other code and the tests find them
// by: the Options menu with its option items, and the menus of the pack command.
namespace kt::objectNames {

inline constexpr char FileMnu[] = "FileMnu";
inline constexpr char ActionMnu[] = "ActionMnu";
inline constexpr char PackMnu[] = "PackMnu";

inline constexpr char OptionMnu[] = "OptionMnu";
inline constexpr char GeneralMnu[] = "GeneralMnu";
inline constexpr char SaveMnu[] = "SaveMnu";
inline constexpr char OverwriteMnu[] = "OverwriteMnu";
inline constexpr char OverwriteNoMnu[] = "OverwriteNoMnu";
inline constexpr char OverwritePromptMnu[] = "OverwritePromptMnu";
inline constexpr char OverwriteNoPromptMnu[] = "OverwriteNoPromptMnu";
inline constexpr char Spdmnu[] = "Spdmnu";
inline constexpr char SlowSpeedChk[] = "SlowSpeedChk";
inline constexpr char NormalSpeedChk[] = "NormalSpeedChk";
inline constexpr char FastSpeedChk[] = "FastSpeedChk";
inline constexpr char UltraSpeedChk[] = "UltraSpeedChk";
inline constexpr char DelAfterActionMnu[] = "DelAfterActionMnu";
inline constexpr char DelNoMnu[] = "DelNoMnu";
inline constexpr char DelPromptMnu[] = "DelPromptMnu";
inline constexpr char DelNoPromptMnu[] = "DelNoPromptMnu";
inline constexpr char MCheckMnu[] = "MCheckMnu";
inline constexpr char SeamlessMnu[] = "SeamlessMnu";

} // namespace kt::objectNames
