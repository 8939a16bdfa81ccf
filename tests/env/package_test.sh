#!/usr/bin/env bash
# Builds the Debian package from a finished build, unpacks it into a temporary root
# with dpkg -x and checks that every file lies where the program looks for it: the
# programs, the web engine plugin and their companions together in usr/lib/quillamere
# (as in build/bin), links in usr/bin, the desktop entry, the MIME package and the icon
# in the desktop's places.
# Then it runs what was unpacked: the desktop recognises a project file through the
# packaged MIME package, quillamere-cli publishes a project, and the window (when it
# is built) starts and registers itself.
#
# usage: package_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail

build=$1
source=$2
bin="$build/bin"
work=$(mktemp -d)
gui_pid=
# Ends the window and everything it started (the desktop's database tools run as its
# children and may outlive it), and waits until all of them are gone, so that nothing
# still writes into the home being removed.
stop_window() {
  [ -n "$gui_pid" ] || return 0
  kill -TERM -- "-$gui_pid" 2>/dev/null || true
  wait "$gui_pid" 2>/dev/null || true
  while kill -0 -- "-$gui_pid" 2>/dev/null; do sleep 0.05; done
  gui_pid=
}
cleanup() {
  stop_window
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok:   $*"; }
check() {  # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

# A home of our own, so that nothing here touches the real user's desktop.
export HOME="$work/home"
export XDG_DATA_HOME="$HOME/.local/share" XDG_CONFIG_HOME="$HOME/.config" XDG_CACHE_HOME="$HOME/.cache"
unset XDG_CURRENT_DESKTOP
mkdir -p "$HOME"

echo "== building the package"
if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  exit 1
fi
debs=("$work"/out/*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "expected one .deb, found: ${debs[*]}"; exit 1; }
deb=${debs[0]}
echo "$(basename "$deb")"
dpkg-deb --field "$deb" Package Version Architecture Depends

root="$work/root"
dpkg -x "$deb" "$root"
app="$root/usr/lib/quillamere"

echo "== cmake --install into a prefix of its own lays out the same tree"
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" --strip >"$work/install.log" 2>&1 || { cat "$work/install.log"; exit 1; }
check "installed tree equals the package's" diff -r --no-dereference "$prefix" "$root/usr"

echo "== control fields"
check "package name is quillamere" test "$(dpkg-deb --field "$deb" Package)" = quillamere
check "version is 1.0" test "$(dpkg-deb --field "$deb" Version)" = 1.0
check "depends on the C++ runtime" grep -q libstdc++6 <<<"$(dpkg-deb --field "$deb" Depends)"

echo "== programs, each in the application folder with a link in usr/bin"
programs=(quillamere-cli)
[ -x "$bin/quillamere" ] && programs=(quillamere "${programs[@]}")
[ -x "$bin/quillamere" ] || echo "note: the window (quillamere) is not built; not checked"
for program in "${programs[@]}"; do
  check "$program is in usr/lib/quillamere and executable" test -x "$app/$program" -a -f "$app/$program"
  check "usr/bin/$program is a relative link" test "$(readlink "$root/usr/bin/$program")" = "../lib/quillamere/$program"
  check "usr/bin/$program leads to the application folder" \
    test "$(readlink -f "$root/usr/bin/$program")" = "$(readlink -f "$app/$program")"
done
if [ -x "$bin/quillamere" ]; then
  check "depends on Qt's widgets" grep -q libqt6widgets6 <<<"$(dpkg-deb --field "$deb" Depends)"
fi
if [ -f "$bin/quillamere-webengine.so" ]; then
  check "the web engine plugin lies beside the program" test -f "$app/quillamere-webengine.so"
  check "depends on Qt WebEngine" grep -q libqt6webenginewidgets6 <<<"$(dpkg-deb --field "$deb" Depends)"
fi
if [ -f "$bin/quillamere-link.so" ]; then
  check "the channel plugin lies beside the program" test -f "$app/quillamere-link.so"
  check "depends on Qt Network" grep -q libqt6network6 <<<"$(dpkg-deb --field "$deb" Depends)"
fi

echo "== companion files beside the programs, as in build/bin"
for companion in zelvanbar.swf swfhelper.js help samples; do
  if [ -e "$bin/$companion" ]; then
    check "$companion is packaged unchanged" diff -r "$bin/$companion" "$app/$companion"
  else
    echo "note: $companion is not in build/bin; not checked"
  fi
done
unexpected=$(cd "$app" && ls -A | grep -v -x -E 'quillamere|quillamere-cli|quillamere-webengine\.so|quillamere-link\.so|zelvanbar\.swf|swfhelper\.js|help|samples' || true)
check "nothing else in the application folder (no tests, no build tools)" test -z "$unexpected"
[ -z "$unexpected" ] || echo "   found: $unexpected"

echo "== desktop files"
entry="$root/usr/share/applications/quillamere.desktop"
mime="$root/usr/share/mime/packages/quillamere.xml"
check "desktop entry installed" test -f "$entry"
check "desktop entry starts usr/bin/quillamere with the file" grep -q -x 'Exec=quillamere %f' "$entry"
if command -v desktop-file-validate >/dev/null; then
  check "desktop entry is valid" desktop-file-validate "$entry"
fi
check "MIME package installed as written in packaging/" cmp -s "$mime" "$source/packaging/quillamere.xml"
check "icon installed" test -s "$root/usr/share/icons/hicolor/scalable/apps/quillamere.svg"

if command -v xdg-mime >/dev/null && command -v update-mime-database >/dev/null \
   && command -v update-desktop-database >/dev/null; then
  echo "== the desktop, reading only the unpacked package, knows the project type"
  update-mime-database "$root/usr/share/mime" >/dev/null
  update-desktop-database "$root/usr/share/applications" >/dev/null
  project="$work/menus/main menu.zorbel"
  mkdir -p "$work/menus"
  printf '<Product_Name>\r\n' >"$project"
  type=$(XDG_DATA_DIRS="$root/usr/share" xdg-mime query filetype "$project")
  check "xdg-mime names application/x-quillamere-project (got $type)" test "$type" = application/x-quillamere-project
  default=$(XDG_DATA_DIRS="$root/usr/share" xdg-mime query default application/x-quillamere-project)
  check "xdg-mime names quillamere.desktop as its program (got $default)" test "$default" = quillamere.desktop
fi

echo "== the unpacked command-line tool publishes a project"
sample="$source/tests/fixtures/publish/worked-example/input.zorbel"
if [ -f "$sample" ] && [ -f "$app/zelvanbar.swf" ] && [ -f "$app/swfhelper.js" ]; then
  mkdir -p "$work/site"
  cp "$sample" "$work/site/menu.zorbel"
  if "$root/usr/bin/quillamere-cli" publish "$work/site/menu.zorbel" >"$work/publish.log" 2>&1; then
    pass "quillamere-cli publish ran"
  else
    fail "quillamere-cli publish ran"; cat "$work/publish.log"
  fi
  for file in menu.html zelvanbar.swf swfhelper.js menu_PublishReport.txt; do
    check "published $file" test -s "$work/site/$file"
  done
  check "the movie published is the packaged one" cmp -s "$work/site/zelvanbar.swf" "$app/zelvanbar.swf"
else
  check "quillamere-cli starts" "$root/usr/bin/quillamere-cli" --help
  echo "note: no sample project or no companions; publishing not checked"
fi

if [ -x "$app/quillamere" ]; then
  echo "== the unpacked window starts and registers itself"
  # A process group of its own (job control on), so that stop_window reaches the tools
  # the window starts as well.
  set -m
  QT_QPA_PLATFORM=offscreen "$root/usr/bin/quillamere" >"$work/gui.log" 2>&1 &
  gui_pid=$!
  set +m
  registered="$XDG_DATA_HOME/applications/quillamere.desktop"
  # The registration's last step: the desktop database lists the entry for our type
  # (where the tool is installed; else the entry itself is the last).
  if command -v update-desktop-database >/dev/null; then
    done_file="$XDG_DATA_HOME/applications/mimeinfo.cache" done_text="application/x-quillamere-project=quillamere.desktop"
  else
    done_file=$registered done_text="TryExec=$app/quillamere"
  fi
  # Waits for the registration to be done, or for the window to end, however long a
  # busy machine takes (ctest's timeout bounds it).
  until grep -q -F "$done_text" "$done_file" 2>/dev/null; do
    kill -0 "$gui_pid" 2>/dev/null || break
    sleep 0.1
  done
  check "the running window wrote its desktop entry naming itself" grep -q "^TryExec=$app/quillamere\$" "$registered"
  check "the desktop database names the entry for the project type" grep -q -F "$done_text" "$done_file"
  check "the window is still running" kill -0 "$gui_pid"
  stop_window
fi

echo
if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all package checks passed"
