// The two edition tables. Every value that differs between the builds is here and nowhere else.
#include "editions/edition.h"

namespace {

// Indigo's catalogue, 124 entries in catalogue order.
const char* const INDIGO_PAYLOAD[] = {
    // main virtual-I/O driver family
    "qxaudio_mxvaio_win10.cat", "qxaudio_mxvaio_win10.sys", "qxaudio_mxvaio_vista.cat",
    "qxaudio_mxvaio_vista.sys", "qxaudio_mxvaio_win7.cat", "qxaudio_mxvaio_win7.sys",
    "qxaudio_mxvaio_2003.cat", "qxaudio_mxvaio_2003.sys", "qxaudio_mxvaio_xp.cat",
    "qxaudio_mxvaio_xp.sys", "qxaudio_mxvaio64_win10.cat", "qxaudio_mxvaio64_win10.sys",
    "qxaudio_mxvaio64_vista.cat", "qxaudio_mxvaio64_vista.sys", "qxaudio_mxvaio64_win7.cat",
    "qxaudio_mxvaio64_win7.sys", "qxaudio_mxvaio64_2003.cat", "qxaudio_mxvaio64_2003.sys",
    "QXLINK_ControlPanel.exe", "QXLINK_Setup.exe", "QXLINK_Setup_x64.exe", "QXmxvaio_vista.inf",
    "QXmxvaio_win10.inf", "QXmxvaio_win7.inf", "QXmxvaio_2003.inf", "QXmxvaio_xp.inf",
    "QXmxvaio64_vista.inf", "QXmxvaio64_win7.inf", "QXmxvaio64_2003.inf", "QXmxvaio64_win10.inf",
    // applications and shared files
    "mixarro.exe", "mixarropro.exe", "QXDeviceCheck.exe", "MXStreamScope.exe",
    "qxmx_asiodriver.dll", "qxmx_asiodriver64.dll", "qxregsvr64.exe", "MixarroRemote.dll",
    "MixarroRemote64.dll", "MixarroMacroPads.exe", "QXAN2MIDI.exe", "button_72x72.png",
    "MacroPad_72x72.png", "QXAudioLogoBlack_72x72.png", "QXAudioLogoWhite_72x72.png",
    "MixarroLogo_72x72.png", "MixarroBUSGEQ15.exe", "MixarroBUSMatrix8.exe",
    // USB GPI driver information
    "qxusbgpi_uart.inf", "qxusbgpi_uart_xp_vista.inf",
    // auxiliary virtual-I/O driver family
    "qxaudio_mxauxvaio_vista.cat", "qxaudio_mxauxvaio_vista.sys", "qxaudio_mxauxvaio_win7.cat",
    "qxaudio_mxauxvaio_win7.sys", "qxaudio_mxauxvaio_win10.cat", "qxaudio_mxauxvaio_win10.sys",
    "qxaudio_mxauxvaio_2003.cat", "qxaudio_mxauxvaio_2003.sys", "qxaudio_mxauxvaio_xp.cat",
    "qxaudio_mxauxvaio_xp.sys", "qxaudio_mxauxvaio64_2003.cat", "qxaudio_mxauxvaio64_2003.sys",
    "qxaudio_mxauxvaio64_vista.cat", "qxaudio_mxauxvaio64_vista.sys",
    "qxaudio_mxauxvaio64_win7.cat", "qxaudio_mxauxvaio64_win7.sys", "qxaudio_mxauxvaio64_win10.cat",
    "qxaudio_mxauxvaio64_win10.sys", "QXMXAUX_ControlPanel.exe", "QXMXAUX_Setup.exe",
    "QXMXAUX_Setup_x64.exe", "QXmxauxvaio_vista.inf", "QXmxauxvaio_2003.inf",
    "QXmxauxvaio_win7.inf", "QXmxauxvaio_win10.inf", "QXmxauxvaio_xp.inf",
    "QXmxauxvaio64_vista.inf", "QXmxauxvaio64_win7.inf", "QXmxauxvaio64_2003.inf",
    "QXmxauxvaio64_win10.inf",
    // more ASIO modules
    "qxmxaux_asiodriver.dll", "qxmxaux_asiodriver64.dll", "qxmxins_asiodriver.dll",
    "qxmxins_asiodriver64.dll",
    // MP3 encoder
    "mp3lame\\lame_enc.dll", "mp3lame\\lame_enc64.dll", "mp3lame\\lame_License.txt",
    // third virtual-I/O driver family
    "qxaudio_mxvaio3_win10.cat", "qxaudio_mxvaio3_win10.sys", "qxaudio_mxvaio3_vista.cat",
    "qxaudio_mxvaio3_vista.sys", "qxaudio_mxvaio3_win7.cat", "qxaudio_mxvaio3_win7.sys",
    "qxaudio_mxvaio3_2003.cat", "qxaudio_mxvaio3_2003.sys", "qxaudio_mxvaio3_xp.cat",
    "qxaudio_mxvaio3_xp.sys", "qxaudio_mxvaio364_win10.cat", "qxaudio_mxvaio364_win10.sys",
    "qxaudio_mxvaio364_vista.cat", "qxaudio_mxvaio364_vista.sys", "qxaudio_mxvaio364_win7.cat",
    "qxaudio_mxvaio364_win7.sys", "qxaudio_mxvaio364_2003.cat", "qxaudio_mxvaio364_2003.sys",
    "QXMXVAIO3_ControlPanel.exe", "QXMXVAIO3_Setup.exe", "QXMXVAIO3_Setup_x64.exe",
    "QXmxvaio3_vista.inf", "QXmxvaio3_win10.inf", "QXmxvaio3_win7.inf", "QXmxvaio3_2003.inf",
    "QXmxvaio3_xp.inf", "QXmxvaio364_vista.inf", "QXmxvaio364_win10.inf", "QXmxvaio364_win7.inf",
    "QXmxvaio364_2003.inf",
    // readme
    "readme.txt",
    // Indigo applications and modules
    "mixarro8.exe", "mixarro8x64.exe", "qxmxvaio3_asiodriver.dll", "qxmxvaio3_asiodriver64.dll",
    "qxmxpins_asiodriver.dll", "qxmxpins_asiodriver64.dll"};

// Cobalt's catalogue, 85 entries: no third family, no USB GPI files, readme after the aux family.
const char* const COBALT_PAYLOAD[] = {
    // main virtual-I/O driver family
    "qxaudio_mxvaio_win10.cat", "qxaudio_mxvaio_win10.sys", "qxaudio_mxvaio_vista.cat",
    "qxaudio_mxvaio_vista.sys", "qxaudio_mxvaio_win7.cat", "qxaudio_mxvaio_win7.sys",
    "qxaudio_mxvaio_2003.cat", "qxaudio_mxvaio_2003.sys", "qxaudio_mxvaio_xp.cat",
    "qxaudio_mxvaio_xp.sys", "qxaudio_mxvaio64_win10.cat", "qxaudio_mxvaio64_win10.sys",
    "qxaudio_mxvaio64_vista.cat", "qxaudio_mxvaio64_vista.sys", "qxaudio_mxvaio64_win7.cat",
    "qxaudio_mxvaio64_win7.sys", "qxaudio_mxvaio64_2003.cat", "qxaudio_mxvaio64_2003.sys",
    "QXLINK_ControlPanel.exe", "QXLINK_Setup.exe", "QXLINK_Setup_x64.exe", "QXmxvaio_vista.inf",
    "QXmxvaio_win10.inf", "QXmxvaio_win7.inf", "QXmxvaio_2003.inf", "QXmxvaio_xp.inf",
    "QXmxvaio64_vista.inf", "QXmxvaio64_win7.inf", "QXmxvaio64_2003.inf", "QXmxvaio64_win10.inf",
    // applications and shared files
    "mixarro.exe", "mixarropro.exe", "QXDeviceCheck.exe", "MXStreamScope.exe",
    "qxmx_asiodriver.dll", "qxmx_asiodriver64.dll", "qxregsvr64.exe", "MixarroRemote.dll",
    "MixarroRemote64.dll", "MixarroMacroPads.exe", "QXAN2MIDI.exe", "button_72x72.png",
    "MacroPad_72x72.png", "QXAudioLogoBlack_72x72.png", "QXAudioLogoWhite_72x72.png",
    "MixarroLogo_72x72.png", "MixarroBUSGEQ15.exe", "MixarroBUSMatrix8.exe",
    // auxiliary virtual-I/O driver family
    "qxaudio_mxauxvaio_vista.cat", "qxaudio_mxauxvaio_vista.sys", "qxaudio_mxauxvaio_win7.cat",
    "qxaudio_mxauxvaio_win7.sys", "qxaudio_mxauxvaio_win10.cat", "qxaudio_mxauxvaio_win10.sys",
    "qxaudio_mxauxvaio_2003.cat", "qxaudio_mxauxvaio_2003.sys", "qxaudio_mxauxvaio_xp.cat",
    "qxaudio_mxauxvaio_xp.sys", "qxaudio_mxauxvaio64_2003.cat", "qxaudio_mxauxvaio64_2003.sys",
    "qxaudio_mxauxvaio64_vista.cat", "qxaudio_mxauxvaio64_vista.sys",
    "qxaudio_mxauxvaio64_win7.cat", "qxaudio_mxauxvaio64_win7.sys", "qxaudio_mxauxvaio64_win10.cat",
    "qxaudio_mxauxvaio64_win10.sys", "QXMXAUX_ControlPanel.exe", "QXMXAUX_Setup.exe",
    "QXMXAUX_Setup_x64.exe", "QXmxauxvaio_vista.inf", "QXmxauxvaio_2003.inf",
    "QXmxauxvaio_win7.inf", "QXmxauxvaio_win10.inf", "QXmxauxvaio_xp.inf",
    "QXmxauxvaio64_vista.inf", "QXmxauxvaio64_win7.inf", "QXmxauxvaio64_2003.inf",
    "QXmxauxvaio64_win10.inf",
    // readme
    "readme.txt",
    // more ASIO modules
    "qxmxaux_asiodriver.dll", "qxmxaux_asiodriver64.dll", "qxmxins_asiodriver.dll",
    "qxmxins_asiodriver64.dll",
    // MP3 encoder
    "mp3lame\\lame_enc.dll", "mp3lame\\lame_License.txt"};

const DriverPackage DRIVER_PACKAGES[] = {
    {"QXLINK_Setup", "Install Audio Driver"},
    {"QXMXAUX_Setup", "Install Aux Audio Driver"},
    {"QXMXVAIO3_Setup", "Install VAIO3 Audio Driver"},
};

const AsioModule ASIO_MODULES[] = {
    {"qxmx_asiodriver.dll", "qxmx_asiodriver64.dll"},
    {"qxmxaux_asiodriver.dll", "qxmxaux_asiodriver64.dll"},
    {"qxmxins_asiodriver.dll", "qxmxins_asiodriver64.dll"},
    {"qxmxvaio3_asiodriver.dll", "qxmxvaio3_asiodriver64.dll"},
    {"qxmxpins_asiodriver.dll", "qxmxpins_asiodriver64.dll"},
};

const ShortcutRow INDIGO_SHORTCUTS[] = {
    {"Readme", "readme.txt", 0},
    {"Virtual IO Control Panel", "QXLINK_ControlPanel.exe", 0},
    {"Virtual AUX IO Control Panel", "QXMXAUX_ControlPanel.exe", 0},
    {"Mixarro Cobalt", "MixarroPro.exe", 0},
    {"Virtual VAIO3 Control Panel", "QXMXVAIO3_ControlPanel.exe", 0},
    {"Mixarro Indigo", "Mixarro8.exe", 0},
    {"Mixarro Indigo x64", "Mixarro8x64.exe", 1},
    {"Macro Pads", "MixarroMacroPads.exe", 0},
    {"QXAN-2-MIDI", "QXAN2MIDI.exe", 0},
    {"8x8 Output Matrix", "MixarroBUSMatrix8.exe", 0},
    {"15 Bands Graphic EQ", "MixarroBUSGEQ15.exe", 0},
    {"MX Stream Scope", "MXStreamScope.exe", 0},
    {"Mixarro", "Mixarro.exe", 0},
};

const ShortcutRow COBALT_SHORTCUTS[] = {
    {"Readme", "readme.txt", 0},
    {"Virtual IO Control Panel", "QXLINK_ControlPanel.exe", 0},
    {"Virtual AUX IO Control Panel", "QXMXAUX_ControlPanel.exe", 0},
    {"Mixarro Cobalt", "MixarroPro.exe", 0},
    {"Macro Pads", "MixarroMacroPads.exe", 0},
    {"QXAN-2-MIDI", "QXAN2MIDI.exe", 0},
    {"8x8 Output Matrix", "MixarroBUSMatrix8.exe", 0},
    {"15 Bands Graphic EQ", "MixarroBUSGEQ15.exe", 0},
    {"MX Stream Scope", "MXStreamScope.exe", 0},
    {"Mixarro", "Mixarro.exe", 0},
};

const RemovalTitle INDIGO_REMOVAL[] = {
    {"Mixarro", 0},
    {"Virtual IO Control Panel", 0},
    {"Readme", 0},
    {"Macro Pads", 0},
    {"QXAN-2-MIDI", 0},
    {"8x8 Output Matrix", 0},
    {"15 Bands Graphic EQ", 0},
    {"MX Stream Scope", 0},
    {"Mixarro Cobalt", 0},
    {"Virtual AUX IO Control Panel", 0},
    {"Mixarro Indigo", 0},
    {"Mixarro Indigo x64", 1},
    {"Virtual VAIO3 Control Panel", 0},
};

const RemovalTitle COBALT_REMOVAL[] = {
    {"Mixarro", 0},
    {"Virtual IO Control Panel", 0},
    {"Readme", 0},
    {"Macro Pads", 0},
    {"QXAN-2-MIDI", 0},
    {"8x8 Output Matrix", 0},
    {"15 Bands Graphic EQ", 0},
    {"MX Stream Scope", 0},
    {"Mixarro Cobalt", 0},
    {"Virtual AUX IO Control Panel", 0},
};

const InterfaceClass INTERFACE_CLASSES[] = {
    {0xD8C6B17A, 0x215D, 0x4082, {0x93, 0x41, 0x1E, 0x16, 0x77, 0xAE, 0x6B, 0x55}},
    {0x5573CC9C, 0xDF43, 0x40BF, {0x8E, 0xB3, 0xD7, 0x9E, 0x59, 0xA5, 0xA4, 0x81}},
    {0x7B202778, 0x4862, 0x4B61, {0x86, 0x0E, 0xFA, 0x1E, 0x65, 0x7B, 0xA3, 0xC8}},
};

template <typename T, int N>
constexpr int CountOf(const T (&)[N]) {
  return N;
}

static_assert(CountOf(INDIGO_PAYLOAD) == 124);
static_assert(CountOf(COBALT_PAYLOAD) == 85);
static_assert(CountOf(INDIGO_PAYLOAD) == MAX_PAYLOAD_ENTRY_COUNT);

}  // namespace

