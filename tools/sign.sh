#!/usr/bin/env bash
# Signs Windows programs and installer packages (Authenticode, SHA-256) with
# the site's certificate, in place:
#   tools/sign.sh FILE...
# The certificate comes from the environment:
#   RP_SIGN_PFX        the PFX (PKCS#12) file with the certificate and its key
#   RP_SIGN_PASSWORD   the PFX file's password (never on a command line);
#                      empty or unset for a PFX without one
#   RP_SIGN_TIMESTAMP  optional: the URL of an RFC 3161 time-stamp server, so
#                      that the signatures stay valid after the certificate expires
# Without RP_SIGN_PFX nothing is signed and the script says so (exit 0).
# Exit 1 when a file could not be signed; that file is left as it was.
set -euo pipefail

if [ $# -eq 0 ]; then echo "usage: tools/sign.sh FILE..." >&2; exit 2; fi
if [ -z "${RP_SIGN_PFX:-}" ]; then
    names=()
    for file in "$@"; do names+=("$(basename "$file")"); done
    echo "sign: no certificate (RP_SIGN_PFX is not set), not signed: ${names[*]}"
    exit 0
fi
if [ ! -r "$RP_SIGN_PFX" ]; then echo "sign: cannot read the certificate $RP_SIGN_PFX" >&2; exit 1; fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# osslsigncode reads the password from a file only this user may read; it
# cannot read an empty one, and a PFX without a password needs none given.
password=()
if [ -n "${RP_SIGN_PASSWORD:-}" ]; then
    (umask 077; printf '%s' "$RP_SIGN_PASSWORD" >"$work/password")
    password=(-readpass "$work/password")
fi
timestamp=()
if [ -n "${RP_SIGN_TIMESTAMP:-}" ]; then timestamp=(-ts "$RP_SIGN_TIMESTAMP"); fi

for file in "$@"; do
    if ! osslsigncode sign -pkcs12 "$RP_SIGN_PFX" "${password[@]}" -h sha256 \
            -n "Tilbury 550TK Remote Panel" "${timestamp[@]}" -in "$file" -out "$work/signed" >"$work/log" 2>&1; then
        echo "sign: $file could not be signed:" >&2
        cat "$work/log" >&2
        exit 1
    fi
    cat "$work/signed" >"$file"
    rm -f "$work/signed"
    echo "sign: signed $(basename "$file")"
done
