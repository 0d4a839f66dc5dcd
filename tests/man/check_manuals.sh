#!/bin/sh
# Formats each manual page with every groff warning on; any warning fails.
set -eu
status=0
for page in "$@"; do
  warnings=$(groff -t -ww -z -man "$page" 2>&1)
  if [ -n "$warnings" ]; then
    echo "$warnings" >&2
    status=1
  fi
done
exit $status
