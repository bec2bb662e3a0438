#!/usr/bin/env bash
# zelvor-cli.exe under wine against register-sim (a Linux program on 127.0.0.1): imports the
# throw-away client certificate into the prefix's personal store, tests the connection, runs the
# list job in a folder with Polish letters and compares every cell of both workbooks with what the
# Linux build writes for the same input; the connection test goes through the proxy that the
# user's Windows settings name (and around it for an address of their bypass list); an input
# another program holds open is refused before any request; Ctrl-C in the console during a run
# saves both workbooks and exits 130.
#
#   cli_under_wine.sh ZELVOR_CLI_EXE WINDOWS_TOOLS_DIR LINUX_BUILD_DIR
#
# Runs in a wine prefix of its own, made new, so that no certificate of an earlier run is in its
# personal store.
set -euo pipefail

cli_exe=$(realpath "$1") tools=$(realpath "$2") linux=$(realpath "$3")
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source=scripts/lib/sim-env.sh
source "$root/scripts/lib/sim-env.sh"
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
register_sim=$linux/tools/register-sim/register-sim
linux_cli=$linux/src/cli/zelvor-cli
cells=$linux/tools/sample-workbook/zelvor-sample-workbook
for program in "$register_sim" "$linux_cli" "$cells"; do
  [ -x "$program" ] || { echo "needs the Linux build's $program (scripts/test builds it)" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/zelvor-wine-XXXXXX")
holder=
cleanup() {
  [ -n "$holder" ] && kill "$holder" 2>/dev/null
  sim_env_stop
  wineserver -k 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

# Wine shows the Linux root as drive Z:.
windows_path() { local p=${1//\//\\}; echo "Z:$p"; }
run_windows() { "$wine" "$cli_exe" "$@" </dev/null; }

# A prefix, a throw-away PKI and register-sim of their own; the client certificate imported into
# the prefix's store "MY" and the connection tested with it. Wine's RSA code (GnuTLS) cannot use
# some generated keys ("The scanning of a large integer has failed"), a fault of wine that real
# Windows does not share: then the whole set-up is made again with a new key, at most 4 times.
set_up() {
  local attempt=$1
  export WINEPREFIX=$work/wineprefix-$attempt WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
  wineboot -i >/dev/null 2>&1
  "$wine" reg add 'HKCU\Software\Wine' /v Version /d win10 /f >/dev/null 2>&1
  sim_env_stop
  sim_env_init "$work/set-up-$attempt"
  sim_env_make_pki
  sim_env_start "$register_sim" --seed 7 --size 300
  store=$(windows_path "$SIM_ENV_STORE")
  echo "register-sim on $SIM_URL"

  echo "== import"
  imported=$(printf 'zelvor\n' | "$wine" "$cli_exe" import "$(windows_path "$SIM_ENV_PKI/client.p12")" --store "$store")
  echo "$imported"
  serial=$(openssl x509 -in "$SIM_ENV_PKI/client.pem" -noout -serial | sed 's/^serial=//')
  [[ $imported == "imported: KREPTD (numer seryjny $serial, wystawca local;gitd;GITD SUB03 CA,"* ]] ||
    fail "the certificate was not imported, or is described otherwise than OpenSSL does ($serial)"

  echo "== test"
  local status=0
  run_windows test --register "$SIM_URL" --store "$store" >"$work/test.out" 2>&1 || status=$?
  cat "$work/test.out"
  if [ $status -ne 0 ] && grep -q "scanning of a large integer" "$work/test.out"; then
    echo "wine could not use this RSA key; a new one"
    wineserver -k 2>/dev/null || true
    return 1
  fi
  [ $status -eq 0 ] || fail "the connection test failed"
}
for attempt in 1 2 3 4; do
  set_up $attempt && break
  [ $attempt -lt 4 ] || fail "wine could use none of 4 RSA keys"
done

echo "== list"
folder="$work/Klienci – Łódź"
mkdir -p "$folder/linux" "$folder/windows"
"$cells" make "$folder/klienci.xlsx" --seed 7 --size 300 >/dev/null
cp "$folder/klienci.xlsx" "$folder/linux/klienci.xlsx"
cp "$folder/klienci.xlsx" "$folder/windows/klienci.xlsx"
(cd "$folder/linux" && "$linux_cli" list klienci.xlsx --register "$SIM_URL" \
  --store "$SIM_ENV_STORE" --no-progress >"$work/linux.out")
(cd "$folder/windows" && run_windows list "$(windows_path "$folder/windows/klienci.xlsx")" \
  --register "$SIM_URL" --store "$store" --no-progress >"$work/windows.out") ||
  { cat "$work/windows.out"; fail "the list run under wine failed"; }
grep -a "^result: " "$work/windows.out" || fail "no result line under wine"

compare() {
  local what=$1 linux_file=$2 windows_file=$3
  [ -f "$windows_file" ] || fail "no $what workbook under wine"
  "$cells" cells "$linux_file" >"$work/$what.linux"
  "$cells" cells "$windows_file" >"$work/$what.windows"
  diff "$work/$what.linux" "$work/$what.windows" >&2 || fail "the $what workbooks differ"
  echo "$what: $(wc -l <"$work/$what.windows") cells, the same as on Linux"
}
compare annotated "$folder/linux/klienci.xlsx" "$folder/windows/klienci.xlsx"
compare result "$(ls "$folder"/linux/Wynik_Hdr_*.xlsx)" "$(ls "$folder"/windows/Wynik_Hdr_*.xlsx)"

echo "== through the proxy of the user's settings"
# Wine's WinHttpGetIEProxyConfigForCurrentUser reads the binary value DefaultConnectionSettings,
# not ProxyEnable/ProxyServer: a version, a counter, flags (1 direct, 2 a fixed proxy), then the
# proxy list, the bypass list and the configuration script's address, each a 32-bit
# little-endian length and its text.
connect_proxy=$linux/tests/support/zelvor-connect-proxy
[ -x "$connect_proxy" ] || fail "needs the Linux build's $connect_proxy"
"$connect_proxy" >"$work/proxy.out" 2>&1 &
proxy_pid=$!
trap 'kill "$proxy_pid" 2>/dev/null; cleanup' EXIT
for _ in $(seq 100); do grep -q "^proxy on " "$work/proxy.out" && break; sleep 0.1; done
proxy_address=$(sed -n 's#^proxy on http://##p' "$work/proxy.out")
[ -n "$proxy_address" ] || fail "the proxy did not start: $(cat "$work/proxy.out")"
register_address=$(sed -E 's#^https://([^/]+).*#\1#' <<<"$SIM_URL")
le32() {
  printf '%02x%02x%02x%02x' $(($1 & 255)) $((($1 >> 8) & 255)) $((($1 >> 16) & 255)) \
    $((($1 >> 24) & 255))
}
counted() { le32 ${#1}; printf '%s' "$1" | od -An -tx1 | tr -d ' \n'; }
system_proxy() { # FLAGS PROXIES BYPASS
  "$wine" reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings\Connections' \
    /v DefaultConnectionSettings /t REG_BINARY \
    /d "$(le32 70)$(le32 1)$(le32 "$1")$(counted "$2")$(counted "$3")$(counted "")$(le32 0)" \
    /f >/dev/null 2>&1 || fail "the proxy settings could not be written"
}
tunnels() { grep -c "^tunnel " "$work/proxy.out" || true; }
# libcurl's own variables would win over the settings, as they should: none here but where set.
run_proxied() {
  env -u http_proxy -u https_proxy -u HTTPS_PROXY -u all_proxy -u ALL_PROXY -u no_proxy \
    -u NO_PROXY "$@" "$wine" "$cli_exe" test --register "$SIM_URL" --store "$store" \
    </dev/null >"$work/proxied.out" 2>&1 ||
    { cat "$work/proxied.out"; fail "the connection test failed (${*:-no variables})"; }
}
# Per scheme: https goes to the proxy, http to a port where nothing listens.
system_proxy 3 "http=127.0.0.1:9;https=$proxy_address" "*.example.invalid;<local>"
run_proxied
sleep 0.2
[ "$(tunnels)" -ge 1 ] || fail "the connection test did not go through the proxy"
grep "^tunnel " "$work/proxy.out" | grep -vqx "tunnel $register_address" &&
  fail "a tunnel led elsewhere than $register_address: $(cat "$work/proxy.out")"
echo "$(tunnels) tunnel(s) to $register_address through the proxy the settings name"
before=$(tunnels)
system_proxy 3 "$proxy_address" "localhost;127.0.0.1"
run_proxied
sleep 0.2
[ "$(tunnels)" = "$before" ] || fail "an address of the bypass list went through the proxy"
echo "an address of the bypass list goes direct"
system_proxy 3 "127.0.0.1:9" ""
run_proxied https_proxy="http://$proxy_address"
sleep 0.2
[ "$(tunnels)" -gt "$before" ] || fail "https_proxy did not win over the settings"
echo "https_proxy wins over the settings"
system_proxy 1 "" ""
kill "$proxy_pid" 2>/dev/null
wait "$proxy_pid" 2>/dev/null || true
trap cleanup EXIT

echo "== an input held open elsewhere"
held="$folder/otwarty.xlsx"
cp "$folder/klienci.xlsx" "$held"
"$wine" "$tools/hold-file.exe" "$(windows_path "$held")" 60 >"$work/holder.out" 2>&1 &
holder=$!
for _ in $(seq 100); do grep -q held "$work/holder.out" && break; sleep 0.1; done
grep -q held "$work/holder.out" || fail "the file could not be held open: $(cat "$work/holder.out")"
before=$(sim_env_stats)
status=0
run_windows list "$(windows_path "$held")" --register "$SIM_URL" --store "$store" \
  --no-progress >"$work/held.out" 2>"$work/held.err" || status=$?
cat "$work/held.err"
[ "$status" -eq 1 ] || fail "exit status $status for a held input, not 1"
grep -q "jest otwarty w innym programie" "$work/held.err" || fail "no Polish sentence about the open file"
[ "$(sim_env_stats)" = "$before" ] || fail "requests reached the register: $before -> $(sim_env_stats)"
echo "refused before any request"

echo "== Ctrl-C in the console during a run"
# The third record's search is held back; Ctrl-C while it waits must end it, mark it, save both
# workbooks and exit 130, as on Linux.
sim_env_stop
stopped="$folder/stop"
mkdir -p "$stopped"
"$cells" make "$stopped/klienci.xlsx" --seed 7 --size 300 --count 5 >/dev/null
third=$("$cells" cells "$stopped/klienci.xlsx" | sed -n 's/^A4\t//p')
sim_env_start "$register_sim" --seed 7 --size 300 --fault "$third=stall" --stall-ms 60000
"$wine" "$tools/console-stop.exe" "$(windows_path "$work/press")" "$(windows_path "$work/stop.out")" \
  "$(windows_path "$work/stop.err")" "$(windows_path "$cli_exe")" list \
  "$(windows_path "$stopped/klienci.xlsx")" --register "$SIM_URL" --store "$store" --no-progress &
runner=$!
for _ in $(seq 600); do sim_env_stats | grep -q '"inFlight":1' && break; sleep 0.1; done
sim_env_stats | grep -q '"inFlight":1' || fail "the third search never reached the register"
touch "$work/press"
status=0
wait "$runner" || status=$?
cat "$work/stop.out" "$work/stop.err"
[ "$status" -eq 130 ] || fail "exit status $status after Ctrl-C, not 130"
"$cells" cells "$stopped/klienci.xlsx" >"$work/stopped.cells"
grep -q "^C4	PRZERWANE PRZEZ UŻYTKOWNIKA" "$work/stopped.cells" || fail "the record in flight is not marked"
[ "$(grep -c '^C[23]	' "$work/stopped.cells")" -eq 2 ] || fail "the records before it lost their outcome"
grep -q '^C[56]	' "$work/stopped.cells" && fail "records after the stop were looked up"
result=$(ls "$stopped"/Wynik_Hdr_*.xlsx) || fail "no result workbook after Ctrl-C"
"$cells" cells "$result" | grep -q "PRZERWANE PRZEZ UŻYTKOWNIKA" || fail "the result lacks the interrupted record"
echo "stopped with 130, both workbooks saved"
