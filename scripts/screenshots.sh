#!/usr/bin/env bash
# Starts velkor32 under Xvfb with the openbox window manager, at the scale
# factors 1, 1.25 and 2, and saves pictures of its windows, title bars
# included, in shots/SCALE/: main.png (as started), main-typed.png (key and
# extension typed, the pointer over Compile), menu.png (the Main menu open),
# about.png, verify.png and compiler.png (a long job running).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh xvfb openbox imagemagick xdotool x11-utils bc
scripts/build.sh "${SCREENSHOT_BUILD:-build}"
program=$PWD/${SCREENSHOT_BUILD:-build}/gui/velkor32

display=:${SCREENSHOT_DISPLAY:-73}
Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
wm=
app=
work=$(mktemp -d)
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null || true
    [ -n "$wm" ] && kill "$wm" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export DISPLAY=$display
unset QT_QPA_PLATFORM
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
wm=$!

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
shoot() { sleep 0.5; import -frame -window "$1" "$folder/$2"; echo "$folder/$2"; }
# Pointer at a point of a window given in the program's own (unscaled) pixels.
point() { xdotool mousemove --window "$1" "$(echo "$2 * $scale / 1" | bc)" "$(echo "$3 * $scale / 1" | bc)"; }

truncate -s 600M "$work/large.bin"
mkdir -p "$work/home"
for scale in 1 1.25 2; do
    folder=shots/$scale
    mkdir -p "$folder"
    # Started from a folder of its own, as a desktop menu starts it.
    (cd "$work/home" && QT_SCALE_FACTOR=$scale exec "$program") &
    app=$!

    main=$(newest_window)
    shoot "$main" main.png

    # A key of six characters enables the verification; the pointer over
    # Compile puts its hint into the status bar.
    xdotool windowactivate --sync "$main"
    xdotool type --delay 30 'secret'
    xdotool key Tab
    xdotool type 'z'
    point "$main" 280 330
    shoot "$main" main-typed.png

    xdotool key alt+m
    sleep 0.5
    # The open menu is a window of its own: the picture is the screen around
    # the main window.
    eval "$(xdotool getwindowgeometry --shell "$main")"
    import -window root -crop "$((WIDTH + 40))x$((HEIGHT + 80))+$((X > 20 ? X - 20 : 0))+$((Y > 60 ? Y - 60 : 0))" \
        "$folder/menu.png"
    echo "$folder/menu.png"
    xdotool key Escape Escape

    # Alt+F1 opens the About box.
    xdotool windowactivate --sync "$main"
    xdotool key alt+F1
    about=$(newest_window "$main")
    shoot "$about" about.png
    xdotool key Escape
    sleep 0.3

    # Alt+F opens the verification window.
    xdotool windowactivate --sync "$main"
    xdotool key alt+f
    verify=$(newest_window "$main")
    xdotool type --delay 30 'secret'
    shoot "$verify" verify.png
    xdotool key Return
    sleep 0.5
    # The verification notices: accept each of them.
    for _ in 1 2; do
        xdotool key Return
        sleep 0.3
    done

    # An encryption of a large file shows the compiler window at work.
    xdotool windowactivate --sync "$main"
    xdotool key Tab Tab
    xdotool type "$work/large.bin"
    xdotool key Tab
    xdotool type "$work/large.vlk"
    xdotool key Tab Up Return
    compiler=$(newest_window "$main")
    sleep 1
    shoot "$compiler" compiler.png
    xdotool key Escape
    sleep 1
    xdotool key Return
    sleep 0.5
    kill "$app" 2>/dev/null || true
    wait "$app" 2>/dev/null || true
    app=
    rm -f "$work/large.vlk"
done