const EditionConfig INDIGO_EDITION = {
    .name = "Indigo",
    .versionText = "3.0.2.8",
    .version = {3, 0, 2, 8},
    .setupBaseName = "Mixarro8Setup",
    .payloadEntryCount = CountOf(INDIGO_PAYLOAD),
    .catalogueSize = CountOf(INDIGO_PAYLOAD) * 156,
    .payloadNames = INDIGO_PAYLOAD,
    .driverPackages = DRIVER_PACKAGES,
    .driverPackageCount = 3,
    .asioModules = ASIO_MODULES,
    .asioModuleCount = 5,
    .shortcutRows = INDIGO_SHORTCUTS,
    .shortcutRowCount = CountOf(INDIGO_SHORTCUTS),
    .removalTitles = INDIGO_REMOVAL,
    .removalTitleCount = CountOf(INDIGO_REMOVAL),
    .interfaceClasses = INTERFACE_CLASSES,
    .interfaceClassCount = 3,
    .lockedFileHandling = 1,
    .usbGpiFiles = 1,
    .uninstallPackageText =
        "Package uninstallation might be corrupted\nthanks to download official package at\n",
    .uninstallRebootText = "Restart System to finish the uninstallation!",
    .foreignSetupText =
        "Current Mixarro version has been\n"
        "installed by another Setup program...\n\n"
        "You must use the same Setup Program to uninstall it,\n"
        "also listed in Windows Programs and Features...\n\n"
        "DON'T FORGET TO REBOOT AFTER UNINSTALLATION",
};

