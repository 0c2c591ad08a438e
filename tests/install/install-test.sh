#!/usr/bin/env bash
# Installs a build for one user into a scratch home folder, checks what landed, runs the
# installed program and uninstalls it again, leaving the folder as it was.
# Arguments: the source folder and the build folder.
set -euo pipefail
source="$1"
build="$2"
scratch="$(mktemp -d)"
trap 'rm -rf -- "$scratch"' EXIT

# A home folder whose path a desktop entry has to quote and escape.
export HOME="$scratch/home dir's \$x"
export XDG_DATA_HOME="$HOME/.local/share" XDG_CONFIG_HOME="$HOME/.config"
export XDG_CACHE_HOME="$HOME/.cache" XDG_STATE_HOME="$HOME/.local/state"
export XDG_RUNTIME_DIR="$scratch/runtime"
unset XDG_DATA_DIRS XDG_CONFIG_DIRS
prefix="$HOME/.local"
program="$prefix/bin/pellucine"
login="$XDG_CONFIG_HOME/autostart/com.orrinvale.pellucine.desktop"
install=("$source/scripts/install" --build-dir "$build")

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
expect_file() { [ -f "$1" ] || fail "missing $1"; }
snapshot() { (cd "$HOME" && find . | sort); }

mkdir -p "$XDG_RUNTIME_DIR" "$HOME"
chmod 700 "$XDG_RUNTIME_DIR"

# Nothing to uninstall yet.
if out="$("$source/scripts/uninstall" 2>&1)"; then fail "uninstalling nothing succeeded"; fi
[[ "$out" == *"not installed in $prefix"* ]] || fail "unclear message: $out"

# A prefix that no desktop entry can name is refused before anything is copied.
if "${install[@]}" --prefix "$scratch/bad"$'\n'"prefix" >/dev/null 2>&1; then
  fail "a prefix with a line break was installed into"
fi
[ -z "$(find "$scratch" -maxdepth 1 -name 'bad*')" ] || fail "the refused prefix was written"

"${install[@]}" 2>/dev/null

# The layout.
[ -x "$program" ] || fail "no executable program"
entry="$XDG_DATA_HOME/applications/pellucine.desktop"
template="$XDG_DATA_HOME/pellucine/autostart/com.orrinvale.pellucine.desktop"
for f in "$entry" "$template" "$XDG_DATA_HOME/icons/hicolor/scalable/apps/pellucine.svg" \
  "$XDG_DATA_HOME/man/man1/pellucine.1.gz" "$XDG_DATA_HOME/doc/pellucine/copyright" \
  "$XDG_DATA_HOME/doc/pellucine/changelog.gz"; do
  expect_file "$f"
done
for size in 16 22 24 32 48 64 128 256 512; do
  png="$XDG_DATA_HOME/icons/hicolor/${size}x${size}/apps/pellucine.png"
  expect_file "$png"
  # The width and height of the PNG header, as big-endian numbers.
  read -r w1 w2 w3 w4 h1 h2 h3 h4 < <(od -An -tu1 -j16 -N8 "$png")
  width=$(((w1 << 24) | (w2 << 16) | (w3 << 8) | w4))
  height=$(((h1 << 24) | (h2 << 16) | (h3 << 8) | h4))
  [ "$width" = "$size" ] && [ "$height" = "$size" ] || fail "$png is ${width}x${height}"
done

# Both desktop entries are valid and start the installed program by its escaped path.
for f in "$entry" "$template"; do
  problems="$(desktop-file-validate "$f" 2>&1)" || true
  [ -z "$problems" ] || fail "$f: $problems"
done
escaped="${program//'$'/'\\$'}"
grep -qxF "Exec=\"$escaped\" %u" "$entry" || fail "entry: $(grep '^Exec=' "$entry")"
grep -qxF "Exec=\"$escaped\"" "$template" || fail "autostart: $(grep '^Exec=' "$template")"

# The link scheme is registered.
grep -qxF 'x-scheme-handler/pellucine=pellucine.desktop;' "$XDG_DATA_HOME/applications/mimeinfo.cache" ||
  fail "scheme not registered"

# The installed program runs.
mkdir -p "$XDG_DATA_HOME/pellucine/diagnostics"
"$program" --probe-private-capture || fail "the probe exited with $?"
[ -s "$XDG_DATA_HOME/pellucine/diagnostics/private-capture-probe.txt" ] || fail "no probe report"
rm -r "$XDG_DATA_HOME/pellucine/diagnostics"

# Uninstalling leaves only the emptied prefix.
"$source/scripts/uninstall" 2>/dev/null
left="$(cd "$HOME" && find . -mindepth 1)"
[ "$left" = "./.local" ] || fail "left behind: $left"

# Another program's files, which uninstalling keeps.
mkdir -p "$prefix/bin" "$XDG_DATA_HOME/applications" "$XDG_CONFIG_HOME/autostart"
touch "$prefix/bin/other" "$HOME/outside"
printf '[Desktop Entry]\nType=Application\nName=Other\nExec=other %%u\nMimeType=x-scheme-handler/other;\n' \
  >"$XDG_DATA_HOME/applications/other.desktop"
update-desktop-database -q "$XDG_DATA_HOME/applications"
before="$(snapshot)"
cache="$XDG_DATA_HOME/applications/mimeinfo.cache"
cache_before="$(cat "$cache")"

# Installing again removes what the earlier install listed and this one does not, inside the
# prefix only.
"${install[@]}" 2>/dev/null
grep -qxF 'x-scheme-handler/other=other.desktop;' "$cache" || fail "other handler lost"
list="$XDG_DATA_HOME/pellucine/installed-files"
touch "$XDG_DATA_HOME/pellucine/stale" "$scratch/outside"
printf '%s\n' "$XDG_DATA_HOME/pellucine/stale" "$scratch/outside" "$prefix/../outside" >>"$list"
"${install[@]}" 2>/dev/null
[ ! -e "$XDG_DATA_HOME/pellucine/stale" ] || fail "a stale file was kept"
[ -e "$scratch/outside" ] && [ -e "$HOME/outside" ] || fail "a file outside the prefix was removed"

# The user's launch-at-login entry goes only when it starts this program and is not hidden.
grep -v '^Exec=' "$template" >"$login"
echo 'Exec=/usr/bin/pellucine' >>"$login"
"$source/scripts/uninstall" 2>/dev/null
[ -f "$login" ] || fail "an entry for another program was removed"
"${install[@]}" 2>/dev/null
sed 's/^Hidden=false$/Hidden=true/' "$template" >"$login"
"$source/scripts/uninstall" 2>/dev/null
[ -f "$login" ] || fail "a hidden login entry was removed"
"${install[@]}" 2>/dev/null
cp "$template" "$login"
"$source/scripts/uninstall" 2>/dev/null
[ ! -e "$login" ] || fail "the login entry outlived the program"

# Everything of the other program is as it was.
after="$(snapshot)"
[ "$before" = "$after" ] || fail "left behind: $(diff <(echo "$before") <(echo "$after") || true)"
[ "$(cat "$cache")" = "$cache_before" ] || fail "the link handlers changed"
echo "installed, ran and uninstalled in $prefix"
