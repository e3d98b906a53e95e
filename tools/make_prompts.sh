#!/bin/sh
# Builds the voice prompts listed in the language INI file:
#   data/tmp/alaw/<file>.al   raw A-law, 8 kHz, mono (the bytes that go into the voice flash)
#   data/tmp/wav/<file>.wav   the same audio as an A-law WAV, for listening on the PC
#
# usage: tools/make_prompts.sh [--check] [INI]
#   --check   generate nothing; verify the INI, that every sample has both files,
#             that the set fits the flash, and that the HTML templates keep their
#             fixed line positions. Exits non-zero on any problem.
#   INI       defaults to data/varnex_sprache_standard.ini; output goes to tmp/
#             beside it.
#
# Needs python3, espeak-ng (German voice) and sox:
#   apt-get install -y python3 espeak-ng sox libsox-fmt-all
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
exec python3 - "$root" "$@" <<'PYTHON'
import os
import re
import subprocess
import sys
import tempfile

FLASH_SAMPLE_BYTES = 983040   # sample area of the voice flash
MAX_SAMPLE_BYTES = 65535      # the flash directory stores a 16-bit length
MAX_FIX_BYTES = 4092
RATE = 8000
ESPEAK_VOICE = "de"
ESPEAK_SPEED = os.environ.get("PROMPT_SPEED", "175")   # words per minute
DEFAULT_MESSAGE_IDS = (6, 30, 50, 101, 102)            # used by the record defaults

# Pauses are silence: the short pause (key "kurzpause") joins words, the
# others separate sentences. Any "pause_" file not listed gets the long pause.
SHORT_PAUSE_SECONDS = 0.25
PAUSE_SECONDS = {"pause_lang": 0.8, "pause_sehr_lang": 1.5}
LONG_PAUSE_SECONDS = 0.8

# espeak stresses a few loan words and compounds wrongly; give it the sound,
# keep the display text.
SPOKEN = {
    "Büro": "[[by:R'o:]]",
    "Garage": "[[gaR'a:Z@]]",
    "Sabotage": "[[zabot'a:Z@]]",
    "Serverraum": "[[s'W:v3R,aUm]]",
    "Überfall": "[['y:b3fal]]",
    "Notruf": "Nootruf",
    "Notfall": "Nootfall",
    "Schlafzimmer": "Schlaafzimmer",
    "Glasbruch": "Glaasbruch",
    "Erdgeschoss": "[['e:rtg@S,Os]]",
    "Obergeschoss": "[['o:b3g@S,Os]]",
    "gibt Impuls": "gibt [[Imp'Uls]]",
    "Voralarm": "[[f'o:R|al,aRm]]",
    "Störmeldung": "Stöhrmeldung",
    "Alarmanlage": "Alarm-Anlage",
    "Alarmeingang": "Alarm-Eingang",
    "alle Alarmeingänge": "alle Alarm-Eingänge",
}


def fail(msg):
    print("make_prompts: " + msg, file=sys.stderr)
    sys.exit(1)


def read_ini(path):
    """Sections in file order, each a list of (key, value) in file order."""
    raw = open(path, "rb").read()
    try:
        text = raw.decode("cp1252")
    except UnicodeDecodeError as e:
        fail("%s is not Windows-1252 text: %s" % (path, e))
    sections, current = [], None
    for n, line in enumerate(text.split("\n"), 1):
        line = line.rstrip("\r").strip()
        if not line or line.startswith(";"):
            continue
        if line.startswith("[") and line.endswith("]"):
            current = (line[1:-1], [])
            sections.append(current)
        elif "=" in line and current is not None:
            k, v = line.split("=", 1)
            current[1].append((k.strip(), v.strip()))
        else:
            fail("%s line %d: not a section or key: %r" % (path, n, line))
    return dict((name, keys) for name, keys in sections), raw


