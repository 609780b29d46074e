#!/usr/bin/env bash
# Runs the display-font Wine test under several system code pages: Western (1252), Cyrillic
# (1251) and Japanese (932, whose lead bytes would swallow codes such as 130 and 226 if the
# 8-bit text were read in the system code page). Wine takes its code page from the Unix locale,
# so the locales are compiled into a private folder first.
#   tools/font/check_code_pages.sh WINE_TEMPLATE FONT_TEST_EXE
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
template=$1
exe=$(realpath "$2")
locales=${SPOTLEX_LOCALE_DIR:-${TMPDIR:-/tmp}/spotlex-locales}
mkdir -p "$locales"

status=0
for entry in en_US:1252 ru_RU:1251 ja_JP:932; do
  name=${entry%%:*}.UTF-8
  acp=${entry##*:}
  [ -d "$locales/$name" ] || localedef -i "${entry%%:*}" -f UTF-8 "$locales/$name"
  echo "== $name (code page $acp)"
  if LOCPATH=$locales LC_ALL=$name SPOTLEX_EXPECT_ACP=$acp \
      "$root/scripts/wine-test.sh" --template "$template" "$exe" --gtest_brief=1; then
    echo "== $name: passed"
  else
    echo "== $name: FAILED"
    status=1
  fi
done
exit $status
