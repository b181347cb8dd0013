#!/usr/bin/env bash
# End-to-end test of the release tool: runs the built binary on good and
# hostile inputs and checks its output lines and exit statuses.
#   velmor_manifest_test.sh PATH-TO-velmor-manifest
set -uo pipefail

tool=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

digest=9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08
url=https://cdn.velmor.gg/VelmorLauncherSetup.exe
good='{"version":"1.4.2","download_url":"'$url'","sha256":"'$digest'","size_bytes":48213504}'
accepted=$good
unreadable='Sürüm bilgisi okunamadı.'
foreign='Kurulum dosyası velmor.gg dışından indirilmek isteniyor; güvenlik için indirilmedi.'

# expect NAME STATUS STDOUT STDERR -- COMMAND...: runs COMMAND with standard
# input from $scratch/stdin and compares. STDERR "usage" stands for the usage
# text, "*" for anything non-empty.
expect() {
    local name=$1 status=$2 out=$3 err=$4
    shift 5
    timeout 60 "$@" <"$scratch/stdin" >"$scratch/out" 2>"$scratch/err"
    local got=$?
    local got_out got_err
    got_out=$(cat "$scratch/out")
    got_err=$(cat "$scratch/err")
    local ok=1
    [[ $got == "$status" ]] || ok=0
    [[ $got_out == "$out" ]] || ok=0
    case $err in
        usage) [[ $got_err == usage:* ]] || ok=0 ;;
        '*') [[ -n $got_err && $(wc -l <"$scratch/err") == 1 ]] || ok=0 ;;
        *) [[ $got_err == "$err" ]] || ok=0 ;;
    esac
    if ((ok)); then
        echo "ok: $name"
    else
        echo "FAILED: $name: status $got (want $status)"
        echo "  stdout: $got_out"
        echo "  want:   $out"
        echo "  stderr: $got_err"
        echo "  want:   $err"
        failures=$((failures + 1))
    fi
}

manifest() { printf '%s' "$2" >"$scratch/$1"; }
: >"$scratch/stdin"

# check: good manifests, from a file and from standard input.
manifest good.json "$good"
expect "check FILE" 0 "$accepted" "" -- "$tool" check "$scratch/good.json"
cp "$scratch/good.json" "$scratch/stdin"
expect "check from standard input" 0 "$accepted" "" -- "$tool" check
expect "check - reads standard input" 0 "$accepted" "" -- "$tool" check -
: >"$scratch/stdin"

manifest loose.json '["  vv01.2.3\u3000","https://CDN.Velmor.GG:8443/a?b#c"," '"${digest^^}"'\t"]'
expect "check normalises version and digest, keeps the address" 0 \
    '{"version":"01.2.3","download_url":"https://CDN.Velmor.GG:8443/a?b#c","sha256":"'$digest'","size_bytes":0}' \
    "" -- "$tool" check "$scratch/loose.json"