def load_catalogue(path):
    ini, raw = read_ini(path)
    problems = []
    if b"\n" in raw.replace(b"\r\n", b""):
        problems.append("line ends must be CR LF")
    generic = dict(ini.get("generic", []))
    short_pause = int(generic.get("kurzpause", "50"))
    categories = [v for k, v in ini.get("Kategorien", []) if k.startswith("kategorie")]
    samples = []   # (category number, id, text, filename)
    for cat, section in enumerate(categories, 1):
        if section not in ini:
            problems.append("category section [%s] missing" % section)
        for key, value in ini.get(section, []):
            m = re.fullmatch(r"sample_(\d+)", key)
            if not m:
                problems.append("[%s] %s: key must be sample_<id>" % (section, key))
                continue
            text, _, filename = value.partition(",")
            samples.append((cat, int(m.group(1)), text, filename))
    fixmsgs = []
    for key, value in ini.get("FIXMSGS", []):
        try:
            ids = [int(e.replace(" ", "")) for e in value.split(",")]
        except ValueError:
            problems.append("[FIXMSGS] %s: entries must be sample ids" % key)
            ids = []
        fixmsgs.append((key, ids))

    ids = [s[1] for s in samples]
    texts = [s[2] for s in samples]
    names = [s[3] for s in samples]
    by_id = dict((s[1], s) for s in samples)
    for cat, sid, text, filename in samples:
        where = "sample_%d (%s)" % (sid, text)
        if not 1 <= sid <= 255:
            problems.append(where + ": id must be 1..255")
        if not text or "#" in text:
            problems.append(where + ": text must be non-empty and without '#'")
        if not re.fullmatch(r"[a-z0-9_]+", filename):
            problems.append(where + ": file name must be [a-z0-9_]")
    for what, values in (("id", ids), ("text", texts), ("file name", names)):
        dups = sorted(set(str(v) for v in values if values.count(v) > 1))
        if dups:
            problems.append("duplicate %s: %s" % (what, ", ".join(dups)))
    for sid in DEFAULT_MESSAGE_IDS + (short_pause,):
        if sid not in by_id:
            problems.append("sample %d (used by the default alarm texts) missing" % sid)
    if not any("pause_" in s[3] and s[1] != short_pause for s in samples):
        problems.append("no long pause sample ('pause_' in the file name)")
    used = set()
    for key, msg in fixmsgs:
        for sid in msg:
            if sid not in by_id:
                problems.append("[FIXMSGS] %s: sample %d not defined" % (key, sid))
            used.add(sid)
    for cat, sid, text, _ in samples:
        if cat == 6 and sid not in used:
            problems.append("sample_%d (%s) of category 6 is used by no fix message" % (sid, text))
    fix_len = max([len(m) for _, m in fixmsgs] + [0]) + 1
    fix_bytes = (fix_len + 2) * len(fixmsgs)
    if not fixmsgs or fix_bytes > MAX_FIX_BYTES:
        problems.append("fix messages take %d bytes (1..%d allowed)" % (fix_bytes, MAX_FIX_BYTES))
    info = "%d samples in %d categories, %d fix messages (%d bytes of %d)" % (
        len(samples), len(categories), len(fixmsgs), fix_bytes, MAX_FIX_BYTES)
    return samples, short_pause, problems, info


def run(cmd, stdin=None):
    p = subprocess.run(cmd, input=stdin, capture_output=True)
    if p.returncode != 0:
        fail("%s failed: %s" % (cmd[0], p.stderr.decode(errors="replace").strip()))


