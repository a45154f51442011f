#!/usr/bin/env bash
# Adds to the reviewed lists of the functions that each release exe imports what the
# exes that make test packs into build/release import. The release test fails on an
# import that its list does not name, so that a function newer than Windows 7 cannot
# slip in unseen: after a change that imports something new, run make imports, check
# that each added line is a function of Windows 7, and commit the lists with the change.
# A list keeps what it named: the MinGW-w64 of another Debian may import it. What this
# build does not import is named, to be removed by hand once no Debian's build does.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/dist.sh --incremental
echo "==> adding to the reviewed lists of imports in tests/release/"
for arch in x86_64 i686; do
  list=tests/release/imports-$arch.txt
  imported=$(tests/release/list_imports.sh "build/release/tarnavel-$arch.exe")
  listed=$(grep -v '^#' "$list" | LC_ALL=C sort)
  {
    echo "# The functions that tarnavel-$arch.exe imports as the MinGW-w64 of Debian 12 or"
    echo "# of Debian 13 builds it, each one reviewed to exist on Windows 7. The release test"
    echo "# fails on an import missing here. make imports adds them: review its diff."
    LC_ALL=C sort -u <(echo "$listed") <(echo "$imported") | grep -v '^$'
  } >"$list"
  unused=$(comm -23 <(echo "$listed") <(echo "$imported") | paste -sd,)
  [ -z "$unused" ] || echo "==> $list names what this build of tarnavel-$arch.exe does not import: $unused"
done
git --no-pager diff --stat -- tests/release/imports-x86_64.txt tests/release/imports-i686.txt
echo "==> review what changed with git diff tests/release/: each added function must exist on Windows 7"
