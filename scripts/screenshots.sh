#!/usr/bin/env bash
# Starts velkor32 under Xvfb and saves pictures of its windows in shots/:
# main.png (as started), main-typed.png (key and extension typed, the pointer
# over Compile), about.png, verify.png and compiler.png (a long job running).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh xvfb imagemagick xdotool x11-utils
scripts/build.sh "${SCREENSHOT_BUILD:-build}"
mkdir -p shots

display=:${SCREENSHOT_DISPLAY:-73}
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
app=
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=$display
unset QT_QPA_PLATFORM
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# The program wants its own file in the current directory.
(cd "${SCREENSHOT_BUILD:-build}/gui" && exec ./velkor32) &
app=$!

windows() { xdotool search --onlyvisible --name '^Velkor32$' 2>/dev/null || true; }
newest_window() { # waits for a window that is not among the ones given
    for _ in $(seq 100); do
        for id in $(windows); do
            case " $* " in *" $id "*) ;; *) echo "$id"; return 0 ;; esac
        done
        sleep 0.1
    done
    echo "no new window appeared" >&2
    return 1
}
shoot() { sleep 0.5; import -window "$1" "shots/$2"; echo "shots/$2"; }

main=$(newest_window)
shoot "$main" main.png

# A key of six characters enables the verification; the pointer over Compile
# puts its hint into the status bar.
xdotool mousemove --window "$main" 280 330
xdotool windowfocus --sync "$main"
xdotool type --delay 30 'secret'
xdotool key Tab
xdotool type 'z'
shoot "$main" main-typed.png

# A click on the logo opens the About box.
xdotool mousemove --window "$main" 328 40 click 1
about=$(newest_window "$main")
shoot "$about" about.png
xdotool windowfocus --sync "$about"
xdotool key Escape
sleep 0.3

# Alt+F opens the verification window.
xdotool windowfocus --sync "$main"
xdotool key alt+f
verify=$(newest_window "$main")
xdotool mousemove --window "$verify" 120 50
xdotool windowfocus --sync "$verify"
xdotool type --delay 30 'secret'
shoot "$verify" verify.png
xdotool windowfocus --sync "$verify"
xdotool key Return
sleep 0.5
# The verification notices: accept each of them.
for _ in 1 2; do
    xdotool key Return
    sleep 0.3
done

# An encryption of a large file shows the compiler window at work.
work=$(mktemp -d)
truncate -s 600M "$work/large.bin"
xdotool windowfocus --sync "$main"
xdotool key Tab Tab
xdotool type "$work/large.bin"
xdotool key Tab
xdotool type "$work/large.vlk"
xdotool mousemove --window "$main" 30 43 click 1
xdotool mousemove --window "$main" 280 330 click 1
compiler=$(newest_window "$main")
sleep 1
shoot "$compiler" compiler.png
xdotool windowfocus --sync "$compiler"
xdotool key Escape
sleep 1
xdotool key Return
rm -rf "$work"
