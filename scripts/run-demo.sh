#!/usr/bin/env bash
# Installs what is missing, builds, and starts the configurator on a simulated device.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
bin="${VARNEX_BUILD_DIR:-build}/bin"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  # The configurator starts varnex_sim itself, uses its COM number and ends it on exit.
  exec "$bin/Varnex" --demo "$@"
fi

# No desktop to show a window on: talk to a simulated device on the command line instead.
echo "No display found; reading the version of a simulated device with varnexctl instead."
portmap="$(mktemp -d)/ports.conf"
coproc SIM { exec "$bin/varnex_sim" --register --portmap "$portmap"; }
trap 'kill "$SIM_PID" 2>/dev/null || true' EXIT
read -r terminal <&"${SIM[0]}"
read -r com <&"${SIM[0]}"
echo "Simulated Varnex on $terminal, listed as $com"
"$bin/varnexctl" --portmap "$portmap" --port "${com#COM}" version
