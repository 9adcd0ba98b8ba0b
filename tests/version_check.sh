#!/usr/bin/env bash
# Reads the version block (exiftool) and the manifest back from a built installer and checks
# them field by field against the edition.
#   version_check.sh PROGRAM EDITION VERSION BASENAME ARCH
set -uo pipefail
program=$1 edition=$2 version=$3 base=$4 arch=$5
fail=0
commas=${version//./, }
info=$(exiftool -s -s -s -FileVersionNumber -ProductVersionNumber -Comments -CompanyName \
  -FileDescription -FileVersion -InternalName -OriginalFileName -ProductName -ProductVersion \
  -LanguageCode -CharacterSet -f "$program") || { echo "exiftool cannot read $program"; exit 1; }
expected="$version
$version
QX-AUDIO Mixarro $edition Installer.
QX-AUDIO Software
QX-AUDIO Mixarro $edition Installer
$commas
$base
$base.exe
$base
$commas
Neutral
Unicode"
names=(FileVersionNumber ProductVersionNumber Comments CompanyName FileDescription FileVersion
  InternalName OriginalFileName ProductName ProductVersion LanguageCode CharacterSet)
i=0
while IFS= read -r want && IFS= read -r got <&3; do
  if [ "$want" != "$got" ]; then echo "${names[$i]}: got \"$got\", expected \"$want\""; fail=1; fi
  i=$((i + 1))
done <<<"$expected" 3<<<"$info"

manifest=$(grep -a -o '<assembly .*</assembly>' <(tr -d '\r\n' <"$program"))
check() { grep -q -- "$1" <<<"$manifest" || { echo "manifest lacks $1"; fail=1; }; }
check '<assemblyIdentity type="win32" name="QX-Audio.Mixarro.Installer" version="1.0.0.0" processorArchitecture="'"$arch"'"/>'
check '<description>QX-Audio Mixarro Installer</description>'
check '<requestedExecutionLevel level="requireAdministrator" uiAccess="false"/>'
check '<supportedOS Id="{e2011457-1546-43c5-a5fe-008deee3d3f0}"/>'
check '<supportedOS Id="{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"/>'
# Every path reaches the program whole on Windows 10 version 1903 and later; older systems
# ignore the settings of a namespace they do not know.
check '<application xmlns="urn:schemas-microsoft-com:asm.v3"> *<windowsSettings> *<activeCodePage xmlns="http://schemas.microsoft.com/SMI/2019/WindowsSettings">UTF-8</activeCodePage> *</windowsSettings> *</application>'
# A manifest that does not parse stops Windows from starting the program at all.
if command -v python3 >/dev/null; then
  python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parseString(sys.stdin.read())' <<<"$manifest" ||
    { echo "the manifest is not well-formed XML"; fail=1; }
fi
[ "$(grep -o '<supportedOS ' <<<"$manifest" | wc -l)" = 2 ] || { echo "manifest declares other systems"; fail=1; }
[ $fail = 0 ] && echo "$program: version block and manifest of $edition $version ok"
exit $fail
