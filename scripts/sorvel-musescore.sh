#!/bin/sh
# The MuseScore round trip of sorvel (tests/sorvel/musescore_roundtrip.py): MuseScore 3 exports
# its demo scores to MusicXML, sorvel respells them, MuseScore reads the result back, and the
# pitches must be what the rules say. Uses the native tree's sorvel (building it when needed);
# VS_SORVEL names another program. Ends with "N passed, M failed". Bounded: each conversion
# may take 120 s, the whole run 600 s.
set -eu
cd "$(dirname "$0")/.."
sorvel="${VS_SORVEL:-build/native/sorvel/sorvel}"
if [ -z "${VS_SORVEL:-}" ]; then
    cmake --preset native >/dev/null
    cmake --build --preset native -j "${JOBS:-$(nproc)}" --target sorvel >/dev/null
fi
exec python3 tests/sorvel/musescore_roundtrip.py "$sorvel" build/sorvel-musescore
