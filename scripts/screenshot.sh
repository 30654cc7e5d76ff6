#!/usr/bin/env bash
# Remakes docs/quietreel.png, the front page's picture of the program: runs
# the run command without a display, so that it saves the whole Wine desktop
# with the main window on it, cuts that picture to the main window (the
# desktop around it is one plain colour) and stores it small, in a palette
# of its own colours, without metadata.
set -Eeuo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

# run.sh prints the screenshot's path last; what it prints before (the
# install and the build) still shows.
shot=$(env -u DISPLAY bash "$repo/scripts/run.sh" | tee /dev/stderr | tail -n 1)
[[ -f "$shot" ]] || { echo "run.sh saved no screenshot" >&2; exit 1; }
picture=$repo/docs/quietreel.png
convert "$shot" -trim +repage -strip -colors 256 -define png:compression-level=9 "PNG8:$picture"
echo "$picture: $(identify -format '%wx%h' "$picture"), $(stat -c %s "$picture") bytes"
