#!/usr/bin/env bash
# Renders the programs' icons into the hicolor sizes (packaging/icons/hicolor/); run after
# changing an SVG and commit the PNGs. Needs rsvg-convert (Debian: librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
sources=(../configurator/icons/varnex.svg icons/varnex-flash-creator.svg icons/varnex-diag.svg)
for size in 16 22 24 32 48 64 128 256; do
  out="icons/hicolor/${size}x${size}/apps"
  mkdir -p "$out"
  for svg in "${sources[@]}"; do
    rsvg-convert -w "$size" -h "$size" -o "$out/$(basename "$svg" .svg).png" "$svg"
  done
done
