#!/bin/bash
# The manual page of geovanta-cli names exactly the options that its --help
# names: an option added or dropped in one place and not the other fails.
# Usage: manpage_test.sh GEOVANTA_CLI MANPAGE
set -uo pipefail
cli=$1 page=$2

from_help=$("$cli" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u)
# Hyphens in the page are written \- so that they print as hyphens.
from_page=$(sed 's/\\-/-/g' "$page" | grep -oE -- '--[a-z][a-z-]*' | sort -u)
[ -n "$from_help" ] || { echo "FAIL: '$cli --help' names no option"; exit 1; }
if [ "$from_help" != "$from_page" ]; then
  echo "FAIL: --help and $(basename "$page") name different options"
  diff <(echo "$from_help") <(echo "$from_page") | sed -n 's/^</  only in --help:/p; s/^>/  only in the page:/p'
  exit 1
fi
echo "manpage: $(wc -l <<<"$from_help") options agree"
