#!/bin/sh
# run_validator.sh TOOL ARGS...: runs a validator, failing on any complaint it prints as well
# as on its status (desktop-file-validate only prints its warnings). Exit 77: not installed.
command -v "$1" >/dev/null 2>&1 || { echo "skipped: $1 is not installed"; exit 77; }
out=$("$@" 2>&1)
status=$?
printf '%s\n' "$out"
[ $status -eq 0 ] || exit 1
# appstreamcli ends a clean run with its verdict; anything else is a complaint.
printf '%s\n' "$out" | grep -v -e '^$' -e 'Validation was successful' >/dev/null && exit 1
exit 0
