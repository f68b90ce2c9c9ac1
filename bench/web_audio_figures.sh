#!/bin/sh
# The web remote's audio figures on a private sound server, in headless
# Chromium:  bench/web_audio_figures.sh [BUILD] [TONES] [FORM]
# Switches a 440 Hz tone on at the sound input TONES times (20 unless told)
# and prints each delay until the page's analyser hears it, their median,
# and the audio bandwidth one listener receives. FORM is opus (unless told)
# or adpcm, the compatible form a page without WebCodecs plays.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$ROOT/build}" && pwd)
TONES=${2:-20}
FORM=${3:-opus}
cmake --build "$BUILD" --target kovo_web_audio_probe >/dev/null
"$ROOT/recorder/tests/run-with-sound.sh" node "$ROOT/tests/web/audio/browser/harness.mjs" \
    --probe "$BUILD/tests/web/audio/kovo_web_audio_probe" --tones "$TONES" --form "$FORM" 2>/dev/null
