#!/usr/bin/env bash
# Prints the cloc code lines of the tests (tests/ + fuzz/), of the product (the
# rest, less bench/, datapack/, build folders and the generated font table)
# and their ratio; exits 1 when the tests exceed 0.4 of the product.
# Languages: all that cloc knows but Markdown, Text, JSON, YAML and XML.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v cloc >/dev/null || tools/install-deps.sh test

# Tracked and new files, never what .gitignore keeps out (build folders).
if git rev-parse --git-dir >/dev/null 2>&1; then
  files() { git ls-files --cached --others --exclude-standard; }
else
  files() { find . -path ./.git -prune -o -path './build*' -prune -o -type f -print | sed 's|^\./||'; }
fi
code_lines() {
  local list
  list=$(mktemp)
  cat >"$list"
  cloc --quiet --csv --list-file="$list" --exclude-lang=Markdown,Text,JSON,YAML,XML \
    | awk -F, '$2 == "SUM" { print $5; found = 1 } END { if (!found) print 0 }'
  rm -f "$list"
}
tests=$(files | grep -E '^(tests|fuzz)/' | code_lines)
product=$(files | grep -vE '^(tests|fuzz|bench|datapack|build[^/]*)/|^runtime/text/font_table\.cpp$' | code_lines)
awk -v t="$tests" -v p="$product" 'BEGIN {
  ratio = p > 0 ? t / p : 99
  printf "tests %d, product %d, ratio %.3f (at most 0.4)\n", t, p, ratio
  exit ratio > 0.4 ? 1 : 0
}'
