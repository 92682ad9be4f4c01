#!/usr/bin/env bash
# scripts/example-table.sh: what `run.sh --simulated` puts beside the program, and what the
# plain run takes back, against every kind of thing a user may have at the table's place.
set -uo pipefail
script=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

check() {  # description, then a command that must succeed
  local what=$1
  shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}
fresh() {
  rm -rf "$work/bin" && mkdir -p "$work/bin"
  printf 'example table v1' > "$work/example.sim"
}
place() { bash "$script" place "$work/bin/Obd2DeFault.DAT" "$work/example.sim" 2> "$work/err"; }
withdraw() { bash "$script" withdraw "$work/bin/Obd2DeFault.DAT" "$work/example.sim" 2> "$work/err"; }
table="$work/bin/Obd2DeFault.DAT"
is() { [ -f "$table" ] && [ "$(cat "$table")" = "$1" ]; }

fresh
check "nothing there: the example is put in place" place
check "  a copy of the example" is 'example table v1'
check "  and it is a file, not a link" test ! -L "$table"
check "the plain run takes it back" withdraw
check "  gone" test ! -e "$table"
check "  with nothing left beside it" test -z "$(ls -A "$work/bin")"

fresh
ln -s "$work/nowhere" "$table"
check "a dangling link: replaced, the run goes on" place
check "  by the example" is 'example table v1'
check "  no longer a link" test ! -L "$table"

fresh
printf 'my own table' > "$table"
check "a user's table: kept" place
check "  as it was" is 'my own table'
check "  with a note" grep -q "Kept $table: it is not the example table." "$work/err"
check "  and the plain run keeps it" withdraw
check "  still as it was" is 'my own table'

fresh
cp "$work/example.sim" "$work/mine.sim"
ln -s "$work/mine.sim" "$table"
check "a user's link to a copy of the example: kept" place
check "  still the link" test -L "$table"
check "  no note" test ! -s "$work/err"
check "  the plain run keeps it" withdraw
check "  still the link" test -L "$table"
check "  to the user's file" is 'example table v1'

fresh
cp "$work/example.sim" "$table"
check "a user's own copy of the example, put there by hand: the plain run" withdraw
check "  keeps it" is 'example table v1'

fresh
place
printf 'example table v2' > "$work/example.sim"
check "the example changed: the script's older copy" place
check "  follows it" is 'example table v2'
place
printf 'example table v3' > "$work/example.sim"
check "the plain run after the example changed" withdraw
check "  still takes back the older copy" test ! -e "$table"

fresh
place
printf 'edited by the user' > "$table"
check "the script's copy edited by the user: the plain run" withdraw
check "  keeps the edit" is 'edited by the user'
check "  and a later --simulated run too" place
check "  keeps it" is 'edited by the user'

[ "$failures" -eq 0 ] || { echo "$failures failed"; exit 1; }