const EditionConfig COBALT_EDITION = {
    .name = "Cobalt",
    .versionText = "2.0.6.2",
    .version = {2, 0, 6, 2},
    .setupBaseName = "MixarroProSetup",
    .payloadEntryCount = CountOf(COBALT_PAYLOAD),
    .catalogueSize = CountOf(COBALT_PAYLOAD) * 156,
    .payloadNames = COBALT_PAYLOAD,
    .driverPackages = DRIVER_PACKAGES,
    .driverPackageCount = 2,
    .asioModules = ASIO_MODULES,
    .asioModuleCount = 3,
    .shortcutRows = COBALT_SHORTCUTS,
    .shortcutRowCount = CountOf(COBALT_SHORTCUTS),
    .removalTitles = COBALT_REMOVAL,
    .removalTitleCount = CountOf(COBALT_REMOVAL),
    .interfaceClasses = INTERFACE_CLASSES,
    .interfaceClassCount = 2,
    .lockedFileHandling = 0,
    .usbGpiFiles = 0,
    .uninstallPackageText =
        "De-Installation package might be corrupted\nthanks to download official package at\n",
    .uninstallRebootText = "Restart System to finish de-installation!",
    .foreignSetupText =
        "Current Mixarro version has been\n"
        "installed by another Setup program...\n\n"
        "You must use the same Setup Program to de-install it,\n"
        "also listed in Windows Programs and Features...\n\n"
        "DON'T FORGET TO REBOOT AFTER DE-INSTALLATION",
};

const EditionConfig* FindEdition(const char* name) {
  const EditionConfig* all[] = {&INDIGO_EDITION, &COBALT_EDITION};
  if (!name) return nullptr;
  for (const EditionConfig* e : all) {
    const char* a = e->name;
    const char* b = name;
    while (*a && *b) {
      char ca = (*a >= 'A' && *a <= 'Z') ? char(*a + 32) : *a;
      char cb = (*b >= 'A' && *b <= 'Z') ? char(*b + 32) : *b;
      if (ca != cb) break;
      ++a;
      ++b;
    }
    if (!*a && !*b) return e;
  }
  return nullptr;
}

int ApplicableShortcutRows(const EditionConfig& edition, int isWindows64, const ShortcutRow** out,
                           int capacity) {
  int n = 0;
  for (int i = 0; i < edition.shortcutRowCount; ++i) {
    const ShortcutRow& row = edition.shortcutRows[i];
    if (row.onlyOnWindows64 && isWindows64 != 1) continue;
    if (out && n < capacity) out[n] = &row;
    ++n;
  }
  return n;
}
