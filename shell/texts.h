// The shell's own texts and names, byte for byte, in one place: what the window and its boxes
// say, the names that other programs (and a second instance) find it by, and the names of the
// product's running applications that it tells to end. The texts that differ between the
// editions (the reboot and foreign-setup texts, the version) are in the edition table.
#pragma once

// The captions that the procedures' boxes share (the install's error, the reboot).
#include "procedures/texts.h"

// The window's status band and its button.
inline constexpr char INSTALL_WORD[] = "Install";
inline constexpr char REMOVE_WORD[] = "Remove";
inline constexpr char BUSY_WORD[] = "Installing";
inline constexpr char READY_FIRST_SENTENCE[] = "Ready to install ? Click the button right there...";
inline constexpr char READY_SECOND_SENTENCE[] =
    "it will install QX-Audio Mixarro on your system...";
inline constexpr char PRESENT_FIRST_SENTENCE[] = "Mixarro is already installed...";
inline constexpr char PRESENT_SECOND_SENTENCE[] =
    "previous version has to be removed before installing new one...";
inline constexpr char BAND_FONT[] = "Arial";

// The boxes.
inline constexpr char LAUNCH_FAILURE_TEXT[] = "Failed to launch Procedure...";
inline constexpr char COMPLETE_TEXT[] =
    "Installation Complete and Successful !\n\nYOU MUST REBOOT your system to finalize "
    "installation";
inline constexpr char FOREIGN_SETUP_CAPTION[] = "Wrong Installation Program";
inline constexpr char STARTUP_ERROR_CAPTION[] = "Startup Error";
inline constexpr char CLASS_FAILURE_TEXT[] = "Failed to register window class...";
inline constexpr char WINDOW_FAILURE_TEXT[] = "Failed to create window...";

// How the installer is found: its single-instance mutex, its window class and title.
inline constexpr char INSTALLER_MUTEX_NAME[] =
    "QX-Audio Mixarro-Installation- Mutex-{12783DE4-C2B5-4698-9D26-EA7E355B50E9}";
inline constexpr char MAIN_WINDOW_CLASS[] = "QXMixarro0Installer0MainWindow0";
inline constexpr char WINDOW_TITLE_FORMAT[] = "QX-Audio Mixarro Installation (Version %s)";

// The product's applications, told to end at start: the mixer by its class and title prefix,
// the others by their title prefixes whatever their class.
inline constexpr char PRODUCT_WINDOW_CLASS[] = "QXLINK0Mixarro0MainWindow0";
inline constexpr char PRODUCT_TITLE_PREFIX[] = "MixArro";
inline constexpr const wchar_t* PRODUCT_WIDE_TITLES[] = {
    L"Mixarro.Remote",         L"QX-Audio 8x8 Matrix", L"QX-Audio Matrix 8",
    L"QX-Audio Graphic EQ 15", L"QXAN2MIDI-Converter", L"MX-Stream Scope",
};
inline constexpr int PRODUCT_WIDE_TITLE_COUNT =
    static_cast<int>(sizeof PRODUCT_WIDE_TITLES / sizeof PRODUCT_WIDE_TITLES[0]);

// What the shell reads and calls by name.
inline constexpr char UNINSTALL_STRING_VALUE[] = "UninstallString";
inline constexpr char USER32_NAME[] = "User32.dll";
inline constexpr char INTERNAL_GET_WINDOW_TEXT[] = "InternalGetWindowText";
inline constexpr char OPEN_VERB[] = "open";
