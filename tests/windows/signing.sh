#!/usr/bin/env bash
# The signing step with a throwaway certificate and a timestamp server that the test makes
# itself (nothing is kept): the installer made with MORVANTIS_SIGN_PKCS12 is signed, and so is
# every program and DLL it installs, the uninstaller too; `osslsigncode verify` passes on each.
# Usage: signing.sh <program folder> <source folder> <version>
set -euo pipefail
stage=$(cd "$1" && pwd)
src=$2
version=$3
source "$src/tests/e2e/lib.sh"
source "$src/tests/windows/wine.sh"
trap 'stop_wine; cleanup' EXIT
start_display
start_wine

keys="$work/keys"
mkdir "$keys"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Morvantis test signing" \
  -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" \
  -keyout "$keys/sign.key" -out "$keys/sign.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$keys/sign.key" -in "$keys/sign.pem" -passout pass:throwaway -out "$keys/sign.p12"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Morvantis test timestamps" \
  -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=critical,timeStamping" \
  -keyout "$keys/tsa.key" -out "$keys/tsa.pem" 2>/dev/null
echo 01 >"$keys/serial"
cat >"$keys/tsa.cnf" <<CNF
[ tsa ]
default_tsa = here
[ here ]
serial = $keys/serial
signer_cert = $keys/tsa.pem
signer_key = $keys/tsa.key
certs = $keys/tsa.pem
signer_digest = sha256
default_policy = 1.3.6.1.4.1.4146.2.3
digests = sha1, sha256, sha384, sha512
accuracy = secs:1
ess_cert_id_alg = sha256
CNF
python3 "$src/tests/windows/tsa.py" "$keys/tsa.cnf" "$work/tsa.port" &
pids+=($!)
poll 10 test -s "$work/tsa.port" || fail "the timestamp server did not start"

installer="$work/morvantis-$version-win64.exe"
MORVANTIS_SIGN_PKCS12="$keys/sign.p12" MORVANTIS_SIGN_PASSWORD=throwaway \
  MORVANTIS_SIGN_TIMESTAMP="http://127.0.0.1:$(cat "$work/tsa.port")" \
  "$src/scripts/windows/make-installer" "$stage" "$version" "$installer" >"$work/make.log" 2>&1 ||
  { cat "$work/make.log"; fail "the signed installer was not made"; }
verified() { # file
  osslsigncode verify -CAfile "$keys/sign.pem" -TSA-CAfile "$keys/tsa.pem" -in "$1" >"$work/verify.log" 2>&1 ||
    { cat "$work/verify.log"; fail "$1: osslsigncode verify fails"; }
  grep -q 'Timestamp' "$work/verify.log" || { cat "$work/verify.log"; fail "$1: no timestamp"; }
}
verified "$installer"

chosen='C:\Signed\Morvantis'
wine "$installer" /S "/D=$chosen" >"$work/setup.log" 2>&1 || { cat "$work/setup.log"; fail "the signed install failed"; }
folder=$(winepath -u "$chosen" 2>/dev/null)
[ -f "$folder/Uninstall.exe" ] || fail "the signed install left no uninstaller"
count=0
while IFS= read -r -d '' file; do
  verified "$file"
  count=$((count + 1))
done < <(find "$folder" -type f \( -iname '*.exe' -o -iname '*.dll' \) -print0)
[ "$count" -ge 10 ] || fail "only $count programs and DLLs were installed"
pass "the installer and the $count programs and DLLs it installs (the uninstaller too) are signed and timestamped"
echo "signing: $passed checks passed"
