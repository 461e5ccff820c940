#!/usr/bin/env bash
# Checks a program's manual page against its --help: the page must format
# without warnings, be titled after the program, and its OPTIONS section
# must name exactly the options that --help names. Prints what differs and
# exits 1; exits 0 when page and --help agree.
#
#   tools/check-manpage.sh PROGRAM PAGE
set -euo pipefail
program=$1
page=$2
name=$(basename "$program")

command -v groff > /dev/null || { echo "check-manpage: groff is needed (Debian package groff-base)" >&2; exit 1; }

# Options: a dash or two and a letter, at the start of a word. --help goes
# without saying: the check runs it.
options() {
    grep -oE '(^|[][[:space:](|,])--?[A-Za-z][A-Za-z0-9_-]*' | sed -E 's/^[^-]*//' | grep -vx -e '--help' | sort -u || true
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$program" --help > "$work/help" || { echo "$name --help failed" >&2; exit 1; }

# Plain text: no hyphenation, long lines, no overstriking.
groff -man -Tascii -ww -rHY=0 -rLL=200n -P-cbou "$page" > "$work/page" 2> "$work/warnings"
status=0
if [ -s "$work/warnings" ]; then
    echo "$page: groff warns:" >&2
    cat "$work/warnings" >&2
    status=1
fi

title=$(grep -m1 -E '^\.TH ' "$page" | awk '{print $2}')
if [ "$title" != "$(tr '[:lower:]' '[:upper:]' <<< "$name")" ]; then
    echo "$page: titled '$title', not after $name" >&2
    status=1
fi

# The OPTIONS section: from its heading to the next heading (a line that
# starts in the first column).
awk '/^OPTIONS$/ { on = 1; next } on && /^[A-Z]/ { on = 0 } on' "$work/page" | options > "$work/page-options"
options < "$work/help" > "$work/help-options"
if [ ! -s "$work/page-options" ]; then
    echo "$page: no options in an OPTIONS section" >&2
    status=1
fi

only_help=$(comm -23 "$work/help-options" "$work/page-options")
only_page=$(comm -13 "$work/help-options" "$work/page-options")
if [ -n "$only_help" ]; then
    echo "$name --help names options its manual page's OPTIONS section lacks:" $only_help >&2
    status=1
fi
if [ -n "$only_page" ]; then
    echo "$page names options that $name --help lacks:" $only_page >&2
    status=1
fi
[ $status -eq 0 ] && echo "$page and $name --help name the same options:" $(cat "$work/help-options")
exit $status
