// The procedures' own texts and names, byte for byte, in one place: where the product goes,
// the captions and texts of their boxes, the status lines, the uninstall entry's words, and
// the names of the user's settings that each procedure resets. The texts that differ between
// the editions (the reboot text, the removal's package text, the version) are in the edition
// table; the registry keys are in install/registry.h.
#pragma once

// Where the product goes: the program folder below Program Files, and the Start-menu group
// below each Programs folder. The vendor's address ends the error texts.
inline constexpr char PROGRAM_SUBFOLDER[] = "QX\\Mixarro";
inline constexpr char START_MENU_SUBFOLDER[] = "QX Audio\\Mixarro";
inline constexpr char VENDOR_ADDRESS[] = "https://www.qx-audio.com/mixarro";

// The boxes' captions.
inline constexpr char INSTALL_ERROR_CAPTION[] = "Mixarro Installation Error";
inline constexpr char UNINSTALL_ERROR_CAPTION[] = "Mixarro Uninstallation Error";
inline constexpr char REBOOT_CAPTION[] = "REBOOT YOUR SYSTEM";

// The install's error texts; the vendor's address and a full stop follow each.
inline constexpr char PACKAGE_TEXT[] =
    "Installation package might be corrupted\nthanks to download official package at\n";
inline constexpr char FOLDER_TEXT[] =
    "Failed to create target folder on system disk\nthanks to download official package at\n";
inline constexpr char COPY_TEXT[] =
    "Failed to copy file(s) to destination folder...\nInstallation package might be "
    "corrupted\nthanks to download official package at\n";

// The install's status lines, in their order; each sub-setup's is in the edition table.
inline constexpr char EXTRACT_STATUS[] = "Extract Package";
inline constexpr char COPY_STATUS[] = "Copy Files";
inline constexpr char FINALIZE_STATUS[] = "Finalize Installation";
inline constexpr char COMPLETED_STATUS[] = "Installation Completed";

// The uninstall entry's words (the value names stand where they are written).
inline constexpr char ENTRY_DISPLAY_NAME[] = "Mixarro, The Virtual Mixing Console";
inline constexpr char ENTRY_PUBLISHER[] = "QX-Audio Software";

// The autostart shortcut that the mixer makes in the Startup folder when its user asks.
inline constexpr char AUTOSTART_TITLE[] = "Mixarro (QX-Audio)";

// The user's settings (DWORDs below the product's user key) that each procedure sets to 0.
inline constexpr const char* INSTALL_USER_VALUES[] = {"install", "nbLaunch", "done"};
inline constexpr const char* REMOVAL_USER_VALUES[] = {"SysTray", "SysTrayShowOnRun", "EngineMode"};
