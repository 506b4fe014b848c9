#!/usr/bin/env bash
# Exports a model (and motions) with qxtool and runs the glTF validator on the result; any
# error or warning fails. Exit 77 (skipped) when the model is one of the shared test files and
# they are absent, or when the validator could not be installed (no npm registry in reach).
# usage: validate-export.sh QXTOOL SOURCE_DIR OUT MODEL [MOTION...]
set -euo pipefail
qxtool=$1 source=$2 out=$3 model=$4
shift 4
if [ ! -e "$model" ]; then
  echo "skipped: $model not found (shared test data absent)"
  exit 77
fi
if [ ! -d "$source/scripts/gltf-validator/node_modules/gltf-validator" ]; then
  echo "skipped: the glTF validator is not installed (scripts/setup could not reach the npm registry)"
  exit 77
fi
mkdir -p "$(dirname "$out")"
"$qxtool" export "$model" "$@" -o "$out"
exec node "$source/scripts/gltf-validator/validate.js" "$out"
