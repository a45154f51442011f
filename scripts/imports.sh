#!/usr/bin/env bash
# Rewrites the reviewed lists of the functions that each release exe imports, from the
# exes that make test packs into build/release. The release test fails on an import
# that its list does not name, so that a function newer than Windows 7 cannot slip
# in unseen: after a change that imports something new, run make imports, check that
# each added line is a function of Windows 7, and commit the lists with the change.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/dist.sh --incremental
echo "==> rewriting the reviewed lists of imports in tests/release/"
for arch in x86_64 i686; do
  list=tests/release/imports-$arch.txt
  {
    echo "# The functions that tarnavel-$arch.exe imports, each one reviewed to exist on"
    echo "# Windows 7. The release test fails on an import missing here, or listed and no"
    echo "# longer imported. make imports rewrites this list: review its diff."
    tests/release/list_imports.sh "build/release/tarnavel-$arch.exe"
  } >"$list"
done
git --no-pager diff --stat -- tests/release/imports-x86_64.txt tests/release/imports-i686.txt
echo "==> review what changed with git diff tests/release/: each added function must exist on Windows 7"
