#!/usr/bin/env bash
# tools/sign-release.sh on a copy of a built executable, with a throwaway
# self-signed certificate made here.   signing_test.sh EXE TOOLS-FOLDER
set -uo pipefail
exe=$1 sign=$2/sign-release.sh
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }
copy=$dir/orvitex-setup.exe
cp "$exe" "$copy"
verify() { osslsigncode verify -CAfile "$1" -in "$copy" >"$dir/verify.txt" 2>&1; }
summed() { (cd "$dir" && sha256sum --status -c orvitex-setup.exe.sha256); }
certificate() {  # NAME PASSWORD: NAME.pem and NAME.pfx
    openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=orvitex-setup test $1" \
        -addext extendedKeyUsage=codeSigning -keyout "$dir/$1.key" -out "$dir/$1.pem" 2>/dev/null &&
        openssl pkcs12 -export -inkey "$dir/$1.key" -in "$dir/$1.pem" -out "$dir/$1.pfx" \
            -passout "pass:$2"
}
certificate signer 'pass word;1' || fail "no throwaway certificate"
certificate stranger other || fail "no second certificate"

# Without a certificate: said plainly, the file as built, its checksum beside it.
unset ORVITEX_SIGN_PFX ORVITEX_SIGN_PASSWORD
out=$("$sign" "$copy") || fail "unsigned release failed"
grep -q UNSIGNED <<<"$out" || fail "an unsigned release is not called so: $out"
cmp -s "$exe" "$copy" || fail "the unsigned executable changed"
summed || fail "the checksum of the unsigned executable"
verify "$dir/signer.pem" && fail "an unsigned executable verifies"

# A wrong password: the signing fails and leaves the executable as it was.
ORVITEX_SIGN_PFX=$dir/signer.pfx ORVITEX_SIGN_PASSWORD=wrong "$sign" "$copy" >/dev/null 2>&1 &&
    fail "signed with a wrong password"
cmp -s "$exe" "$copy" || fail "a failed signing changed the executable"
ls "$dir" | grep -q '\.signed$' && fail "a failed signing left its temporary file"

# Signed, twice as a second make release would: one signature that verifies
# against its own certificate only, the checksum of the signed file.
for pass in first second; do
    out=$(ORVITEX_SIGN_PFX=$dir/signer.pfx ORVITEX_SIGN_PASSWORD='pass word;1' "$sign" "$copy" 2>&1) ||
        fail "$pass signing failed: $out"
    grep -q "signed (Authenticode SHA-256)" <<<"$out" || fail "$pass signing says '$out'"
    grep -q "pass word" <<<"$out" && fail "the password is printed"
    verify "$dir/signer.pem" || fail "$pass signature does not verify: $(cat "$dir/verify.txt")"
    grep -q "Number of verified signatures: 1" "$dir/verify.txt" || fail "$pass: not one signature"
    grep -q "^Message digest algorithm  : SHA256" "$dir/verify.txt" || fail "$pass: not SHA-256"
    summed || fail "$pass: the checksum is not of the signed executable"
done
cmp -s "$exe" "$copy" && fail "the signed executable is the unsigned one"
verify "$dir/stranger.pem" && fail "the signature verifies against a certificate that did not sign"
# Unsigned again: the earlier signature goes, so that the word is true.
"$sign" "$copy" >/dev/null || fail "unsigning failed"
osslsigncode extract-signature -in "$copy" -out "$dir/left.sig" >/dev/null 2>&1 && fail "a signature was left"
summed || fail "the checksum of the executable unsigned again"
ls "$dir" | grep -q '\.signed$\|\.signature$' && fail "a temporary file was left"
[ "$failed" = 0 ] && echo "tools.signing: all checks hold"
exit "$failed"
