// Everything that differs between the Cobalt and the Indigo build. Each build links one
// table (ThisEdition); the host build and the tests see both.
#pragma once

#include <cstdint>

constexpr int MAX_PAYLOAD_ENTRY_COUNT = 124;

struct DriverPackage {
  const char* stem;        // sub-setup program without "_x64.exe" / ".exe"
  const char* statusText;  // statusLine while it installs
};

struct AsioModule {
  const char* module32;  // registered in process
  const char* module64;  // registered through the registration program, 64-bit Windows only
};

struct ShortcutRow {
  const char* title;
  const char* target;  // file name in the program folder
  int onlyOnWindows64;
};

struct RemovalTitle {
  const char* title;
  int onlyOnWindows64;
};

struct InterfaceClass {
  uint32_t data1;
  uint16_t data2;
  uint16_t data3;
  uint8_t data4[8];
};

struct EditionConfig {
  const char* name;           // "Indigo", "Cobalt": file names and the version block
  const char* versionText;    // window title, Programs and Features
  uint16_t version[4];        // version block: file and product version
  const char* setupBaseName;  // version block: internal, product and original file name
  int payloadEntryCount;
  int catalogueSize;                // payloadEntryCount * 156
  const char* const* payloadNames;  // catalogue order
  const DriverPackage* driverPackages;
  int driverPackageCount;
  const AsioModule* asioModules;
  int asioModuleCount;
  const ShortcutRow* shortcutRows;  // install order
  int shortcutRowCount;
  const RemovalTitle* removalTitles;  // uninstall order
  int removalTitleCount;
  const InterfaceClass* interfaceClasses;
  int interfaceClassCount;
  int lockedFileHandling;            // ".del" renaming and leftover cleanup
  int usbGpiFiles;                   // USB GPI driver information file step
  const char* uninstallPackageText;  // followed by the vendor's address
  const char* uninstallRebootText;
  const char* foreignSetupText;
};

extern const EditionConfig INDIGO_EDITION;
extern const EditionConfig COBALT_EDITION;

// The edition this program was built for.
const EditionConfig& ThisEdition();

// Finds an edition by its name, ignoring ASCII case ("indigo", "Cobalt"); null when unknown.
const EditionConfig* FindEdition(const char* name);

// Rows of the shortcut table that apply on this Windows (the 64-bit rows only on 64-bit).
// Writes at most `capacity` row pointers to `out`; returns how many apply.
int ApplicableShortcutRows(const EditionConfig& edition, int isWindows64, const ShortcutRow** out,
                           int capacity);