def make_sample(sid, text, filename, short_pause, al_path, wav_path, work):
    if sid == short_pause or "pause_" in filename:
        seconds = SHORT_PAUSE_SECONDS if sid == short_pause else \
            PAUSE_SECONDS.get(filename, LONG_PAUSE_SECONDS)
        run(["sox", "-D", "-n", "-r", str(RATE), "-c", "1", "-e", "a-law", "-t", "al", al_path,
             "trim", "0", str(seconds)])
    else:
        speech = os.path.join(work, "speech.wav")
        run(["espeak-ng", "-v", ESPEAK_VOICE, "-s", ESPEAK_SPEED, "-b", "1",
             "-w", speech, "--stdin"], stdin=SPOKEN.get(text, text).encode("utf-8"))
        # Cut espeak's lead-in and tail so that words join tightly; the short
        # pause between words is a sample of its own. No dither: silence stays clean.
        run(["sox", "-D", speech, "-t", "al", "-r", str(RATE), "-c", "1", "-e", "a-law", al_path,
             "silence", "1", "0.01", "0.1%", "reverse", "silence", "1", "0.01", "0.1%", "reverse",
             "highpass", "100", "norm", "-3", "pad", "0.02", "0.02"])
    run(["sox", "-t", "al", "-r", str(RATE), "-c", "1", al_path, "-e", "a-law", wav_path])


def check_templates(root):
    """The configurator writes into these lines by index (0-based)."""
    problems = []
    tpl = os.path.join(root, "data", "hilfe_vnx", "templates")
    for name, marks in (("msn_order_tpl.html", {31: "<input", 33: "<input", 35: "<input"}),
                        ("frame-varnex-autoupdates.htm", {32: "src="})):
        path = os.path.join(tpl, name)
        if not os.path.exists(path):
            problems.append("template missing: " + path)
            continue
        lines = open(path, "rb").read().decode("cp1252").splitlines()
        for index, start in marks.items():
            if index >= len(lines) or not lines[index].lstrip().startswith(start):
                problems.append("%s: line index %d must start with %r" % (name, index, start))
    return problems


def main():
    root, args = sys.argv[1], sys.argv[2:]
    check = "--check" in args
    args = [a for a in args if a != "--check"]
    if len(args) > 1 or any(a.startswith("-") for a in args):
        fail("usage: tools/make_prompts.sh [--check] [INI]")
    ini = os.path.abspath(args[0] if args else
                          os.path.join(root, "data", "varnex_sprache_standard.ini"))
    out = os.path.join(os.path.dirname(ini), "tmp")
    alaw_dir, wav_dir = os.path.join(out, "alaw"), os.path.join(out, "wav")

    samples, short_pause, problems, info = load_catalogue(ini)
    print(info)
    if check:
        problems += check_templates(root)
    else:
        if problems:
            fail("\n  ".join(["fix the INI first:"] + problems))
        os.makedirs(alaw_dir, exist_ok=True)
        os.makedirs(wav_dir, exist_ok=True)
        with tempfile.TemporaryDirectory() as work:
            for _, sid, text, filename in samples:
                make_sample(sid, text, filename, short_pause,
                            os.path.join(alaw_dir, filename + ".al"),
                            os.path.join(wav_dir, filename + ".wav"), work)

    total = 0
    for _, sid, text, filename in samples:
        al = os.path.join(alaw_dir, filename + ".al")
        for path in (al, os.path.join(wav_dir, filename + ".wav")):
            if not os.path.isfile(path):
                problems.append("sample_%d (%s): %s missing" % (sid, text, path))
        if os.path.isfile(al):
            size = os.path.getsize(al)
            total += size
            if not 0 < size <= MAX_SAMPLE_BYTES:
                problems.append("sample_%d (%s): %d bytes (1..%d allowed)"
                                % (sid, text, size, MAX_SAMPLE_BYTES))
    print("A-law total: %d bytes of %d (%.1f%%)"
          % (total, FLASH_SAMPLE_BYTES, total * 100.0 / FLASH_SAMPLE_BYTES))
    if total > FLASH_SAMPLE_BYTES:
        problems.append("the prompts do not fit the %d-byte sample area" % FLASH_SAMPLE_BYTES)
    if problems:
        fail("\n  ".join(["%d problem(s):" % len(problems)] + problems))
    print("OK")


main()
PYTHON
