#!/usr/bin/env bash
# Installs what is missing, builds, starts a simulated device and talks to it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
bin="${VARNEX_BUILD_DIR:-build}/bin"

portmap="$(mktemp -d)/ports.conf"
coproc SIM { exec "$bin/varnex_sim" --register --portmap "$portmap"; }
trap 'kill "$SIM_PID" 2>/dev/null || true' EXIT
read -r terminal <&"${SIM[0]}"
read -r com <&"${SIM[0]}"
echo "Simulated Varnex on $terminal, listed as $com"
"$bin/varnexctl" --portmap "$portmap" --port "${com#COM}" version
