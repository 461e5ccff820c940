#!/usr/bin/env bash
# Checks that every project include follows the layers of the tree: a file
# may include files of its own folder and of the folders its layer lists
# below, nothing else. Prints each offending include with the rule it breaks
# and exits 1; exits 0 when the tree keeps its layers.
#
#   tools/check-layers.sh [repository root]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

# The scene library's folders, lowest first: each may include itself and
# every folder before it.
SCENE_LAYERS=(model core io render text cache nodes actions print interact x3d)

# What a file in a folder may include, as path prefixes; a folder not named
# here (tests, examples, bench) may include anything.
allowed_for() {
    local file=$1
    case "$file" in
    platform/*) echo "platform/" ;;
    launcher/*) echo "launcher/" ;;
    imageapp/*) echo "platform/ imageapp/" ;;
    control/*) echo "platform/ scene/ control/" ;;
    scene/*/*)
        local folder=${file#scene/}
        folder=${folder%%/*}
        local prefixes="platform/" layer
        for layer in "${SCENE_LAYERS[@]}"; do
            prefixes+=" scene/$layer/"
            if [ "$layer" = "$folder" ]; then
                echo "$prefixes"
                return
            fi
        done
        echo "UNKNOWN"
        ;;
    scene/*) echo "platform/ scene/" ;; # the library's start-up sits on top
    *) echo "*" ;;
    esac
}

status=0
while IFS= read -r file; do
    allowed=$(allowed_for "$file")
    [ "$allowed" = "*" ] && continue
    if [ "$allowed" = "UNKNOWN" ]; then
        echo "$file: folder scene/$(cut -d/ -f2 <<<"$file")/ is not a layer; add it to SCENE_LAYERS in $0"
        status=1
        continue
    fi
    while IFS=: read -r line include; do
        [[ $include =~ \"([^\"]*)\" ]] && target=${BASH_REMATCH[1]}
        ok=0
        for prefix in $allowed; do
            if [[ $target == "$prefix"* ]]; then
                ok=1
                break
            fi
        done
        if [ $ok -eq 0 ]; then
            echo "$file:$line: includes \"$target\"; files in $(dirname "$file")/ may include only: $allowed"
            status=1
        fi
    done < <(grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" || true)
done < <(
    if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git ls-files -- '*.h' '*.hpp' '*.cpp' '*.cc'
    else # a source tree without git history
        find . -path ./build -prune -o \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.cc' \) -print |
            sed 's#^\./##'
    fi
)

if [ $status -eq 0 ]; then
    echo "layers: every include keeps to its layer"
fi
exit $status
