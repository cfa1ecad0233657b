#!/usr/bin/env bash
# Each folder of src/ includes only from the folders it builds on, so that
# the dependencies between the targets point one way: the headless program
# never reaches the widgets, the print library never the merge.
#   layering.sh path/to/src
set -euo pipefail
src=$1
declare -A allowed=(
    [storage]=""
    [metafile]="storage"
    [layer]="storage metafile"
    [editor]="layer storage metafile"
    [print]="layer storage metafile"
    [merge]="layer storage metafile"
    [document]="editor print merge layer storage metafile"
    [app]="document editor print merge layer storage metafile"
    [cli]="print merge layer storage metafile"
)
status=0
for folder in "${!allowed[@]}"; do
    for used in $(grep -rhoE '^#include "[a-z]+/' "$src/$folder" | sed -E 's/.*"([a-z]+)\//\1/' | sort -u); do
        [[ $used == "$folder" || " ${allowed[$folder]} " == *" $used "* ]] && continue
        echo "$folder/ includes from $used/:" >&2
        grep -rnE "^#include \"$used/" "$src/$folder" >&2
        status=1
    done
done
[[ $status -eq 0 ]] && echo "every folder includes only from what it builds on"
exit $status
