#!/usr/bin/env bash
# Seeds a fuzzer with the files of a folder (the game's own assets for the loaders', the
# shipped map for the map reader's) and damaged copies of them: each cut short and each with
# one bit flipped, at the ends of the headers and in the middle.
#
#   seed_corpus.sh FOLDER CORPUS_DIR
set -euo pipefail
res=$1 corpus=$2
mkdir -p "$corpus"
for asset in "$res"/*; do
  name=$(basename "$asset")
  size=$(stat -c %s "$asset")
  cp "$asset" "$corpus/$name"
  for at in 4 14 30 54 60 $((size / 2)) $((size - 1)); do
    head -c "$at" "$asset" >"$corpus/$name.cut$at"
    perl -e 'open my $f, "<:raw", $ARGV[0]; local $/; my $d = <$f>;
      substr($d, $ARGV[1], 1) ^= chr(1 << ($ARGV[1] % 8)); print $d' "$asset" "$at" \
      >"$corpus/$name.flip$at"
  done
done
