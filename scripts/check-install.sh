#!/usr/bin/env bash
# Installs a build into a staging folder (DESTDIR, prefix /usr) and checks
# what a player's system would get: the tree, the desktop entry and the
# AppStream metadata (with their validators), the man pages (rendered with
# warnings as failures, every option of each program present), and the
# installed game started from an empty folder with an empty XDG data folder.
#   scripts/check-install.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:?usage: check-install.sh BUILD_DIR}" && pwd)
cd "$(dirname "$0")/.."

# The battle reading the player's arena can only be seen once the game hands
# CApp::DataFolder() to the battle (see "DATA FOLDER HAND-OFF" in
# src/ui/CApp.cpp). Until then the check below is off.
# COORDINATOR: set to on when the hand-off is wired.
battle_check=on

work=$(mktemp -d)
game_pid=
cleanup() {
  [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "check-install: $*" >&2
  exit 1
}

app=net.pobogom.Kivora
stage=$work/stage
root=$stage/usr
DESTDIR=$stage cmake --install "$build" --prefix /usr >"$work/install.log" || {
  cat "$work/install.log" >&2
  fail "cmake --install failed"
}

# --- the tree
[ "$(ls -A "$stage")" = usr ] || fail "files installed outside /usr: $(ls -A "$stage")"
for f in bin/kivora bin/kivora-check bin/kivora-arena bin/kivora-tournament bin/kivora-viewer; do
  [ -f "$root/$f" ] && [ -x "$root/$f" ] || fail "missing program $f"
done
expected=(share/applications/$app.desktop share/metainfo/$app.metainfo.xml
  share/man/man6/kivora.6.gz share/man/man1/kivora-check.1.gz share/man/man1/kivora-arena.1.gz share/man/man1/kivora-tournament.1.gz share/man/man1/kivora-viewer.1.gz
  share/doc/kivora/copyright share/doc/kivora/changelog.gz share/doc/kivora/en/index.md share/doc/kivora/ja/index.md)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/$app.png")
done
for f in "${expected[@]}"; do
  [ -f "$root/$f" ] || fail "missing $f"
done
for size in 16 256; do
  identify -format '%wx%h' "$root/share/icons/hicolor/${size}x${size}/apps/$app.png" | grep -qx "${size}x${size}" ||
    fail "the ${size}x${size} icon has the wrong size"
done
arena=$root/share/kivora/arena
want=$(ls arena | grep -E '\.(spc|prg|bmp)$|^map\.txt$|^buylist\.txt$' | sort)
have=$(ls -A "$arena" | sort)
[ "$want" = "$have" ] || fail "the default arena holds other files than arena/'s data files: $(diff <(echo "$want") <(echo "$have") | tr '\n' ' ')"
[ -z "$(find "$arena" -type f -perm /022)" ] || fail "the default arena has files others can change"
echo "check-install: tree ok"

# --- validators
out=$(desktop-file-validate "$root/share/applications/$app.desktop" 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate: $out"
appstreamcli validate --no-net "$root/share/metainfo/$app.metainfo.xml" >"$work/as.log" 2>&1 || {
  cat "$work/as.log" >&2
  fail "appstreamcli validate failed"
}
echo "check-install: desktop entry and AppStream metadata valid"

# --- man pages
for page in "$root"/share/man/man*/*.gz; do
  zcat "$page" | preconv | groff -man -Tutf8 -ww -z 2>"$work/groff.log" >/dev/null
  [ ! -s "$work/groff.log" ] || fail "$(basename "$page"): $(cat "$work/groff.log")"
done
# Every option a program's usage names is in its rendered page.
usage_of() {
  case $1 in
    kivora-check) "$root/bin/kivora-check" 2>&1 >/dev/null || true ;;
    *) "$root/bin/$1" --help ;;
  esac
}
for page in kivora.6 kivora-check.1 kivora-arena.1 kivora-tournament.1 kivora-viewer.1; do
  program=${page%.*}
  rendered=$(MANWIDTH=100 man -l "$root/share/man/man${page##*.}/$page.gz" 2>/dev/null | col -b)
  for option in $(usage_of "$program" | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
    grep -qF -- "$option" <<<"$rendered" || fail "man $program does not show $option"
  done
done
echo "check-install: man pages render cleanly and show every option"

# --- the installed game, from an empty folder with an empty XDG data folder
mkdir -p "$work/play" "$work/xdg" "$work/home"
user_arena=$work/xdg/kivora/arena
(cd "$work/play" && HOME=$work/home XDG_DATA_HOME=$work/xdg QT_QPA_PLATFORM=offscreen \
  DBUS_SESSION_BUS_ADDRESS=disabled: exec "$root/bin/kivora") 2>"$work/game.log" &
game_pid=$!
for _ in $(seq 1 100); do
  [ -f "$user_arena/.shipped-files" ] && break
  kill -0 "$game_pid" 2>/dev/null || break
  sleep 0.2
done
[ -f "$user_arena/.shipped-files" ] || { cat "$work/game.log" >&2; fail "the per-user arena was not made"; }
for f in $have; do
  [ -f "$user_arena/$f" ] || fail "the per-user arena lacks $f"
  cmp -s "$arena/$f" "$user_arena/$f" || fail "the per-user arena's $f differs from the default"
done
[ -z "$(find "$user_arena" -type f ! -perm -u+w)" ] || fail "the per-user arena has files the player cannot change"
sleep 2
kill -0 "$game_pid" 2>/dev/null || { cat "$work/game.log" >&2; fail "the game ended on its own"; }
kill -TERM "$game_pid"
status=0
wait "$game_pid" || status=$?
game_pid=
[ "$status" -eq 0 ] || { cat "$work/game.log" >&2; fail "the game ended with status $status after SIGTERM"; }
[ -z "$(ls -A "$work/play")" ] || fail "the game wrote into the folder it was started in"
echo "check-install: the installed game made the per-user arena and ended cleanly on SIGTERM"

# --- the battle runs in the per-user arena (needs a display: Xvfb)
# The field view must show the floor picture of the per-user arena, and the
# main window (not a message box about a missing map) must be up.
if [ "$battle_check" = on ]; then
  rm -rf "$work/xdg" "$work/play"
  mkdir -p "$work/play" "$work/xdg"
  (cd "$work/play" && HOME=$work/home XDG_DATA_HOME=$work/xdg DBUS_SESSION_BUS_ADDRESS=disabled: \
    KIVORA_GAME="$root/bin/kivora" SHOT="$work/shot.png" env -u QT_QPA_PLATFORM \
    xvfb-run -a -s '-screen 0 800x600x24' sh -c \
    '"$KIVORA_GAME" & pid=$!; sleep 5; import -window root "$SHOT"; kill -TERM $pid; wait $pid') \
    2>"$work/battle.log" || { cat "$work/battle.log" >&2; fail "the game under Xvfb did not end cleanly"; }
  # WIDTHxHEIGHT+X+Y of the window on the black screen.
  read -r w h x y < <(convert "$work/shot.png" -trim -format '%w %h %X %Y\n' info: | tr -d '+')
  [ "$w" -eq 640 ] || fail "the main window is not up (a ${w}x${h} window shows)"
  convert "$work/shot.png" -crop "320x320+$x+$((y + h - 400))" +repage "$work/field.png"
  differing=$(compare -metric AE "$work/field.png" "$user_arena/bg.bmp" null: 2>&1 || true)
  [ "${differing%%.*}" -lt 30000 ] || fail "the field does not show the per-user arena's floor ($differing of 102400 pixels differ)"
  echo "check-install: a battle runs in the per-user arena"
else
  echo "check-install: battle in the per-user arena: not checked yet (battle_check=off)"
fi
echo "check-install: all install checks passed"
