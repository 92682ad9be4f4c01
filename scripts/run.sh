#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
# The program talks to the board through build/default/bin/libmpusbapi.so (libusb). To try it
# without a board, start it with the simulated board first on the library path:
#   LD_LIBRARY_PATH=build/default/testboard build/default/bin/VR3526Kits
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install.sh
cmake --preset default >/dev/null
cmake --build --preset default --target VR3526Kits
exec build/default/bin/VR3526Kits "$@"
