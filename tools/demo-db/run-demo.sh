#!/usr/bin/env bash
# The demo itself, under tools/wine-run.sh --host (DISPLAY and WINEPREFIX set):
# one unattended run, a screenshot while it works, then a summary.
#   run-demo.sh orvitex-setup.exe OUT-FOLDER
set -uo pipefail

exe=$1 out=$2
. "$(dirname "${BASH_SOURCE[0]}")/run-common.sh"
code=12345678
journal=$out/clicks.log shot=$out/run-window.png
rm -f "$journal" "$shot" "$out/run.log" "$out/demo.log"
prepare_drive || { echo "demo: cannot prepare the prefix's keys and folders" >&2; exit 1; }
# For the screenshot: Wine draws the wizards' frames where no window manager does,
# and their buttons' system font falls back to one with Hangul.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v System \
    /t REG_SZ /d NanumGothic /f >/dev/null 2>&1
export ORVITEX_CLICK_JOURNAL ORVITEX_FAKE_SETUP=""
ORVITEX_CLICK_JOURNAL=$(windows_path "$journal")

# The screen area that holds all the given windows.
extent() {
    local id x0=100000 y0=100000 x1=0 y1=0 X Y WIDTH HEIGHT
    for id in "$@"; do
        eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
        x0=$((X < x0 ? X : x0)) y0=$((Y < y0 ? Y : y0))
        x1=$((X + WIDTH > x1 ? X + WIDTH : x1)) y1=$((Y + HEIGHT > y1 ? Y + HEIGHT : y1))
    done
    echo "$((x1 - x0))x$((y1 - y0))+$x0+$y0"
}

# While the update setup's wizard is open the bar stands at 1 of 6.
screenshot() {
    local main wiz
    for _ in $(seq 1 300); do
        wiz=$(xdotool search --onlyvisible --name '^오르비텍스 Update 설치$' 2>/dev/null | head -n 1)
        [ -n "$wiz" ] && break
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.2
    done
    [ -n "$wiz" ] || return 1
    sleep 0.5 # let both paint
    main=$(xdotool search --onlyvisible --name '^Orvitex 설치$' 2>/dev/null | head -n 1)
    import -window root -crop "$(extent $main "$wiz")" +repage "$shot" 2>/dev/null
}

# The preflight a deployment tool runs first: one line a check, nothing changed,
# exit 0 when the PC is ready for a run and 7 when it is not.
for key in "$connect_key" "$policy_key"; do
    wine reg add "$key" /reg:32 /f >/dev/null 2>&1 # 32-bit SQL clients read this view
done
echo "== orvitex-setup.exe --check --quiet --central-db $out/orvitex-demo.db --code $code"
wine "$exe" --check --quiet --central-db "$out/orvitex-demo.db" --code "$code" \
    --report "$out/check.json" | tr -d '\r'
echo "exit code ${PIPESTATUS[0]} (0: ready for a run, 7: a check failed); report $out/check.json"
echo

echo "== orvitex-setup.exe --central-db $out/orvitex-demo.db --code $code --run --quiet (display $DISPLAY)"
start=$(date +%s%N)
wine "$exe" --central-db "$out/orvitex-demo.db" --code "$code" --run --quiet --log "$out/demo.log" &
pid=$!
screenshot || echo "demo: no screenshot: the update wizard never showed"
wait "$pid"
rc=$?
elapsed_ms=$((($(date +%s%N) - start) / 1000000))
cp "$install_dir/orvitex-setup.log" "$out/run.log" 2>/dev/null
await_journal "$journal" ' end ' "$(grep -c ' start ' "$journal" 2>/dev/null)" || true

seconds() { printf '%d.%02d s' $(($1 / 1000)) $(($1 % 1000 / 10)); }
case $rc in
    0) meaning="complete" ;;
    2) meaning="unknown institution code" ;;
    3) meaning="the run stopped at an empty stored program" ;;
    4) meaning="main server unreachable" ;;
    *) meaning="failed, see $out/demo.log" ;;
esac
ms_of() { sed -n "s/.*$1: \([0-9]*\) ms.*/\1/p" "$out/run.log" 2>/dev/null | tail -n 1; }
slept=$(ms_of 'fixed sleeps of the run') waited=$(ms_of "waits for the wizards' windows")
usage=$(tr -d '\r' <"$out/run.log" 2>/dev/null | sed -n 's/.*process usage: CPU \([0-9]*\) ms, .*peak working set \([0-9]*\) bytes.*/\1 \2/p' | tail -n 1)
echo
echo "exit code   $rc: $meaning"
echo "time        $(seconds "$elapsed_ms"), of which $(seconds "${slept:-0}") the scripts' fixed sleeps"
echo "            and $(seconds "${waited:-0}") waiting for the wizards' windows"
[ -z "$usage" ] || echo "installer   CPU $(seconds "${usage% *}"), peak working set $((${usage#* } / 1048576)) MiB"
echo "registry    HKLM\\SOFTWARE\\Microsoft\\MSSQLServer\\Client\\ConnectTo"
wine reg query "$connect_key" 2>/dev/null | tr -d '\r' | awk '$2 == "REG_SZ" && $3 != "" { printf "              %-20s %s\n", $1, $3 }'
echo "            HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System"
wine reg query "$policy_key" 2>/dev/null | tr -d '\r' |
    awk '$2 == "REG_DWORD" { v = v sprintf(" %s=%s", $1, $3); if (++n % 3 == 0) { print "             " v; v = "" } }
         END { if (v != "") print "             " v }'
for folder in 오르비설치 Orvitex/bin; do
    echo "files       C:\\${folder//\//\\}"
    ls -l "$drive/$folder" 2>/dev/null | awk 'NR > 1 { printf "              %-36s %9d bytes\n", $9, $5 }'
done
echo "clicks      per package (A B C D: the scripts' points; '-' beside every button)"
for p in "${packages[@]}"; do
    printf '              %-36s %s\n' "$p" "$(buttons_of "$journal" "$p" | sed 's/./& /g')"
done
off=$(off_target "$journal" | wc -l)
echo "            $(grep -c ' click ' "$journal") clicks, $off off their button's point"
echo "kept        $out/run.log, $out/demo.log, $journal, ${shot}"
[ -f "$shot" ] || echo "            (no screenshot was taken)"
exit "$rc"
