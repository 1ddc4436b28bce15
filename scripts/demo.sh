#!/usr/bin/env bash
# Renders the bundled voice through every effect of the plugin's menu, draws a
# before/after spectrogram of each, and prints a table of the output levels.
# Usage: scripts/demo.sh TOOL OUTDIR [STRENGTH]   (make demo runs it; needs SoX)
set -euo pipefail
cd "$(dirname "$0")/.."
tool=$1
outdir=$2
strength=${3:-0.25}
sample=samples/voice.wav

mkdir -p "$outdir"
table="$outdir/levels.txt"
row() { printf '%-14s %8s %11s %12s %14s\n' "$@"; }
row effect strength "RMS (dBFS)" "peak (dBFS)" "at full scale" >"$table"

# The effect names come from the plugin's own menu, one per line.
mapfile -t effects < <("$tool" --list)
for effect in "${effects[@]}"; do
    slug=$(tr 'A-Z ' 'a-z-' <<<"$effect")
    wav="$outdir/$slug.wav"
    # "RMS <dB> dBFS, peak <dB> dBFS, <share>% of samples at full scale"
    read -r _ rms _ _ peak _ share _ < <("$tool" --stats --effect "$effect" \
        --strength "$strength" "$sample" "$wav")
    # Two channels, two panels: the sample on top, the plugin's output below.
    sox -M "$sample" "$wav" -n spectrogram -x 720 -y 240 -z 90 \
        -t "$effect, strength $strength" -c "top: voice in, bottom: voice out" \
        -o "$outdir/$slug.png"
    row "$effect" "$strength" "$rms" "$peak" "$share" >>"$table"
done

cat "$table"
echo
echo "WAVs and spectrograms (top: in, bottom: out) are in $outdir/"
