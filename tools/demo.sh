#!/usr/bin/env bash
# The main job: builds both editions' 32-bit installers with the sample payload and runs the
# Indigo one silently in a throwaway Wine prefix (install, then uninstall), printing what it
# did: exit codes, files, the Programs and Features entry and the shortcuts. On a machine that
# cannot run 32-bit code it says so and runs the x86-64 build of the same sources instead.
set -uo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh >/dev/null || exit 1
source tests/wine/env.sh
mkdir -p build
preset=win32 bits=32-bit pf='Program Files (x86)' view=/reg:32
if ! why=$(bash tests/wine/can_run_32bit.sh); then
  echo "== $why: the x86-64 build runs instead"
  preset=win64 bits=x86-64 pf='Program Files' view=/reg:64
fi
echo "== building the $bits installers"
{ cmake --preset $preset && cmake --build --preset $preset -j2 --target MixarroSetup-Indigo MixarroSetup-Cobalt; } \
  >build/demo-build.log 2>&1 || { tail -30 build/demo-build.log; exit 1; }
ls -l build/$preset/MixarroSetup-Indigo.exe build/$preset/MixarroSetup-Cobalt.exe

root=$(mktemp -d /tmp/mixarro-demo.XXXXXX)
source tests/wine/xvfb.sh
trap '"$WINESERVER" -k >/dev/null 2>&1; rm -rf "$root"; mixarro_xvfb_stop' EXIT
echo "== creating a throwaway Wine prefix"
tests/wine/prefix.sh template "$root/template" || exit 1
export WINEPREFIX=$root/template
cp build/$preset/MixarroSetup-Indigo.exe "$root/"
drive=$WINEPREFIX/drive_c
key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\QX:Mixarro {17359A74-1236-5467}'
startmenu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/QX Audio/Mixarro"
usermenu="$drive/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/QX Audio/Mixarro"
folder="$drive/$pf/QX/Mixarro"

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
    echo "program folder C:\\$pf\\QX\\Mixarro: $(find "$folder" -type f | wc -l) files"
    find "$folder" -type f -printf '  %P (%s bytes)\n' | sort | head -8
    echo "  ..."
  else
    echo "program folder: absent"
  fi
  echo "uninstall entry ($bits registry view):"
  "$WINE" reg query "$key" $view 2>/dev/null | sed -n 's/^ \+/  /p' || true
  "$WINE" reg query "$key" $view >/dev/null 2>&1 || echo "  absent"
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
