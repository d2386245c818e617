# Shared by the demo and the end-to-end run tests; sourced under tools/wine-run.sh
# --host (WINEPREFIX and DISPLAY set).
drive="$WINEPREFIX/drive_c"
install_dir="$drive/오르비설치"
connect_key='HKLM\SOFTWARE\Microsoft\MSSQLServer\Client\ConnectTo'
policy_key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Policies\System'
packages=(iOrvitex.exe uOrvitex1.exe uOrvitex2.exe uOrvitex3.exe
    ALLV7_XProxy_soapLibSetupSetup.exe IHiraDurSetupSW0421.exe)
policies=(ConsentPromptBehaviorAdmin=0x2 ConsentPromptBehaviorUser=0x3 dontdisplaylastusername=0x0
    EnableInstallerDetection=0x1 EnableLUA=0x1 EnableSecureUIAPaths=0x1 EnableUIADesktopToggle=0x0
    EnableVirtualization=0x1 FilterAdministratorToken=0x0 PromptOnSecureDesktop=0x1
    scforceoption=0x0 shutdownwithoutlogon=0x1 undockwithoutlogon=0x1
    ValidateAdminCodesSignatures=0x0)

# A host path as Wine's Z: drive names it, without asking Wine (winepath, like
# every wine tool, has answered nothing once on a loaded machine).
windows_path() {
    local path
    path=$(realpath -m "$1")
    printf 'Z:%s' "${path//\//\\}"
}

# The machine before a run: both keys empty (a clinic PC has them, the program never
# creates a key), an old program folder, the institution's update folder.
prepare_drive() {
    local key
    for key in "$connect_key" "$policy_key"; do
        wine reg delete "$key" /f >/dev/null 2>&1
        wine reg add "$key" /f >/dev/null 2>&1 || return 1
    done
    rm -rf "$install_dir" "$drive/Orvitex" "$drive/OrvitexDemo"
    mkdir -p "$drive/OrvitexDemo/update" "$drive/Orvitex/bin"
    printf '[Server]\r\nName=demo\r\n' >"$drive/OrvitexDemo/update/Orvitex.ini"
    printf 'old' >"$drive/Orvitex/bin/Orvitex.ini"
}

# The value's type and data as `reg query` shows them, or nothing. On a loaded
# machine `wine reg` now and then answers nothing at all, so that is asked again.
value_of() {
    local listing=""
    for _ in 1 2 3; do
        listing=$(wine reg query "$1" 2>/dev/null | tr -d '\r')
        grep -q '^HKEY_' <<<"$listing" && break
    done
    awk -v n="$2" '$1 == n { print $2, $3 }' <<<"$listing"
}

# Waits (bounded) until the journal holds n lines matching the pattern.
await_journal() {
    local journal=$1 pattern=$2 n=$3
    for _ in $(seq 1 100); do
        [ "$(grep -c -- "$pattern" "$journal" 2>/dev/null)" -ge "$n" ] && return 0
        sleep 0.1
    done
    return 1
}

# The buttons a program's clicks reached, in order ('-' for a click beside them).
buttons_of() {
    tr -d '\r' <"$1" | awk -v p="$2" '$1 == p && $2 == "click" { b = b substr($3, 8) }
                                      $1 == p && $2 == "miss" { b = b "-" } END { print b }'
}

# Journal lines of clicks that missed a button or lay off their script's point
# (the point scaled by the wizard's DPI, as Windows rounds it, within a pixel).
off_target() {
    tr -d '\r' <"$1" | awk '
        function s(px) { return int((px * dpi + 48) / 96) }
        function near(a, b) { return a - b <= tol && b - a <= tol }
        $2 == "miss" { print; next }
        $2 != "click" { next }
        {
            for (i = 3; i <= NF; i++) { split($i, kv, "="); f[kv[1]] = kv[2] }
            dpi = f["dpi"]; tol = dpi == 96 ? 0 : 1
            split(f["screen"], p, ","); split(f["rect"], r, ",")
            b = f["button"]
            if (b == "A") { x = r[1] + s(350); y = r[2] + s(315) }
            else if (b == "B") { x = r[1] + s(350); y = r[2] + s(365) }
            else if (b == "C") { x = r[1] + s(400); y = r[2] + s(115) }
            else { x = r[3] - s(25); y = r[4] - s(25) }
            if (!near(p[1], x) || !near(p[2], y)) print
        }'
}