# The installer's limit: the first 65536 bytes only.
{
    printf '%s' "$good"
    head -c $((65536 - ${#good})) /dev/zero | tr '\0' ' '
    printf 'garbage after the limit'
} >"$scratch/padded.json"
expect "check ignores what follows the first 65536 bytes" 0 "$accepted" "" -- \
    "$tool" check "$scratch/padded.json"
{
    printf '{"notes":"'
    head -c 70000 /dev/zero | tr '\0' 'a'
    printf '",%s' "${good#\{}"
} >"$scratch/long.json"
expect "check refuses a manifest that the limit cuts" 1 "" "$unreadable" -- \
    "$tool" check "$scratch/long.json"
# An endless stream: only the limit is read, so the tool returns.
{ printf '%s' "$good"; yes ' '; } | timeout 20 "$tool" check >"$scratch/out" 2>/dev/null
status=${PIPESTATUS[1]}
if [[ $status == 0 && $(cat "$scratch/out") == "$accepted" ]]; then
    echo "ok: check stops reading an endless standard input at the limit"
else
    echo "FAILED: endless standard input: status $status"
    failures=$((failures + 1))
fi

# Hostile manifests get the installer's sentence and status 1.
printf '\xEF\xBB\xBF%s' "$good" >"$scratch/bom.json"
expect "check refuses a byte-order mark" 1 "" "$unreadable" -- "$tool" check "$scratch/bom.json"
printf '%s\0{}' "$good" >"$scratch/nul.json"
expect "check refuses a NUL after the object" 1 "" "$unreadable" -- "$tool" check "$scratch/nul.json"
manifest foreign.json '{"version":"1.4.2","download_url":"https://velmor.gg.evil.example/s.exe","sha256":"'$digest'"}'
expect "check refuses a foreign host" 1 "" "$foreign" -- "$tool" check "$scratch/foreign.json"
manifest http.json '{"version":"1.4.2","download_url":"http://velmor.gg/s.exe","sha256":"'$digest'"}'
expect "check refuses plain http" 1 "" "$foreign" -- "$tool" check "$scratch/http.json"
manifest nourl.json '{"version":"1.4.2","download_url":"velmor.gg/s.exe","sha256":"'$digest'"}'
expect "check refuses an address that does not parse" 1 "" "İndirme adresi geçersiz." -- \
    "$tool" check "$scratch/nourl.json"
manifest nodigest.json '{"version":"1.4.2","download_url":"'$url'"}'
expect "check refuses a missing digest" 1 "" \
    "Bu sürümün SHA-256 özeti yok; güvenlik için indirilmedi." -- "$tool" check "$scratch/nodigest.json"
manifest version.json '{"version":"V1.4.2","download_url":"'$url'","sha256":"'$digest'"}'
expect "check refuses an unreadable version" 1 "" "Sunucudaki sürüm numarası okunamadı." -- \
    "$tool" check "$scratch/version.json"
manifest big.json '{"version":"1.4.2","download_url":"'$url'","sha256":"'$digest'","size_bytes":536870913}'
expect "check refuses an oversized setup program" 1 "" "Kurulum dosyası beklenenden büyük." -- \
    "$tool" check "$scratch/big.json"
manifest twice.json '{"version":"1.4.2","download_url":"'$url'","sha256":"'$digest'","version":"1.4.2"}'
expect "check refuses a repeated member" 1 "" "$unreadable" -- "$tool" check "$scratch/twice.json"
expect "check refuses an empty body" 1 "" "$unreadable" -- "$tool" check
expect "check names a file it cannot read" 1 "" "*" -- "$tool" check "$scratch/missing.json"
expect "check names a folder it cannot read" 1 "" "*" -- "$tool" check "$scratch"

# make: the size and digest of the file, validated like check.
printf 'hello' >"$scratch/setup.exe"
hello=2cf24dba5fb0a30e26e83b2ac5b9e29e1b161e5c1fa7425e73043362938b9824
expect "make" 0 '{"version":"1.0.0","download_url":"'$url'","sha256":"'$hello'","size_bytes":5}' "" -- \
    "$tool" make --version v1.0.0 --url "$url" "$scratch/setup.exe"
expect "make takes the options in either order" 0 \
    '{"version":"1.0.0","download_url":"https://velmor.gg/a\"b\\c","sha256":"'$hello'","size_bytes":5}' "" -- \
    "$tool" make "$scratch/setup.exe" --url 'https://velmor.gg/a"b\c' --version 1.0.0
: >"$scratch/empty.exe"
expect "make on an empty file states no size" 0 \
    '{"version":"1.0.0","download_url":"'$url'","sha256":"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855","size_bytes":0}' \
    "" -- "$tool" make --version 1.0.0 --url "$url" "$scratch/empty.exe"
expect "make refuses a foreign host" 1 "" "$foreign" -- \
    "$tool" make --version 1.0.0 --url https://evil.example/velmor.gg "$scratch/setup.exe"
expect "make refuses an unreadable version" 1 "" "Sunucudaki sürüm numarası okunamadı." -- \
    "$tool" make --version 1.0 --url "$url" "$scratch/setup.exe"
expect "make refuses an address that is not UTF-8" 1 "" "$unreadable" -- \
    "$tool" make --version 1.0.0 --url "$url"$'\xff' "$scratch/setup.exe"
truncate -s 536870913 "$scratch/huge.exe"
expect "make refuses a file over 512 MiB" 1 "" "Kurulum dosyası beklenenden büyük." -- \
    "$tool" make --version 1.0.0 --url "$url" "$scratch/huge.exe"
rm -f "$scratch/huge.exe"
expect "make names a file it cannot read" 1 "" "*" -- \
    "$tool" make --version 1.0.0 --url "$url" "$scratch/missing.exe"

# Wrong usage: the usage text and status 2.
expect "no command" 2 "" usage -- "$tool"
expect "unknown command" 2 "" usage -- "$tool" verify "$scratch/good.json"
expect "check with two files" 2 "" usage -- "$tool" check "$scratch/good.json" "$scratch/good.json"
expect "check with an option" 2 "" usage -- "$tool" check --strict
expect "make without --url" 2 "" usage -- "$tool" make --version 1.0.0 "$scratch/setup.exe"
expect "make without FILE" 2 "" usage -- "$tool" make --version 1.0.0 --url "$url"
expect "make with --version twice" 2 "" usage -- \
    "$tool" make --version 1.0.0 --version 1.0.0 --url "$url" "$scratch/setup.exe"
expect "make with a missing value" 2 "" usage -- "$tool" make "$scratch/setup.exe" --url "$url" --version
expect "make with two files" 2 "" usage -- \
    "$tool" make --version 1.0.0 --url "$url" "$scratch/setup.exe" "$scratch/setup.exe"
if "$tool" --help | grep -q '^usage: velmor-manifest check'; then
    echo "ok: --help"
else
    echo "FAILED: --help"
    failures=$((failures + 1))
fi

# A record that cannot be written is no success.
if [[ -w /dev/full ]]; then
    "$tool" check "$scratch/good.json" >/dev/full 2>/dev/null
    status=$?
    if [[ $status == 1 ]]; then
        echo "ok: a failed write exits 1"
    else
        echo "FAILED: a failed write exits $status"
        failures=$((failures + 1))
    fi
fi

if ((failures > 0)); then
    echo "$failures failed"
    exit 1
fi
