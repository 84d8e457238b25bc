#!/usr/bin/env bash
# The program's folders include downward only:
#   app -> window, cli -> texts, requests -> registration, sidebyside -> inspection -> platform
# A file may include its own folder's headers and those of folders to its right;
# folders that share a step (window and cli, texts and requests, registration
# and sidebyside) do
# not include each other.
set -euo pipefail
src=${1:-"$(cd "$(dirname "$0")/.." && pwd)/src"}
layers=(app "window cli" "texts requests" "registration sidebyside" inspection platform)
rank() {
  local i f
  for i in "${!layers[@]}"; do for f in ${layers[$i]}; do [ "$f" = "$1" ] && { echo "$i"; return; }; done; done
  echo -1
}
bad=0
while IFS= read -r -d '' file; do
  own=${file#"$src"/}; own=${own%%/*}
  own_rank=$(rank "$own")
  [ "$own_rank" -ge 0 ] || continue
  while IFS= read -r included; do
    target=${included%%/*}
    target_rank=$(rank "$target")
    if [ "$target_rank" -ge 0 ] && [ "$target_rank" -lt "$own_rank" ]; then
      echo "  ${file#"$src"/}: includes $included, which runs back up (from $own to $target)"
      bad=1
    elif [ "$target_rank" -eq "$own_rank" ] && [ "$target" != "$own" ]; then
      echo "  ${file#"$src"/}: includes $included, which runs sideways (from $own to $target)"
      bad=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.rc' \) -print0)
exit $bad
