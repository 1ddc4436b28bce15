#!/bin/sh
# Runs a link command given after the map path, keeping what it prints (the link map,
# with -Wl,--print-map) in that file.  Usage: link_with_map.sh MAP COMMAND...
map="$1"
shift
"$@" > "$map"
