#!/usr/bin/env bash
# Fails when a C++ source file differs from what clang-format makes of it (.clang-format).
#   bash scripts/check-format.sh
set -u
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bad=0
while IFS= read -r f; do
    if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then
        echo "not formatted: $f (run: clang-format -i $f)"
        bad=1
    fi
done < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
exit $bad
