#!/bin/sh
# Runs a Linux tool for a test under Wine. Wine starts Linux programs but cannot wait for them,
# so the test waits for OUT.rc, written last, when the tool has finished.
#   run-native.sh OUT TOOL ARGS...    stdout to OUT, stderr to OUT.err, exit code to OUT.rc
PATH=/usr/local/bin:/usr/bin:/bin
out="$1"
shift
"$@" >"$out" 2>"$out.err"
echo $? >"$out.rc.part"
mv "$out.rc.part" "$out.rc"
