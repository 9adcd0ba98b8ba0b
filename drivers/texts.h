// The driver steps' own texts and names, byte for byte, in one place: the sub-setups' command
// lines and the notices their failures give, the registration program and its switches, the
// modules' entry points, the driver information files, and the device functions bound at
// run time. Which sub-setups and modules an edition has is in the edition table.
#pragma once

// The sub-setups: "<stem>_x64.exe" on 64-bit Windows, "<stem>.exe" elsewhere.
inline constexpr char SUBSETUP_SUFFIX_64[] = "_x64.exe";
inline constexpr char SUBSETUP_SUFFIX_32[] = ".exe";
inline constexpr char SUBSETUP_INSTALL_COMMAND[] = "-h -i -H -n";
inline constexpr char SUBSETUP_REMOVE_COMMAND[] = "-h -u -H";
inline constexpr char SUBSETUP_INSTALL_FAILED_TEXT[] =
    "Failed to install mixarro virtual i/o driver...\nCheck running setup in administrator mode";
inline constexpr char SUBSETUP_RESTART_TEXT[] =
    "Cannot install Mixarro Package now...\nYou must RESTART your system and then relaunch setup "
    "program";
inline constexpr char SUBSETUP_REMOVAL_FAILED_TEXT[] =
    "Failed to uninstall mixarro virtual i/o driver...\nOne or several applications are still "
    "using it\nClose all possible programs using mixarro\n(including control panels) and try to "
    "remove it again ";

// The ASIO modules: their entry points, and the 64-bit modules' registration program with its
// command line " [-u ] -f<folder>\<module>".
inline constexpr char REGISTER_ENTRY[] = "DllRegisterServer";
inline constexpr char UNREGISTER_ENTRY[] = "DllUnregisterServer";
inline constexpr char REGISTRATION_PROGRAM[] = "qxregsvr64.exe";
inline constexpr char REGISTRATION_UNREGISTER_SWITCH[] = " -u ";
inline constexpr char REGISTRATION_FILE_SWITCH[] = " -f";

// The USB GPI driver information files, in Windows' "inf" folder.
inline constexpr char INF_SUBFOLDER[] = "inf";
inline constexpr char INF_XP_VISTA[] = "qxusbgpi_uart_xp_vista.inf";
inline constexpr char INF_LATER[] = "qxusbgpi_uart.inf";

// The device functions of the presence probe, bound at run time from System32.
inline constexpr char SETUPAPI_NAME[] = "SETUPAPI.DLL";
inline constexpr char GET_CLASS_DEVS[] = "SetupDiGetClassDevsA";
inline constexpr char ENUM_INTERFACES[] = "SetupDiEnumDeviceInterfaces";
inline constexpr char GET_INTERFACE_DETAIL[] = "SetupDiGetDeviceInterfaceDetailA";
inline constexpr char DESTROY_INFO_LIST[] = "SetupDiDestroyDeviceInfoList";
