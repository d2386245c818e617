# Sourced by the end-to-end scripts, which all take the same four arguments:
#   SCRIPT orvitex-setup.exe orvitex-probe.exe OUT-FOLDER build-demo-db.sh
setup=$1 probe=$2 out=$3 builddb=$4
mkdir -p "$out"
key='HKLM\SOFTWARE\Microsoft\MSSQLServer\Client\ConnectTo'
failed=0
fail() { echo "FAIL: $*"; failed=1; }
# Waits at most SECONDS for a background process of the script, ends it by its pid
# when it outlives them, and returns its exit code (124 when it had to be ended).
wait_bounded() {
    local pid=$1 seconds=$2
    for _ in $(seq 1 $((seconds * 5))); do
        kill -0 "$pid" 2>/dev/null || { wait "$pid"; return; }
        sleep 0.2
    done
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return 124
}
