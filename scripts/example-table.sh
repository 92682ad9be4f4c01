#!/usr/bin/env bash
# The ECU simulator's example table beside the program, for a trial on the simulated board.
#
#   bash scripts/example-table.sh place    TABLE EXAMPLE   puts EXAMPLE at TABLE
#   bash scripts/example-table.sh withdraw TABLE EXAMPLE   takes back what `place` put there
#
# Whatever is at TABLE is the user's unless this script put it there: a copy it made is
# remembered by its checksum (.TABLE.placed beside it), so a later run replaces or removes
# only that copy, also once the example has changed. A dangling link is replaced; anything else
# of the user's (a file, a link, equal to the example or not) stays as it is.
set -euo pipefail

[ $# -eq 3 ] || { echo "usage: bash scripts/example-table.sh place|withdraw TABLE EXAMPLE" >&2; exit 2; }
action=$1 table=$2 example=$3
placed="$(dirname "$table")/.$(basename "$table").placed"

# True when the file at TABLE is the copy this script made, unchanged since.
ours() {
  [ -f "$placed" ] && [ -f "$table" ] && [ ! -L "$table" ] &&
    [ "$(sha256sum < "$table")" = "$(cat "$placed")" ]
}

case "$action" in
  place)
    if [ -L "$table" ] && [ ! -e "$table" ]; then rm -f "$table"; fi
    if [ ! -e "$table" ] && [ ! -L "$table" ] || ours; then
      cp "$example" "$table.$$"
      mv -f "$table.$$" "$table"
      sha256sum < "$table" > "$placed"
    else
      rm -f "$placed"
      cmp -s "$table" "$example" || echo "Kept $table: it is not the example table." >&2
    fi
    ;;
  withdraw)
    if ours; then rm -f "$table"; fi
    rm -f "$placed"
    ;;
  *) echo "usage: bash scripts/example-table.sh place|withdraw TABLE EXAMPLE" >&2; exit 2 ;;
esac
