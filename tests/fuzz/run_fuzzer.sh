#!/usr/bin/env bash
# run_fuzzer.sh <fuzzer> <artifact folder> <seconds>
# Writes the fuzzer's seed corpus into a fresh temporary folder and runs the fuzzer on it
# for the given time. Exits non-zero when the fuzzer finds a crash, a sanitizer error or
# a leak; the failing input is kept in the artifact folder.
set -euo pipefail
fuzzer=$1
artifacts=$2
seconds=$3
kind=$(basename "$fuzzer")

if [ ! -x "$fuzzer" ]; then
  echo "fuzzer $fuzzer is not built (cmake --preset fuzz && cmake --build --preset fuzz)" >&2
  exit 1
fi

corpus=$(mktemp -d "${TMPDIR:-/tmp}/vokrin-$kind-XXXXXX")
trap 'rm -rf "$corpus"' EXIT
mkdir -p "$artifacts"

# Little-endian 32-bit value; a text padded with zero bytes to a 255-byte field.
le32() {
  local v=$1 i
  for i in 0 1 2 3; do printf "\\$(printf %03o $(((v >> (8 * i)) & 255)))"; done
}
field() {
  printf '%b' "$1"
  head -c $((255 - $(printf '%b' "$1" | wc -c))) /dev/zero
}

case $kind in
fuzz_lyp)
  { field '/songs/a.mp3'; le32 3; le32 0; le32 44100; le32 4294967295; le32 2
    field '\xcf\xe5\xf0\xe2\xe0\xff'; field ''; } >"$corpus/three-cues-two-lines"
  { field ''; le32 0; le32 0; } >"$corpus/empty-project"
  { field 'a.mp3'; le32 2147483647; le32 1; le32 2; } >"$corpus/absurd-cue-count"
  { field 'b.ogg'; le32 4294967295; le32 2147483647; field 'line'; } >"$corpus/negative-and-absurd"
  { field '\xd0\x9f\xd0\xb5\xd1\x81\xd0\xbd\xd1\x8f.mp3'; le32 1; le32 7; le32 1; field 'x'; } \
    >"$corpus/utf8-name"
  printf 'short' >"$corpus/short"
  ;;
fuzz_lyl)
  printf '/songs/a.lyp\r\n/songs/b.lyp\r\n' >"$corpus/crlf"
  printf 'a.lyp\nb.lyp\rc.lyp' >"$corpus/mixed-ends"
  printf 'a.lyp\r\n\000b.lyp\r\n' >"$corpus/zero-byte"
  printf '\xcf\xe5\xf1\xed\xff.lyp\r\n\r\n' >"$corpus/cp1251"
  ;;
fuzz_lrc)
  printf '[ti:Song]\n[ar:Singer]\n[offset:+250]\n[00:01.50]One\n[00:03.25][01:10.00]Two\n' \
    >"$corpus/tags"
  printf '[00:12.00]<00:12.00>Hello <00:12.50>world\r\n[00:14.123]\xcf\xe5\r\n' >"$corpus/enhanced"
  printf '\xef\xbb\xbf[00:01.00]\xd0\x9f\xd0\xb5\n[00:75.00]bad\n' >"$corpus/utf8-bad-tag"
  printf '[Chorus]\n[123:00.0]x\n[00:02:25]y\n[offset:-99]\n' >"$corpus/odd"
  ;;
fuzz_ultrastar)
  printf '#TITLE:Song\r\n#BPM:272,5\r\n#GAP:1200\r\n: 0 4 60 Hel\r\n* 4 2 62 lo\r\n- 8\r\nF 10 2 0 x\r\nE\r\n' \
    >"$corpus/song"
  printf '#BPM:300\n#RELATIVE:YES\n: 0 2 0 a\n- 4 10\nR 2 2 0 b\nG 3 1 0 c\nE\n' >"$corpus/relative"
  printf '#BPM:200\nP1\n: 0 1 0 \xcf\xe5\nP2\n: 5 1 0 x\nP 1\n- 3\n: -4 1 0 y\n' >"$corpus/duet"
  ;;
fuzz_ini)
  printf '[TMainForm]\r\nVolume_Value=40\r\nDirectoryEdit1_Text=""/home/me/Songs/""\r\n\r\n[TParamsForm]\r\neq_enabled=TRUE\r\n' \
    >"$corpus/settings"
  printf '\xef\xbb\xbf; comment\n[a]\nx = 0x1F \n[A\ny=1,5\nnot an entry\n' >"$corpus/odd-lines"
  printf "[S]\rq='single'\rn=-2147483648" >"$corpus/cr-ends"
  ;;
fuzz_stream)
  # Small files of every kind the engine opens, from the encoders the tests use.
  sox -n -r 8000 -c 1 -b 16 "$corpus/tone.wav" synth 0.05 sine 440
  sox -n -r 8000 -c 6 -b 16 "$corpus/six.wav" synth 0.02 sine 440
  sox -n -r 8000 -c 2 -e floating-point -b 32 "$corpus/float.wav" synth 0.02 sine 440
  sox "$corpus/tone.wav" "$corpus/tone.flac"
  lame --quiet -b 32 "$corpus/tone.wav" "$corpus/tone.mp3"
  lame --quiet -t -b 32 "$corpus/tone.wav" "$corpus/plain.mp3"
  twolame --quiet -b 64 "$corpus/tone.wav" "$corpus/tone.mp2" 2>/dev/null || true
  oggenc --quiet -o "$corpus/tone.ogg" "$corpus/tone.wav"
  cat "$corpus/tone.ogg" "$corpus/tone.ogg" >"$corpus/chained.ogg"
  { printf 'ID3\x04\x00\x10\x00\x00\x00\x0a'; head -c 10 /dev/zero; printf '3DI\x04\x00\x10\x00\x00\x00\x0a'
    cat "$corpus/plain.mp3"; printf 'APETAGEX'; head -c 24 /dev/zero; printf 'TAG'; head -c 125 /dev/zero; } \
    >"$corpus/tagged.mp3"
  ;;
*)
  echo "no seeds for $kind" >&2
  exit 1
  ;;
esac

"$fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
  -artifact_prefix="$artifacts/" "$corpus"
