#!/usr/bin/env bash
# Background music for real: the saver's WAV and MP3 loops recorded from a
# PulseAudio null sink while the stand-in's window is up, and silence soon
# after the saver ends; the saver without any audio server; the CD kind on a
# machine without a CD drive, stopped and closed at the end all the same.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
qb_scenario_begin music

qb_use_pulse
qb_make_tone "$QB_OUT/tone.wav"
qb_make_tone "$QB_OUT/tone.mp3"

# A saver folder NAME with the stand-in (window up until closed) and music
# file FILE (may be empty); prints the saver's Windows path.
music_folder() {
  local name=$1 kind=$2 repeat=$3 file=$4 dir winfile=
  dir=$(qb_saver_folder "$name" window=1)
  if [[ -n $file ]]; then
    cp "$file" "$dir/"
    winfile="$(qb_winpath "$dir")\\$(basename "$file")"
  fi
  qb_write_ini "$dir" "$kind" "$repeat" "$winfile"
  printf '%s\\Quillbright.scr\n' "$(qb_winpath "$dir")"
}

# Runs the saver for a file kind while recording, and checks what was heard:
# the file looping (at least MIN-STARTS starts) while the companion's window
# was up, and silence soon after the saver's end.
heard_run() {  # EXT MIN-STARTS
  local ext=$1 scr
  scr=$(music_folder "qb_music_$ext" 2 0 "$QB_OUT/tone.$ext")
  qb_listen "run_$ext"
  qb_run_saver "run_$ext" --timeout 20000 --close-vc-after 6000 "$scr" /s
  qb_heard "run_$ext" 2.5
  qb_expect_followed "run_$ext" "$ext"
  qb_expect_heard "the $ext file" "$2"
  awk -v q="$QB_HEARD_AFTER" 'BEGIN { exit !(q < 0.01) }' && qb_pass "$ext: silent within 1 s of the saver's end" ||
    qb_fail "$ext: still sounding 1 s after the saver ended (peak $QB_HEARD_AFTER)"
  ((QB_FAILURES)) && qb_show "$QB_OUT/run_$ext.levels" | head -150
}

# First without a server: this also lets GStreamer build its plugin registry,
# which on a new machine delays the first MP3 open by seconds.
echo "# no audio server at all: the saver still runs and ends cleanly"
for ext in wav mp3; do
  scr=$(music_folder "qb_mute_$ext" 2 0 "$QB_OUT/tone.$ext")
  PULSE_SERVER=unix:/nonexistent/socket qb_run_saver "mute_$ext" --timeout 20000 --close-vc-after 2000 "$scr" /s
  qb_expect_followed "mute_$ext" "no server, $ext"
done

echo "# WAV: looped by the sound player"
heard_run wav 4
echo "# MP3: restarted by the saver's one-second timer"
heard_run mp3 2

echo "# audio CD without a CD drive: polling gives up on the first tick; the close still stops and closes it"
for repeat in 0 3; do
  scr=$(music_folder "qb_cd_$repeat" 1 "$repeat" "")
  WINEDEBUG=trace+mci qb_run_saver "cd_$repeat" --timeout 20000 --close-vc-after 2000 "$scr" /s
  qb_expect_followed "cd_$repeat" "CD, repeat $repeat"
  # The MCI trace shows each command string with its reply capacity. Wine
  # itself opens a device that failed to open ("open cdaudio wait").
  commands=$(sed -n 's/.*trace:mci:mciSendStringW (L"\([^"]*\)", [0-9A-Fa-f]*, \([0-9]*\),.*/\1 [\2]/p' \
    "$QB_OUT/cd_$repeat.err" | grep -av ' wait \[' | paste -sd'|')
  qb_expect_eq "CD, repeat $repeat: commands sent" "$commands" \
    "open cdaudio [0]|set cdaudio time format tmsf [0]|status cdaudio current track [512]|stop cdaudio [0]|close cdaudio [0]"
done

qb_scenario_end
