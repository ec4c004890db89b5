#!/usr/bin/env bash
# ctest package_signing: tools/sign.sh, with a certificate made here for the
# test, signs a program and the package so that osslsigncode verifies them;
# without a certificate, or with a wrong password, both stay as they were.
#   tests/package/check-signing.sh PROGRAM.exe PACKAGE.msi
set -uo pipefail
sign="$(dirname "$0")/../../tools/sign.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Test site code signing" \
    -addext extendedKeyUsage=codeSigning -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null &&
    openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/site.pfx" -passout pass:"s3cret pass" &&
    openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/open.pfx" -passout pass: ||
    { echo "no test certificate"; exit 1; }
originals=("$@")
files=()
for original in "$@"; do
    cp "$original" "$work/" && files+=("$work/$(basename "$original")")
done
failed=0
unchanged() {  # the signing named in $1 left every file as it was
    for i in "${!files[@]}"; do
        cmp -s "${files[$i]}" "${originals[$i]}" || { echo "$1: $(basename "${files[$i]}") changed"; failed=1; }
    done
}

output=$(env -u RP_SIGN_PFX "$sign" "${files[@]}")
grep -q "not signed" <<<"$output" || { echo "no certificate: not said ($output)"; failed=1; }
unchanged "no certificate"
if RP_SIGN_PFX="$work/site.pfx" RP_SIGN_PASSWORD=wrong "$sign" "${files[@]}" 2>/dev/null; then
    echo "wrong password: reported as signed"; failed=1
fi
unchanged "wrong password"

# A PFX without a password signs a copy of the first file with the password unset.
cp "${files[0]}" "$work/open-copy"
files+=("$work/open-copy")
env -u RP_SIGN_PASSWORD RP_SIGN_PFX="$work/open.pfx" "$sign" "$work/open-copy" >/dev/null || failed=1
RP_SIGN_PFX="$work/site.pfx" RP_SIGN_PASSWORD="s3cret pass" "$sign" "${files[@]:0:${#originals[@]}}" >/dev/null || failed=1
for file in "${files[@]}"; do
    if ! osslsigncode verify -in "$file" -CAfile "$work/cert.pem" >"$work/verify.log" 2>&1; then
        echo "$(basename "$file"): signature not verified"
        cat "$work/verify.log"
        failed=1
    fi
done
[ "$failed" -eq 0 ] && echo "signed and verified: $*"
exit "$failed"
