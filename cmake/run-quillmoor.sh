#!/bin/sh
# Starts the intro from the folder this script is in, where its assets are:
# it reads them by plain name from the current folder.
here=$(dirname "$(readlink -f "$0")")
cd "$here" || exit 1
exec ./quillmoor "$@"
