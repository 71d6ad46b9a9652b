#!/bin/sh
# Runs a Windows program under Wine for CTest and passes on its output and
# status. The output goes through a file: Wine programs the program starts
# (its desktop, services) outlive it and would keep a pipe open, so CTest
# would wait for them until its timeout.
out=$(mktemp)
wine "$@" >"$out" 2>&1
status=$?
cat "$out"
rm -f "$out"
exit $status
