#!/usr/bin/env bash
# A server that takes the connection and then stops answering: "trelvo draw"
# ends within 15 seconds with a German message and issues nothing, and
# another workstation draws within 30 seconds after it, the next number
# without a gap or a repeat.
#   dead_link_test.sh TRELVO SCRATCH_POSTGRES STALLING_PROXY WORK_DIR [MARKER...]
# In a network namespace of its own (as root): its own scratch server, and
# the draw through a proxy that goes silent once the draw sends the statement
# that locks the range's row (a MARKER in its bytes; by default the lock
# function's name or "FOR UPDATE") and then cuts the loopback link below TCP,
# so that even keepalive probes go unanswered. Exit status 77 (skipped) where
# no namespace or no packet-dropping queue can be had.
set -euo pipefail
trelvo="$1" scratch_postgres="$2" proxy="$3" work="$4"
shift 4
markers=("$@")
[ ${#markers[@]} -gt 0 ] || markers=("lock_range(" "FOR UPDATE")

skip() {
  echo "dead link not tested: $*"
  exit 77
}
fail() {
  echo "FAILED: $*"
  for log in "$work"/*.err; do [ -s "$log" ] && { echo "--- $log"; cat "$log"; }; done
  exit 1
}

if [ -z "${TRELVO_DEAD_LINK_NAMESPACE:-}" ]; then
  # The server runs as "nobody" when started by root; in a user namespace
  # that user does not exist.
  [ "$(id -u)" -eq 0 ] || skip "a network namespace of its own needs root"
  unshare -n true 2>/dev/null || skip "no network namespace (unshare -n)"
  exec env TRELVO_DEAD_LINK_NAMESPACE=1 unshare -n bash "$0" "$trelvo" "$scratch_postgres" "$proxy" "$work" "${markers[@]}"
fi

ip link set lo up
# Every packet on the loopback dropped: netem where the kernel has it, else
# the blackhole queue, which drops all it is given.
cut_link=()
for queue in "netem loss 100%" "blackhole"; do
  # shellcheck disable=SC2086
  if tc qdisc add dev lo root $queue 2>/dev/null; then
    tc qdisc del dev lo root
    read -r -a cut_link <<<"tc qdisc add dev lo root $queue"
    break
  fi
done
[ ${#cut_link[@]} -gt 0 ] || skip "tc drops no packets here (neither netem nor blackhole)"

proxy_pid=""
cleanup() {
  [ -z "$proxy_pid" ] || kill "$proxy_pid" 2>/dev/null || true
  tc qdisc del dev lo root 2>/dev/null || true
  "$scratch_postgres" stop "$work/server" >/dev/null 2>&1 || true
}
trap cleanup EXIT
trap 'exit 1' INT TERM

rm -rf "$work"
mkdir -p "$work/home"
export HOME="$work/home" XDG_DATA_HOME="$work/home"
now_ms() { local t="$EPOCHREALTIME"; echo $((${t/[.,]/} / 1000)); }
pointer() { printf '[Server]\r\nConnection=%s\r\nRange="Filiale"\r\n' "$1" >"$2"; }

"$scratch_postgres" start "$work/server" >/dev/null
connection="$(cat "$work/server/connection")"
server_port="$(cat "$work/server/port")"
pointer "$connection" "$work/direkt.ini"
printf '[Zaehler]\r\nCounter=41\r\n[Optionen]\r\nTextBefore="RE-"\r\nPadding=3\r\n' >"$work/alt.ini"
"$trelvo" server-init --counter-file "$work/direkt.ini" --from "$work/alt.ini" >/dev/null 2>"$work/init.err" ||
  fail "server-init"
first="$("$trelvo" draw --counter-file "$work/direkt.ini" 2>"$work/first.err")" || fail "the first draw"
[ "$first" = "RE-0042" ] || fail "the first draw gave '$first'"

python3 "$proxy" "$server_port" "$work/proxy.port" "$work/silent" "${markers[@]}" -- "${cut_link[@]}" \
  2>"$work/proxy.err" &
proxy_pid=$!
for _ in $(seq 100); do [ -s "$work/proxy.port" ] && break; sleep 0.1; done
[ -s "$work/proxy.port" ] || fail "the proxy did not start"
pointer "${connection/Port=$server_port;/Port=$(cat "$work/proxy.port");}" "$work/fern.ini"

# The draw on the link that dies.
began="$(now_ms)"
status=0
timeout 60 "$trelvo" draw --counter-file "$work/fern.ini" >"$work/cut.out" 2>"$work/cut.err" || status=$?
ended="$(now_ms)"
[ "$(cat "$work/silent" 2>/dev/null)" = answered ] ||
  fail "the link never went silent after the server locked the row (markers: ${markers[*]})"
[ "$status" -ne 0 ] || fail "the draw on the dead link succeeded: $(cat "$work/cut.out")"
[ ! -s "$work/cut.out" ] || fail "the draw on the dead link printed a number: $(cat "$work/cut.out")"
elapsed=$((ended - began))
echo "the draw on the dead link ended after ${elapsed} ms (exit status $status)"
[ "$elapsed" -le 15000 ] || fail "the draw on the dead link took ${elapsed} ms"
grep -q "ist abgebrochen" "$work/cut.err" && grep -q "Es wurde keine Nummer vergeben." "$work/cut.err" ||
  fail "no German message of a broken connection: $(cat "$work/cut.err")"

# Another workstation, straight to the server, once the row is free again.
tc qdisc del dev lo root
deadline=$((ended + 30000))
attempts=0
while :; do
  attempts=$((attempts + 1))
  if next="$(timeout 30 "$trelvo" draw --counter-file "$work/direkt.ini" 2>>"$work/retry.err")"; then break; fi
  [ "$(now_ms)" -lt "$deadline" ] || fail "no draw succeeded within 30 s after the dead one ($attempts attempts)"
  sleep 0.5
done
drawn="$(now_ms)"
echo "the other workstation drew $next $((drawn - ended)) ms after the dead draw ended ($attempts attempts)"
[ "$drawn" -le "$deadline" ] || fail "the other workstation drew only $((drawn - ended)) ms after the dead draw"
[ "$next" = "RE-0043" ] || fail "the other workstation drew '$next' after RE-0042"
