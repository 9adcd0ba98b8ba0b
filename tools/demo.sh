#!/usr/bin/env bash
# The main job: builds both editions' 32-bit installers with the sample payload and runs the
# Indigo one silently in a throwaway Wine prefix (install, then uninstall), printing what it
# did: exit codes, files, the Programs and Features entry and the shortcuts.
set -uo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh >/dev/null || exit 1
source tests/wine/env.sh
mkdir -p build
echo "== building the 32-bit installers"
{ cmake --preset win32 && cmake --build --preset win32 -j2 --target MixarroSetup-Indigo MixarroSetup-Cobalt; } \
  >build/demo-build.log 2>&1 || { tail -30 build/demo-build.log; exit 1; }
ls -l build/win32/MixarroSetup-Indigo.exe build/win32/MixarroSetup-Cobalt.exe

root=$(mktemp -d /tmp/mixarro-demo.XXXXXX)
source tests/wine/xvfb.sh
trap '"$WINESERVER" -k >/dev/null 2>&1; rm -rf "$root"; mixarro_xvfb_stop' EXIT
echo "== creating a throwaway Wine prefix"
tests/wine/prefix.sh template "$root/template" || exit 1
export WINEPREFIX=$root/template
cp build/win32/MixarroSetup-Indigo.exe "$root/"
drive=$WINEPREFIX/drive_c
key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\QX:Mixarro {17359A74-1236-5467}'
startmenu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/QX Audio/Mixarro"
usermenu="$drive/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/QX Audio/Mixarro"
folder="$drive/Program Files (x86)/QX/Mixarro"

# The last lines of the run's own log (in the prefix's temporary folder).
runlog() {
  local log
  log=$(ls -t "$drive"/users/*/Temp/MixarroSetup-Indigo-*.log 2>/dev/null | head -1)
  [ -n "$log" ] || { echo "run log: none"; return; }
  echo "run log ${log#$drive/} ($(wc -l <"$log") lines), its end:"
  tail -4 "$log" | tr -d '\r' | sed 's/^/  /'
}

account() {
  if [ -d "$folder" ]; then
    echo "program folder C:\\Program Files (x86)\\QX\\Mixarro: $(find "$folder" -type f | wc -l) files"
    find "$folder" -type f -printf '  %P (%s bytes)\n' | sort | head -8
    echo "  ..."
  else
    echo "program folder: absent"
  fi
  echo "uninstall entry (32-bit registry view):"
  "$WINE" reg query "$key" /reg:32 2>/dev/null | sed -n 's/^ \+/  /p' || true
  "$WINE" reg query "$key" /reg:32 >/dev/null 2>&1 || echo "  absent"
  for m in "$usermenu" "$startmenu"; do
    if [ -d "$m" ]; then
      echo "shortcuts in ${m#$drive/}: $(ls "$m" | wc -l)"
      ls "$m" | sed 's/^/  /'
    else
      echo "shortcuts folder ${m#$drive/}: absent"
    fi
  done
}

echo "== MixarroSetup-Indigo.exe -h -i"
"$WINE" "$root/MixarroSetup-Indigo.exe" -h -i
rc=$?; "$WINESERVER" -w
echo "exit code: $(( rc > 127 ? rc - 256 : rc ))"
runlog
account
echo
echo "== MixarroSetup-Indigo.exe -h -u"
"$WINE" "$root/MixarroSetup-Indigo.exe" -h -u
rc=$?; "$WINESERVER" -w
echo "exit code: $(( rc > 127 ? rc - 256 : rc ))"
runlog
account
