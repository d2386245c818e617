#!/usr/bin/env bash
# Signs a release executable with Authenticode (SHA-256) and writes its .sha256
# beside it, of the file as shipped.
#   sign-release.sh EXE
# ORVITEX_SIGN_PFX (a PKCS#12 file) and ORVITEX_SIGN_PASSWORD: the certificate and
# its password; without both the executable is left unsigned and that is said.
# ORVITEX_SIGN_TIMESTAMP: an RFC 3161 time-stamping server, so that the signature
# outlives the certificate.
set -euo pipefail
exe=$1
name=$(basename "$exe")
checksum() { (cd "$(dirname "$exe")" && sha256sum "$name" >"$name.sha256"); }
signed="$exe.signed"
trap 'rm -f "$signed" "$exe.signature"' EXIT

if [ -z "${ORVITEX_SIGN_PFX:-}" ] || [ -z "${ORVITEX_SIGN_PASSWORD:-}" ]; then
    # A build left signed by an earlier release loses that signature: unsigned means unsigned.
    if osslsigncode extract-signature -in "$exe" -out "$exe.signature" >/dev/null 2>&1; then
        osslsigncode remove-signature -in "$exe" -out "$signed" >/dev/null
        mv -f "$signed" "$exe"
    fi
    checksum
    echo "sign-release: $name is UNSIGNED (set ORVITEX_SIGN_PFX and ORVITEX_SIGN_PASSWORD to sign);" \
        "Windows will name no publisher for it"
    exit 0
fi
timestamp=()
[ -z "${ORVITEX_SIGN_TIMESTAMP:-}" ] || timestamp=(-ts "$ORVITEX_SIGN_TIMESTAMP")
# The password goes through a pipe, never on a command line others can list.
osslsigncode sign -pkcs12 "$ORVITEX_SIGN_PFX" -readpass <(printf '%s' "$ORVITEX_SIGN_PASSWORD") \
    -h sha256 -n orvitex-setup "${timestamp[@]}" -in "$exe" -out "$signed" >/dev/null
mv -f "$signed" "$exe"
checksum
echo "sign-release: $name signed (Authenticode SHA-256${ORVITEX_SIGN_TIMESTAMP:+, timestamped by $ORVITEX_SIGN_TIMESTAMP})"
