// Writes the resource script of one edition's program from the edition table: icon,
// picture, manifest, version block and (when given) the payload blob.
//   mixarro-rcgen [--system-code-page] EDITION ARCH ICON PICTURE MANIFEST-OUT [PAYLOAD] >
//   program.rc
// ARCH is "x86" or "amd64" (the manifest's processor architecture). The program asks for the
// UTF-8 code page, so that every path reaches its 8-bit calls whole; --system-code-page leaves
// that out, for the test builds that run as a system that ignores it.
#include <cstdio>
#include <cstring>

#include "editions/edition.h"

static void EscapedPath(FILE* out, const char* path) {
  fputc('"', out);
  for (const char* p = path; *p; ++p) {
    if (*p == '\\' || *p == '"') fputc('\\', out);
    fputc(*p, out);
  }
  fputc('"', out);
}

static int WriteManifest(const char* path, const char* arch, bool utf8) {
  FILE* f = fopen(path, "wb");
  if (!f) return 0;
  fprintf(f,
          "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
          "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\n"
          "  <assemblyIdentity type=\"win32\" name=\"QX-Audio.Mixarro.Installer\" "
          "version=\"1.0.0.0\" processorArchitecture=\"%s\"/>\n"
          "  <description>QX-Audio Mixarro Installer</description>\n"
          "  <trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v3\">\n"
          "    <security>\n"
          "      <requestedPrivileges>\n"
          "        <requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>\n"
          "      </requestedPrivileges>\n"
          "    </security>\n"
          "  </trustInfo>\n"
          "  <compatibility xmlns=\"urn:schemas-microsoft-com:compatibility.v1\">\n"
          "    <application>\n"
          "      <!-- Windows Vista -->\n"
          "      <supportedOS Id=\"{e2011457-1546-43c5-a5fe-008deee3d3f0}\"/>\n"
          "      <!-- Windows 7 -->\n"
          "      <supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>\n"
          "    </application>\n"
          "  </compatibility>\n"
          "%s"
          "</assembly>\n",
          arch,
          // Windows 10 version 1903 and later take it; older systems ignore the settings of a
          // namespace they do not know.
          utf8 ? "  <application xmlns=\"urn:schemas-microsoft-com:asm.v3\">\n"
                 "    <windowsSettings>\n"
                 "      <activeCodePage "
                 "xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">UTF-8"
                 "</activeCodePage>\n"
                 "    </windowsSettings>\n"
                 "  </application>\n"
               : "");
  return fclose(f) == 0;
}

int main(int argc, char** argv) {
  bool utf8 = true;
  if (argc > 1 && strcmp(argv[1], "--system-code-page") == 0) {
    utf8 = false;
    ++argv;
    --argc;
  }
  if (argc != 6 && argc != 7) {
    fprintf(stderr,
            "usage: mixarro-rcgen [--system-code-page] EDITION ARCH ICON PICTURE MANIFEST-OUT "
            "[PAYLOAD]\n");
    return 2;
  }
  const EditionConfig* e = FindEdition(argv[1]);
  if (!e) {
    fprintf(stderr, "mixarro-rcgen: unknown edition \"%s\"\n", argv[1]);
    return 2;
  }
  if (!WriteManifest(argv[5], argv[2], utf8)) {
    fprintf(stderr, "mixarro-rcgen: cannot write %s\n", argv[5]);
    return 1;
  }
  FILE* out = stdout;
  const uint16_t* v = e->version;
  fprintf(out, "#include <windows.h>\n\nLANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US\n\n");
  fprintf(out, "100 ICON ");
  EscapedPath(out, argv[3]);
  fprintf(out, "\n101 BITMAP ");
  EscapedPath(out, argv[4]);
  fprintf(out, "\n1 24 ");  // RT_MANIFEST, CREATEPROCESS_MANIFEST_RESOURCE_ID
  EscapedPath(out, argv[5]);
  fprintf(out, "\n");
  if (argc == 7) {
    fprintf(out, "100 RCDATA ");
    EscapedPath(out, argv[6]);
    fprintf(out, "\n");
  }
  fprintf(out,
          "\nLANGUAGE LANG_NEUTRAL, SUBLANG_NEUTRAL\n"
          "1 VERSIONINFO\n"
          "FILEVERSION %u,%u,%u,%u\n"
          "PRODUCTVERSION %u,%u,%u,%u\n"
          "FILEFLAGSMASK 0x3fL\nFILEFLAGS 0x0L\nFILEOS 0x40004L\nFILETYPE 0x1L\nFILESUBTYPE 0x0L\n"
          "BEGIN\n"
          "  BLOCK \"StringFileInfo\"\n  BEGIN\n    BLOCK \"000004b0\"\n    BEGIN\n",
          v[0], v[1], v[2], v[3], v[0], v[1], v[2], v[3]);
  fprintf(out, "      VALUE \"Comments\", \"QX-AUDIO Mixarro %s Installer.\"\n", e->name);
  fprintf(out, "      VALUE \"CompanyName\", \"QX-AUDIO Software\"\n");
  fprintf(out, "      VALUE \"FileDescription\", \"QX-AUDIO Mixarro %s Installer\"\n", e->name);
  fprintf(out, "      VALUE \"FileVersion\", \"%u, %u, %u, %u\"\n", v[0], v[1], v[2], v[3]);
  fprintf(out, "      VALUE \"InternalName\", \"%s\"\n", e->setupBaseName);
  fprintf(out, "      VALUE \"OriginalFilename\", \"%s.exe\"\n", e->setupBaseName);
  fprintf(out, "      VALUE \"ProductName\", \"%s\"\n", e->setupBaseName);
  fprintf(out, "      VALUE \"ProductVersion\", \"%u, %u, %u, %u\"\n", v[0], v[1], v[2], v[3]);
  fprintf(out,
          "    END\n  END\n"
          "  BLOCK \"VarFileInfo\"\n  BEGIN\n    VALUE \"Translation\", 0x0, 1200\n  END\n"
          "END\n");
  return 0;
}
