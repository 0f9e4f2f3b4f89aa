#!/usr/bin/env bash
# The English translation holds exactly the texts of the tool's sources, each
# translated (one left out shows in Japanese, as boxes without a CJK font):
# after a text changes, `--target update_translations` runs, then its English.
set -euo pipefail
lupdate=$1 tool=$2
fresh=$(mktemp --suffix=.ts)
trap 'rm -f "$fresh"' EXIT
cp "$tool/translations/vantel30_en.ts" "$fresh"
"$lupdate" "$tool" -extensions cpp -no-obsolete -locations none -silent -ts "$fresh"
diff "$tool/translations/vantel30_en.ts" "$fresh" || { echo "FAIL: the texts of the sources differ"; exit 1; }
! grep -n 'type="\(unfinished\|vanished\)"' "$fresh" || { echo "FAIL: texts without English"; exit 1; }
