#!/usr/bin/env bash
# Fills CORPUS/<target>/ with seed inputs for each fuzz target: the shipped INI files, small
# hand-made frames, records and log records. Existing corpus files are kept.
# Usage: fuzz/gather-seeds.sh CORPUS
set -euo pipefail
cd "$(dirname "$0")/.."
corpus="${1:?usage: $0 CORPUS}"
for t in receive catalogue config report dtmf alarmlog flash wav; do mkdir -p "$corpus/$t"; done

# Writes the bytes given as hex pairs to a file.
hex() { local file="$1"; shift; printf '%b' "$(printf '\\x%s' "$@")" >"$file"; }
# Puts hex bytes into an existing file at a decimal offset.
poke() {
  local file="$1" at="$2"; shift 2
  printf '%b' "$(printf '\\x%s' "$@")" | dd of="$file" bs=1 seek="$at" conv=notrunc status=none
}

# receive: mode byte (even: expected length, capacity, chunk seed, line bytes; odd: chunk seed,
# message length, message bytes).
r="$corpus/receive"
hex "$r/version" 00 10 00 00 04 07 00 FA 81 02 05 00 00 00 00 00 00 00 00 00 00 00 00 78 FA
hex "$r/prepare" 00 03 00 00 04 01 00 FA 84 00 7C FA
hex "$r/escaped" 00 03 00 00 04 03 00 FA 05 FB 7B 00 FA
hex "$r/noise-first" 00 03 00 00 04 09 00 06 13 FA 84 00 7C FA
hex "$r/fb-at-end" 00 03 00 00 04 02 00 FA 84 00 FB
hex "$r/cut" 00 04 01 00 04 05 00 FA 83 0B 00 00
head -c 1100 /dev/zero | tr '\0' '\372' | { printf '\x00\x05\x01\x00\x04\x00\x00'; cat; } >"$r/flood"
hex "$r/roundtrip" 01 33 00 10 FA FB 01 02 FA FA 7A 7B FB 00 11 22 33 44 55 66

# catalogue and DTMF list: the shipped files and every INI file of the tests.
cp data/varnex_sprache_standard.ini "$corpus/catalogue/"
cp data/dtmf_commands_standart.ini "$corpus/dtmf/"
find tests -name '*.ini' -exec cp {} "$corpus/catalogue/" \;
cp data/varnex_sprache_standard.ini "$corpus/flash/"

# config and report: an empty record and one with the defaults and an administrator.
c="$corpus/config"
head -c 3001 /dev/zero >"$c/empty.vnx"
cp "$c/empty.vnx" "$c/defaults.vnx"
poke "$c/defaults.vnx" 16 34 39                            # country code 49
poke "$c/defaults.vnx" 21 30 30                            # international prefix 00
poke "$c/defaults.vnx" 24 30                               # national prefix 0
poke "$c/defaults.vnx" 287 4D FC 6C 6C 65 72               # administrator "Müller"
poke "$c/defaults.vnx" 318 34 33 00 00 00 33 30 00 00 00 00 35 35 35 30 31  # +43-30-55501
poke "$c/defaults.vnx" 345 01
poke "$c/defaults.vnx" 1165 01 05 00 0A                    # input 1: trigger, delay, passes
poke "$c/defaults.vnx" 1759 1E 32 06 32 65 32              # input 1's alarm text
poke "$c/defaults.vnx" 2403 1E 32 06 32 66 32              # input 2's alarm text
cp "$c"/*.vnx "$corpus/report/"

# alarm log: the 32-byte records of a connection, an alarm and an incoming call.
a="$corpus/alarmlog"
hex "$a/records" 0B 03 14 0C 22 38 03 01 30 31 37 31 31 32 33 34 35 36 00 00 00 00 00 00 00 00 00 00 00 00 00 01 \
  01 01 15 00 00 00 08 02 2B 34 39 33 30 39 38 37 36 35 00 00 00 00 00 00 00 00 00 00 00 00 00 05

# wav: the three smallest shipped prompts.
ls -S data/tmp/wav/*.wav | tail -n 3 | while read -r f; do cp "$f" "$corpus/wav/"; done

# flash: the test catalogues too.
find tests -name '*.ini' -exec cp {} "$corpus/flash/" \;
echo "seeds in $corpus"
