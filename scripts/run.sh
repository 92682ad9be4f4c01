#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it on the board's USB library
# (build/default/bin/libmpusbapi.so, libusb).
#
#   --simulated   builds the simulated board too and starts the program on it, with a peer on
#                 every bus (testboard/examples/all-buses.setup) and the ECU simulator's example
#                 table beside it as Obd2DeFault.DAT (testboard/examples/obd2-default.table):
#                 for trying it without a board
#   --build-only  builds what the other options ask for and starts nothing
set -euo pipefail
cd "$(dirname "$0")/.."

simulated=0
start=1
for arg in "$@"; do
  case "$arg" in
    --simulated) simulated=1 ;;
    --build-only) start=0 ;;
    *) echo "usage: bash scripts/run.sh [--simulated] [--build-only]" >&2; exit 2 ;;
  esac
done

bash scripts/install.sh
cmake --preset default >/dev/null
table=build/default/bin/Obd2DeFault.DAT
example=build/default/testboard/example-table.sim
if [ "$simulated" -eq 1 ]; then
  cmake --build --preset default --target VR3526Kits testboard example_table
  # A table of the user's own in its place is kept, never overwritten.
  bash scripts/example-table.sh place "$table" "$example"
else
  cmake --build --preset default --target VR3526Kits
  # The trial's table is not the user's: a real board starts with the table the user placed
  # beside the program, or none.
  bash scripts/example-table.sh withdraw "$table" "$example"
fi
[ "$start" -eq 1 ] || exit 0

if [ "$simulated" -eq 1 ]; then
  # The simulated board's library is found first, before the real one beside the program.
  export LD_LIBRARY_PATH="$PWD/build/default/testboard${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
  export VR3526_TESTBOARD="$PWD/testboard/examples/all-buses.setup"
fi
exec build/default/bin/VR3526Kits
