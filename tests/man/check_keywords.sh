#!/bin/sh
# The words man 5 lists under KEYWORDS (its .B lines) are exactly the words
# of the reader's keyword tables: a keyword added to the tables needs its
# line in the manual.
set -eu
tables=$1
page=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sed -n 's/^ *{"\([^"]*\)", *C::.*/\1/p' "$tables" | sort -u >"$work/tables"
sed -n '/^\.SH KEYWORDS/,/^\.SH LIMITS/p' "$page" | sed -n 's/^\.B //p' | tr -d '"' |
  tr ' ' '\n' | grep -v '^$' | sort -u >"$work/page"
if ! cmp -s "$work/tables" "$work/page"; then
  echo "In the keyword tables but not under KEYWORDS in $page:" >&2
  comm -23 "$work/tables" "$work/page" >&2
  echo "Under KEYWORDS in $page but in no keyword table:" >&2
  comm -13 "$work/tables" "$work/page" >&2
  exit 1
fi
