#!/bin/sh
# A program for the launcher to start: appends to $RENDARO_TEST_LOG, tab-separated, the path it was started by,
# its working folder, its argument count and where its standard output goes.
printf '%s\t%s\t%s\t%s\n' "$0" "$PWD" "$#" "$(readlink /proc/$$/fd/1)" >>"$RENDARO_TEST_LOG"
