# Sourced by the end-to-end scripts, which all take the same four arguments:
#   SCRIPT orvitex-setup.exe orvitex-probe.exe OUT-FOLDER build-demo-db.sh
setup=$1 probe=$2 out=$3 builddb=$4
mkdir -p "$out"
key='HKLM\SOFTWARE\Microsoft\MSSQLServer\Client\ConnectTo'
failed=0
fail() { echo "FAIL: $*"; failed=1; }
