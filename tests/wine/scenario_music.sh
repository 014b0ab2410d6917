#!/usr/bin/env bash
# Background music for real: the saver's WAV and MP3 loops recorded from a
# PulseAudio null sink while the stand-in's window is up, and silence soon
# after the saver ends; the saver without any audio server; the CD kind on a
# machine without a CD drive, stopped and closed at the end all the same.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
qb_scenario_begin music

pulse_dir=$QB_OUT/pulse
qb_start_pulse "$pulse_dir" || qb_die "PulseAudio did not start (see $pulse_dir/pulse.log)"
qb_on_exit "qb_stop_pulse $(printf '%q' "$pulse_dir")"

# Short tones with silence after them, so every start of the file is heard
# as a new onset: WAV 0.4 s + 0.6 s, MP3 0.6 s + 0.4 s.
sox -n -r 44100 -c 2 "$QB_OUT/tone.wav" synth 0.4 sine 440 vol 0.5 pad 0 0.6
sox -n -r 44100 -c 2 "$QB_OUT/tone.mp3" synth 0.6 sine 660 vol 0.5 pad 0 0.4

# A saver folder NAME with the stand-in (window up until closed) and music
# file FILE (may be empty); prints the saver's Windows path.
music_folder() {
  local name=$1 kind=$2 repeat=$3 file=$4 dir winfile=
  dir=$(qb_saver_folder "$name")
  qb_add_standin "$dir" window=1
  if [[ -n $file ]]; then
    cp "$file" "$dir/"
    winfile="$(qb_winpath "$dir")\\$(basename "$file")"
  fi
  qb_write_ini "$dir" "$kind" "$repeat" "$winfile"
  printf '%s\\Quillbright.scr\n' "$(qb_winpath "$dir")"
}

# Runs the saver for a file kind while recording, and checks what was heard.
heard_run() {
  local ext=$1 min_starts=$2 scr out levels t_start start close end
  scr=$(music_folder "qb_music_$ext" 2 0 "$QB_OUT/tone.$ext")
  out=$QB_OUT/run_$ext
  levels=$QB_OUT/levels_$ext.txt
  qb_start_recording "$QB_OUT/heard_$ext.wav"
  sleep 0.5
  t_start=$(date +%s.%N)
  qb_driver "run_$ext" run --timeout 20000 --close-vc-after 6000 "$scr" /s ||
    qb_fail "driver: $(tr -d '\r' <"$out")"
  sleep 2.5
  qb_stop_recording
  qb_levels "$QB_OUT/heard_$ext.wav" >"$levels"

  start=$(qb_recording_time "$t_start")
  close=$(awk -v s="$start" -v c="$(qb_get vc_close_ms "$out")" 'BEGIN { printf "%.1f", s + c / 1000 }')
  end=$(awk -v s="$start" -v e="$(qb_get elapsed_ms "$out")" 'BEGIN { printf "%.1f", s + e / 1000 }')
  echo "$ext: saver started at ${start}s of the recording, companion closed at ${close}s, saver ended at ${end}s"

  qb_expect_eq "$ext: saver exit code" "$(qb_get exit_code "$out")" 0
  qb_expect_le "$ext: saver end after the companion window went (ms)" "$(qb_get vc_gone_to_end_ms "$out")" 1000
  local peak starts quiet
  peak=$(qb_peak_level "$levels" "$(awk -v s="$start" 'BEGIN { print s + 1.5 }')" "$close")
  starts=$(qb_sound_starts "$levels" "$start" "$close")
  quiet=$(qb_peak_level "$levels" "$(awk -v e="$end" 'BEGIN { print e + 1.0 }')" \
                                    "$(awk -v e="$end" 'BEGIN { print e + 2.0 }')")
  echo "$ext: loudest while the companion was up $peak, the file started $starts times, loudest 1-2 s after the end $quiet"
  awk -v p="$peak" 'BEGIN { exit !(p > 0.1) }' && qb_pass "$ext: heard while the companion was up" ||
    qb_fail "$ext: no sound while the companion was up (peak $peak)"
  qb_expect_ge "$ext: times the file started (it loops)" "$starts" "$min_starts"
  awk -v q="$quiet" 'BEGIN { exit !(q < 0.01) }' && qb_pass "$ext: silent within 1 s of the saver's end" ||
    qb_fail "$ext: still sounding 1 s after the saver ended (peak $quiet)"
  ((QB_FAILURES)) && qb_show "$levels" | head -150
}

# First without a server: this also lets GStreamer build its plugin registry,
# which on a new machine delays the first MP3 open by seconds.
echo "# no audio server at all: the saver still runs and ends cleanly"
for ext in wav mp3; do
  scr=$(music_folder "qb_mute_$ext" 2 0 "$QB_OUT/tone.$ext")
  PULSE_SERVER=unix:/nonexistent/socket qb_driver "mute_$ext" run --timeout 20000 --close-vc-after 2000 "$scr" /s ||
    qb_fail "driver: $(tr -d '\r' <"$QB_OUT/mute_$ext")"
  qb_expect_eq "no server, $ext: companion window appeared" "$(qb_get vc_seen "$QB_OUT/mute_$ext")" 1
  qb_expect_eq "no server, $ext: saver exit code" "$(qb_get exit_code "$QB_OUT/mute_$ext")" 0
  qb_expect_le "no server, $ext: saver end after the companion window went (ms)" \
    "$(qb_get vc_gone_to_end_ms "$QB_OUT/mute_$ext")" 1000
done

echo "# WAV: looped by the sound player"
heard_run wav 4
echo "# MP3: restarted by the saver's one-second timer"
heard_run mp3 2

echo "# audio CD without a CD drive: polling gives up on the first tick; the close still stops and closes it"
for repeat in 0 3; do
  scr=$(music_folder "qb_cd_$repeat" 1 "$repeat" "")
  WINEDEBUG=trace+mci qb_driver "cd_$repeat" run --timeout 20000 --close-vc-after 2000 "$scr" /s ||
    qb_fail "driver: $(tr -d '\r' <"$QB_OUT/cd_$repeat")"
  qb_expect_eq "CD, repeat $repeat: saver exit code" "$(qb_get exit_code "$QB_OUT/cd_$repeat")" 0
  qb_expect_le "CD, repeat $repeat: saver end after the companion window went (ms)" \
    "$(qb_get vc_gone_to_end_ms "$QB_OUT/cd_$repeat")" 1000
  # The MCI trace shows each command string with its reply capacity. Wine
  # itself opens a device that failed to open ("open cdaudio wait").
  commands=$(sed -n 's/.*trace:mci:mciSendStringW (L"\([^"]*\)", [0-9A-Fa-f]*, \([0-9]*\),.*/\1 [\2]/p' \
    "$QB_OUT/cd_$repeat.err" | grep -av ' wait \[' | paste -sd'|')
  qb_expect_eq "CD, repeat $repeat: commands sent" "$commands" \
    "open cdaudio [0]|set cdaudio time format tmsf [0]|status cdaudio current track [512]|stop cdaudio [0]|close cdaudio [0]"
done

qb_scenario_end
