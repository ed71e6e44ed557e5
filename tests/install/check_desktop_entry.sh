#!/usr/bin/env bash
# Checks the installed menu entry: check_desktop_entry.sh DESKTOP_FILE BINDIR_PATH
# It must validate, name the program as the menu shows it, and start a command that the
# install provides in its bin folder.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/common.sh"
entry="$1" bin="$2"
[ -f "$entry" ] || { fail "no desktop entry at $entry"; finish; }

if command -v desktop-file-validate >/dev/null; then
    out="$(desktop-file-validate "$entry" 2>&1)" || fail "desktop-file-validate rejects the entry: $out"
    [ -z "$out" ] || fail "desktop-file-validate warns: $out"
else
    fail "desktop-file-validate is missing (Debian package desktop-file-utils, installed by setup.sh)"
fi

key() { sed -n "s/^$1=//p" "$entry"; }
[ "$(sed -n '1p' "$entry")" = "[Desktop Entry]" ] || fail "the entry does not begin with [Desktop Entry]"
[ "$(key Type)" = "Application" ] || fail "Type is '$(key Type)'"
[ "$(key Name)" = "Lineforge Suite" ] || fail "Name is '$(key Name)'"
[ -n "$(key Comment)" ] || fail "Comment is empty"
[ "$(key Categories)" = "Office;" ] || fail "Categories is '$(key Categories)'"
[ "$(key Terminal)" = "false" ] || fail "Terminal is '$(key Terminal)'"
[ "$(key Icon)" = "lineforge" ] || fail "Icon is '$(key Icon)'; the icon theme installs lineforge"
for type in application/vnd.openxmlformats-officedocument.wordprocessingml.document \
    application/vnd.ms-word.document.macroEnabled.12 \
    application/vnd.openxmlformats-officedocument.wordprocessingml.template \
    application/vnd.ms-word.template.macroEnabled.12; do
    [[ ";$(key MimeType)" == *";$type;"* ]] || fail "MimeType lacks $type"
done
command="$(key Exec | awk '{print $1}')"
[ -n "$command" ] || fail "Exec is empty"
if [ -d "$bin" ]; then
    [ -x "$bin/$command" ] || fail "Exec starts '$command', which the install does not put in $bin"
else
    echo "note: no bin folder installed yet; the Exec command is not checked"
fi

finish
