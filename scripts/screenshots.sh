#!/usr/bin/env bash
# Takes the README's pictures of the workbench (docs/screenshots/) on a
# virtual X server. Needs the built program, xvfb, xdotool and imagemagick.
set -euo pipefail
cd "$(dirname "$0")/.."
out=docs/screenshots
mkdir -p "$out"
program=build/app/qt/xrdfourier
demo=resources/demo
export XDG_CONFIG_HOME
XDG_CONFIG_HOME=$(mktemp -d)
Xvfb :77 -screen 0 1280x800x24 >/dev/null 2>&1 &
server=$!
trap 'kill $server 2>/dev/null; rm -rf "$XDG_CONFIG_HOME"' EXIT
export DISPLAY=:77
sleep 1

# The main window's states, pictured by the program itself.
"$program" --snapshot "$out/profiles.png" "$demo/broadened.xdd" "$demo/instrument.xdd"
"$program" --show mod --snapshot "$out/modulus.png" "$demo/broadened.xdd" "$demo/instrument.xdd"
"$program" --show deconv --snapshot "$out/deconvolution.png" "$demo/demo.prj"

# The same on the light background (View > Light background, remembered
# in the settings), as for a paper.
settings="$XDG_CONFIG_HOME/xrdfourier/xrdfourier.conf"
mkdir -p "$(dirname "$settings")"
printf '[views]\nlight_background=1\n' > "$settings"
"$program" --show deconv --snapshot "$out/deconvolution_light.png" "$demo/demo.prj"
rm -f "$settings"

# A dialog, opened from the menu with the keyboard and pictured on its own.
dialog() {
  local name=$1 keys=$2 title=$3
  "$program" "$demo/broadened.xdd" &
  local pid=$!
  sleep 2
  xdotool search --sync --name "XRD Fourier Workbench" windowfocus --sync key --delay 150 $keys
  sleep 1
  import -window "$(xdotool search --sync --name "^$title\$" | head -1)" "$out/$name.png"
  kill $pid
  wait $pid 2>/dev/null || true
}
dialog options "alt+e s" Options
dialog help "alt+h h" Help

# The report editor, opened from the Options dialog's last line, beside the
# demo project's views.
"$program" "$demo/demo.prj" &
pid=$!
sleep 3
xdotool search --sync --name "XRD Fourier Workbench" windowfocus --sync key --delay 150 alt+e s
sleep 1
xdotool search --sync --name "^Options\$" windowfocus --sync key End
sleep 2
xdotool search --sync --name "^Options\$" windowfocus --sync key Escape
sleep 1
import -window "$(xdotool search --sync --name "XRD Fourier Workbench" | head -1)" "$out/report_editor.png"
kill $pid
wait $pid 2>/dev/null || true

# A figure as File > Export Figure writes it: the file named in its dialog,
# then 800 by 500 pixels in the size dialog.
rm -f "$out/figure.png"
"$program" "$demo/broadened.xdd" "$demo/instrument.xdd" &
pid=$!
sleep 3
xdotool search --sync --name "XRD Fourier Workbench" windowfocus --sync key --delay 150 alt+f e
sleep 2
# The dialog opened while "e" was down: its release went elsewhere.
xdotool keyup e
xdotool key ctrl+a type --delay 80 "$PWD/$out/figure.png"
xdotool key Return
sleep 2
xdotool key ctrl+a type --delay 80 800
xdotool key Tab ctrl+a type --delay 80 500
xdotool key Return
sleep 2
kill $pid
wait $pid 2>/dev/null || true
