#!/usr/bin/env bash
# The release command: builds both 32-bit editions from a payload folder per edition into one
# output folder, with a SHA-256 list, and signs them with Authenticode when a certificate and
# its key are given.
#   tools/release.sh [--indigo DIR] [--cobalt DIR] [--out DIR] [--cert CERT.pem --key KEY.pem]
#                    [--build DIR]
# Without --indigo/--cobalt the sample payloads are used. The same inputs give the same
# unsigned installers, byte for byte, whatever the build folder (default build/release).
set -euo pipefail
cd "$(dirname "$0")/.."
indigo= cobalt= out=dist cert= key= build=build/release
while [ $# -gt 0 ]; do
  case "$1" in
    --indigo) indigo=$(realpath "$2"); shift 2 ;;
    --cobalt) cobalt=$(realpath "$2"); shift 2 ;;
    --out) out=$2; shift 2 ;;
    --cert) cert=$(realpath "$2"); shift 2 ;;
    --key) key=$(realpath "$2"); shift 2 ;;
    --build) build=$2; shift 2 ;;
    *) echo "usage: tools/release.sh [--indigo DIR] [--cobalt DIR] [--out DIR] [--cert CERT.pem --key KEY.pem] [--build DIR]" >&2; exit 2 ;;
  esac
done
if { [ -n "$cert" ] && [ -z "$key" ]; } || { [ -z "$cert" ] && [ -n "$key" ]; }; then
  echo "release: --cert and --key go together" >&2; exit 2
fi
bash tools/setup.sh >/dev/null

args=(-DMIXARRO_PAYLOAD_DIR_INDIGO="$indigo" -DMIXARRO_PAYLOAD_DIR_COBALT="$cobalt")
[ -n "$indigo" ] || args[0]=-UMIXARRO_PAYLOAD_DIR_INDIGO
[ -n "$cobalt" ] || args[1]=-UMIXARRO_PAYLOAD_DIR_COBALT
cmake --preset win32 -B "$build" "${args[@]}" >"$build.log" 2>&1 || { tail -30 "$build.log"; exit 1; }
cmake --build "$build" -j2 --target MixarroSetup-Indigo MixarroSetup-Cobalt >>"$build.log" 2>&1 \
  || { tail -30 "$build.log"; exit 1; }

mkdir -p "$out"
for edition in Indigo Cobalt; do
  cp "$build/MixarroSetup-$edition.exe" "$out/MixarroSetup-$edition.exe"
  if [ -n "$cert" ]; then
    osslsigncode sign -certs "$cert" -key "$key" -h sha256 -n "QX-Audio Mixarro $edition Installer" \
      -i https://www.qx-audio.com/mixarro -in "$out/MixarroSetup-$edition.exe" \
      -out "$out/MixarroSetup-$edition.signed.exe" >/dev/null
    mv "$out/MixarroSetup-$edition.signed.exe" "$out/MixarroSetup-$edition.exe"
  fi
done
[ -n "$cert" ] || echo "release: warning: no certificate given, the installers are not signed" >&2
(cd "$out" && sha256sum MixarroSetup-Indigo.exe MixarroSetup-Cobalt.exe > SHA256SUMS)
cat "$out/SHA256SUMS"
