#include "install/uninstall_entry.h"

#include "ground/paths.h"
#include "install/payload_core.h"

int BuildQuotedPath(char* out, size_t capacity, const char* path) {
  int fit = CopyText(out, capacity, "\"");
  fit &= AppendText(out, capacity, path);
  fit &= AppendText(out, capacity, "\"");
  return fit;
}

int BuildQuietUninstallString(char* out, size_t capacity, const char* path) {
  int fit = BuildQuotedPath(out, capacity, path);
  fit &= AppendText(out, capacity, " -h -u");
  return fit;
}

uint32_t EstimatedSizeKiB(const uint8_t* catalogue, int entryCount) {
  uint64_t bytes = 0;
  for (int i = 0; i < entryCount; ++i) {
    CatalogueEntry entry;
    ReadCatalogueEntry(catalogue, i, entry);
    bytes += entry.size;
  }
  uint64_t kib = (bytes + 1023) / 1024;
  return kib > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(kib);
}

int UninstallerCopyName(char* out, size_t capacity, const char* setupPath, int setupPathReach,
                        const char* setupBaseName) {
  if (!out || capacity == 0) return 0;
  if (setupPathReach == PATH_REACH_WHOLE && setupPath && setupPath[0]) {
    if (!CopyText(out, capacity, setupPath)) return 0;
    KeepFileName(out);
    return 1;
  }
  return CopyText(out, capacity, setupBaseName) & AppendText(out, capacity, ".exe");
}
