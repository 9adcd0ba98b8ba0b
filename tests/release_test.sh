#!/usr/bin/env bash
# The release command: two release builds from the same inputs in different build folders
# give the same unsigned installers (same SHA-256), and installers signed with a throwaway
# self-signed certificate pass osslsigncode's verification.
#   release_test.sh WORK_DIR
set -uo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
work=$(realpath -m "$1")
rm -rf "$work"; mkdir -p "$work"
fail=0

openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
  -subj "/CN=QX-Audio Software test signing" >/dev/null 2>&1 || { echo "openssl failed"; exit 1; }

bash "$src/tools/release.sh" --build "$work/build-a" --out "$work/out-a" >"$work/a.log" 2>&1 \
  || { tail -20 "$work/a.log"; exit 1; }
grep -q "warning: no certificate given" "$work/a.log" || { echo "no warning for an unsigned release"; fail=1; }
bash "$src/tools/release.sh" --build "$work/build-b" --out "$work/out-b" >"$work/b.log" 2>&1 \
  || { tail -20 "$work/b.log"; exit 1; }
if cmp -s "$work/out-a/SHA256SUMS" "$work/out-b/SHA256SUMS"; then
  echo "two unsigned release builds agree:"; cat "$work/out-a/SHA256SUMS"
else
  echo "two release builds differ:"; diff "$work/out-a/SHA256SUMS" "$work/out-b/SHA256SUMS"; fail=1
fi
(cd "$work/out-a" && sha256sum -c --quiet SHA256SUMS) || { echo "SHA256SUMS does not match the files"; fail=1; }

bash "$src/tools/release.sh" --build "$work/build-a" --out "$work/out-signed" \
  --cert "$work/cert.pem" --key "$work/key.pem" >"$work/s.log" 2>&1 || { tail -20 "$work/s.log"; exit 1; }
for edition in Indigo Cobalt; do
  f=$work/out-signed/MixarroSetup-$edition.exe
  if osslsigncode verify -CAfile "$work/cert.pem" -in "$f" >"$work/verify-$edition.log" 2>&1; then
    echo "$edition: signature verified"
  else
    echo "$edition: signature NOT verified"; tail -5 "$work/verify-$edition.log"; fail=1
  fi
  cmp -s "$f" "$work/out-a/MixarroSetup-$edition.exe" && { echo "$edition: signed file equals the unsigned one"; fail=1; }
done
[ $fail = 0 ] && rm -rf "$work"
exit $fail
