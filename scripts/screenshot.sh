#!/usr/bin/env bash
# Takes docs/screenshot.png: the main window with a small Japanese notebook open and one note
# selected, drawn by a private X server (Xvfb). Builds nothing itself.
#   scripts/screenshot.sh [path-to-mossleaf] [output.png]
# Defaults: build/release/src/mossleaf (what ./run.sh builds) and docs/screenshot.png.
# Needs: xvfb xdotool imagemagick fonts-ipafont-gothic.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
binary=${1:-$root/build/release/src/mossleaf}
output=${2:-$root/docs/screenshot.png}
[ -x "$binary" ] || { echo "no program at $binary (run ./run.sh first, or name it)" >&2; exit 1; }
for tool in Xvfb xdotool iconv /usr/bin/import /usr/bin/convert; do
    command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done

work=$(mktemp -d /tmp/mossleaf-shot.XXXXXX)
xvfb_pid=
app_pid=
cleanup() {
    local status=$?
    set +e
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null && wait "$app_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Polls a command until it succeeds, for at most $1 seconds.
wait_for() {
    local seconds=$1 what=$2
    shift 2
    local end=$((SECONDS + seconds))
    until "$@"; do
        if [ $SECONDS -ge $end ]; then
            echo "timed out waiting for $what" >&2
            [ -n "${MOSSLEAF_SHOT_DEBUG:-}" ] && /usr/bin/import -window root "$MOSSLEAF_SHOT_DEBUG"
            exit 1
        fi
        sleep 0.05
    done
}

# A private display: the first free number from :90; the lock file tells whose it is.
own_display() {
    [ "$(cat "/tmp/.X$1-lock" 2>/dev/null | tr -d ' \n')" = "$xvfb_pid" ] &&
        DISPLAY=":$1" xdotool getdisplaygeometry >/dev/null 2>&1
}
xvfb_ended() { ! kill -0 "$xvfb_pid" 2>/dev/null; }
xvfb_settled() { own_display "$1" || xvfb_ended; }
for number in $(seq 90 129); do
    [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] && continue
    Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    wait_for 10 "Xvfb on :$number" xvfb_settled "$number"
    if ! xvfb_ended; then
        export DISPLAY=":$number"
        break
    fi
    xvfb_pid=
done
[ -n "$xvfb_pid" ] || { echo "no free display number" >&2; exit 1; }

# A private home with the window's place and size (twips: 15 per pixel at 96 DPI).
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_RUNTIME_DIR="$work/runtime"
export LANG=C.UTF-8 QT_QPA_PLATFORM=xcb
mkdir -p "$XDG_CONFIG_HOME/Mossleaf" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
printf '[Settings]\nMainLeft=0\nMainTop=0\nMainWidth=10800\nMainHeight=7200\n' \
    >"$XDG_CONFIG_HOME/Mossleaf/Mossleaf.conf"

# The notebook, written as the program writes it: CP932, CR LF.
{
    printf '<**********>, 1 , 0 ,仕事\r\n\r\n'
    printf '<**********>, 2 , 1 ,会議メモ\r\n12月7日 定例会議\r\n・新しい画面の確認\r\n'
    printf '・分類を三つに分ける\r\n・次回は金曜日 10:00\r\n'
    printf '<**********>, 3 , 1 ,連絡先\r\nmailto:info@example.com\r\n'
    printf '<**********>, 4 , 0 ,趣味\r\n\r\n'
    printf '<**********>, 5 , 4 ,読書リスト\r\n吾輩は猫である\r\n銀河鉄道の夜\r\n'
    printf '<**********>, 6 , 4 ,旅行の計画\r\nhttps://www.example.com/travel\r\n'
    printf '<**********>, 7 , 0 ,日記\r\n今日は晴れ。\r\n'
} | iconv -f UTF-8 -t CP932 >"$work/ノート.txt"

"$binary" "$work/ノート.txt" >"$work/mossleaf.log" 2>&1 &
app_pid=$!
main_window() { window=$(xdotool search --onlyvisible --name '^Mossleaf$' 2>/dev/null | head -1); [ -n "$window" ]; }
wait_for 20 "the main window" main_window
read -r width height < <(xdotool getwindowgeometry --shell "$window" |
    awk -F= '/^WIDTH/ {w=$2} /^HEIGHT/ {h=$2} END {print w, h}')

# Whether a part of the window (fractions of its size: left top width height, in percent)
# holds anything dark, such as text.
ink() {
    local crop="$((width * $3 / 100))x$((height * $4 / 100))+$((width * $1 / 100))+$((height * $2 / 100))"
    local darkest
    darkest=$(/usr/bin/import -window "$window" png:- |
        /usr/bin/convert png:- -crop "$crop" +repage -colorspace Gray -format '%[min]' info:)
    [ "${darkest%%.*}" -lt 20000 ]
}
# The tree shows the notebook; the first note's body, shown at start, is empty.
wait_for 20 "the notebook in the tree" ink 3 15 20 20
ink 32 20 40 40 && { echo "the text pane is not empty at start" >&2; exit 1; }

# Into the tree (empty space below the nodes), then Down: the second row, 会議メモ, is chosen
# with the keyboard as with a click, and its body appears.
xdotool mousemove --window "$window" 40 $((height * 3 / 4)) click 1
xdotool key Down
wait_for 20 "the chosen note's body" ink 32 20 40 40
xdotool mousemove 1020 760

mkdir -p "$(dirname "$output")"
/usr/bin/import -window "$window" "$work/shot.png"
/usr/bin/convert "$work/shot.png" -strip -define png:compression-level=9 "$output"
echo "$output"
