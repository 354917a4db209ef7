#!/usr/bin/env bash
# The package test (make test): builds the Debian package from a build folder, checks its fields,
# contents and modes, runs lintian on it and the packaged programs from the unpacked tree. As root
# it then installs the package with apt, runs the installed tools, the installed program against the
# installed simulated receiver (offscreen) until the receiver's outputs are on, and the program as
# the desktop entry starts it with no port map and no receiver; then it removes the package again.
# Whatever cannot run here is skipped with the reason.
set -uo pipefail
BUILD=$(cd "${1:-build}" && pwd)

passed=0 failed=0 skipped=0
pass() { echo "  ok    $*"; passed=$((passed + 1)); }
fail() { echo "  FAIL  $*"; failed=$((failed + 1)); }
skip() { echo "  skip  $*"; skipped=$((skipped + 1)); }
# check DESCRIPTION COMMAND...: passes when the command succeeds.
check() {
  local what=$1
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}
finish() {
  echo "package-test: $passed passed, $failed failed, $skipped skipped"
  [ "$failed" -eq 0 ]
  exit
}

echo "Package test"
for tool in cpack dpkg-deb dpkg-architecture readelf gzip; do
  if ! command -v "$tool" >/dev/null; then
    skip "everything: $tool is missing (not a Debian system with dpkg-dev?)"
    finish
  fi
done
if [ ! -f "$BUILD/CPackConfig.cmake" ]; then
  skip "everything: $BUILD has no package configuration (a partial build without the program?)"
  finish
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/stavo-package.XXXXXX")
chmod 755 "$work" # apt reads the package as its own user
pids=()
installed_here=0
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null && wait "$p" 2>/dev/null; done
  if [ "$installed_here" = 1 ]; then
    echo "  (removing the package left installed by a failed step)"
    apt-get purge -y -q -o DPkg::Lock::Timeout=600 stavo >/dev/null 2>&1
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
unset LD_LIBRARY_PATH # the programs must find their libraries by themselves

# --- Build ------------------------------------------------------------------------------------
if ! (cd "$BUILD" && cpack -G DEB -B "$work/out") >"$work/cpack.log" 2>&1; then
  fail "cpack builds the package"
  cat "$work/cpack.log"
  finish
fi
deb=$(ls "$work"/out/*.deb 2>/dev/null | head -1)
if [ -z "$deb" ]; then
  fail "cpack builds the package"
  cat "$work/cpack.log"
  finish
fi
chmod 755 "$work/out"
pass "cpack builds $(basename "$deb")"

version=$(dpkg-deb -f "$deb" Version)
major=${version%%.*}
ma=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
libdir=usr/lib/$ma/stavo

# --- Fields -----------------------------------------------------------------------------------
check "package name stavo, architecture $(dpkg-architecture -qDEB_HOST_ARCH)" \
  test "$(dpkg-deb -f "$deb" Package) $(dpkg-deb -f "$deb" Architecture)" = "stavo $(dpkg-architecture -qDEB_HOST_ARCH)"
depends=$(dpkg-deb -f "$deb" Depends)
missing=()
# Computed from the binaries (Qt, ICU, the C and C++ run-time), and the faces asked for by name.
for d in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6serialport6 libicu \
  fonts-wqy-microhei fonts-dejavu-core fonts-wine; do
  [[ ", $depends" == *", $d"* ]] || missing+=("$d")
done
check "Depends has the libraries, the platform plugins (libqt6gui6) and the faces${missing:+ (missing: ${missing[*]})}" \
  test ${#missing[@]} -eq 0

# --- Contents and modes -----------------------------------------------------------------------
dpkg-deb -c "$deb" >"$work/contents"
declare -A mode owner target
while read -r perm own _size _date _time path rest; do
  path=${path#./}
  path=${path%/}
  [ -z "$path" ] && continue
  mode[$path]=$perm
  owner[$path]=$own
  [[ $rest == "-> "* ]] && target[$path]=${rest#-> }
done <"$work/contents"

want_mode() { # PATH MODE
  [ "${mode[$1]:-absent}" = "$2" ] || {
    echo "        $1: ${mode[$1]:-absent}, wanted $2"
    return 1
  }
}
check_files() {
  local ok=0 p
  for p in usr/bin/stavo usr/bin/stavo-decode usr/bin/stavo-xmlcheck usr/bin/stavo-sim; do
    want_mode "$p" -rwxr-xr-x || ok=1
  done
  for p in stavo stavo-decode stavo-xmlcheck stavo-sim; do
    want_mode "usr/share/man/man1/$p.1.gz" -rw-r--r-- || ok=1
  done
  for p in usr/share/applications/stavo.desktop usr/share/doc/stavo/copyright usr/share/doc/stavo/changelog.gz \
    usr/share/icons/hicolor/16x16/apps/stavo.png usr/share/icons/hicolor/32x32/apps/stavo.png \
    usr/share/icons/hicolor/48x48/apps/stavo.png; do
    want_mode "$p" -rw-r--r-- || ok=1
  done
  return $ok
}
check "programs 0755; manual pages, desktop entry, icons, copyright and changelog 0644" check_files

check_libs() {
  local ok=0 l link real
  for l in libtessel libstavo_platform; do
    link=$libdir/$l.so.$major
    real=${target[$link]:-}
    if [ "${mode[$link]:-}" != lrwxrwxrwx ] || [[ $real != "$l.so.$major."* ]]; then
      echo "        $link: not a link to $l.so.$major.*"
      ok=1
    elif ! want_mode "$libdir/$real" -rw-r--r--; then
      ok=1
    fi
    if [ -n "${mode[$libdir/$l.so]:-}" ]; then
      echo "        $libdir/$l.so: a development link in the package"
      ok=1
    fi
  done
  return $ok
}
check "libtessel and libstavo_platform in /$libdir: soname link to the versioned file (0644), no development link" check_libs

check_tree() {
  local ok=0 p
  for p in "${!mode[@]}"; do
    if [ "${owner[$p]}" != root/root ]; then
      echo "        $p: owner ${owner[$p]}"
      ok=1
    fi
    case "$p" in
      usr | usr/*) ;;
      *) echo "        $p: outside /usr" && ok=1 ;;
    esac
    case "$p" in
      usr/local* | usr/include* | *.h | *.a | *.cmake) echo "        $p: does not belong in the package" && ok=1 ;;
    esac
    case "${mode[$p]}" in
      d*) [ "${mode[$p]}" = drwxr-xr-x ] || { echo "        $p: ${mode[$p]}" && ok=1; } ;;
      l*) ;;
      -rwxr-xr-x) [[ $p == usr/bin/* ]] || { echo "        $p: executable outside /usr/bin" && ok=1; } ;;
      -rw-r--r--) ;;
      *) echo "        $p: ${mode[$p]}" && ok=1 ;;
    esac
  done
  return $ok
}
check "everything under /usr, owned by root, directories 0755, no headers or static libraries" check_tree

# --- The unpacked tree ------------------------------------------------------------------------
root=$work/root
dpkg-deb -x "$deb" "$root"

check_elf() {
  local ok=0 f rp
  while IFS= read -r -d '' f; do
    [ "$(head -c4 "$f" | od -An -c | tr -d ' ')" = '177ELF' ] || continue
    # Only paths relative to the file itself: nothing of the build tree or of a fixed prefix.
    rp=$(readelf -d "$f" | sed -n 's/.*(R\(UN\)\{0,1\}PATH).*\[\(.*\)\]/\2/p')
    if [ -n "$rp" ]; then
      local IFS=:
      for e in $rp; do
        [[ $e == '$ORIGIN'* ]] || { echo "        ${f#$root/}: search path $e" && ok=1; }
      done
    fi
    if readelf -S "$f" | grep -qE '\.(symtab|debug_info)\b'; then
      echo "        ${f#$root/}: not stripped"
      ok=1
    fi
  done < <(find "$root" -type f -print0)
  return $ok
}
check "binaries stripped, library search paths only relative to \$ORIGIN" check_elf

# Hardened as Debian builds its packages: the program reads the network and the receiver's line, so
# relocations are read-only after start (RELRO, BIND_NOW); lintian judges the fortified calls below.
check_hardened() {
  local ok=0 f
  while IFS= read -r -d '' f; do
    [ "$(head -c4 "$f" | od -An -c | tr -d ' ')" = '177ELF' ] || continue
    readelf -lW "$f" | grep -q GNU_RELRO || { echo "        ${f#$root/}: no RELRO" && ok=1; }
    readelf -d "$f" | grep -qE '\(FLAGS\).*BIND_NOW|\(FLAGS_1\).*NOW' || { echo "        ${f#$root/}: no BIND_NOW" && ok=1; }
  done < <(find "$root" -type f -print0)
  return $ok
}
check "binaries with RELRO and BIND_NOW" check_hardened

check_icons() {
  local ok=0 f n w h
  for f in "$root"/usr/share/icons/hicolor/*/apps/stavo.png; do
    n=$(basename "$(dirname "$(dirname "$f")")")
    read -r w h < <(od -An -tu1 -j16 -N8 "$f" | awk '{print $3*256+$4, $7*256+$8}')
    [ "${w}x${h}" = "$n" ] || { echo "        $n icon is ${w}x${h}" && ok=1; }
  done
  return $ok
}
check "each hicolor icon has its folder's size" check_icons

check_desktop() {
  local f=$root/usr/share/applications/stavo.desktop
  grep -qx 'Type=Application' "$f" && grep -qx 'Exec=stavo' "$f" && grep -qx 'Icon=stavo' "$f" \
    && grep -qE '^Categories=.+;$' "$f"
}
check "desktop entry starts stavo with the stavo icon" check_desktop

check_man() {
  local ok=0 f
  for f in "$root"/usr/share/man/man1/*.1.gz; do
    gzip -t "$f" && zcat "$f" | head -1 | grep -q '^\.TH ' || { echo "        ${f#$root/}: not a manual page" && ok=1; }
  done
  zcat "$root/usr/share/man/man1/stavo.1.gz" | grep -q 'ports\.conf' || ok=1
  return $ok
}
check "manual pages (stavo's explains ports.conf)" check_man
check "changelog names version $version" sh -c "zcat '$root/usr/share/doc/stavo/changelog.gz' | head -1 | grep -q '^stavo ($version) '"

# The unpacked programs run and find the unpacked libraries (nothing from the build tree).
for p in stavo stavo-decode stavo-xmlcheck stavo-sim; do
  check "unpacked $p --version says $p $version" test "$("$root/usr/bin/$p" --version 2>&1)" = "$p $version"
done
check "unpacked stavo --help explains the port map" sh -c "'$root/usr/bin/stavo' --help | grep -q ports.conf"
# loads_from PROGRAM DIR: the loader resolves the program's libtessel to the one in DIR.
loads_from() {
  local found
  found=$(ldd "$1" | sed -n "s/^[[:space:]]*libtessel\.so\.$major => \(.*\) (0x.*/\1/p")
  [ -n "$found" ] && [ "$(readlink -f "$found")" = "$(readlink -f "$2/libtessel.so.$major")" ]
}
check "unpacked stavo loads libtessel from the unpacked tree" loads_from "$root/usr/bin/stavo" "$root/$libdir"

# --- lintian ----------------------------------------------------------------------------------
if command -v lintian >/dev/null; then
  lintian -I --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1
  rc=$?
  grep -v 'root privileges is not recommended' "$work/lintian.log" | sed 's/^/        /'
  check "lintian shows no errors" test $rc -eq 0
  # The libraries' calls all write through pointers of unknown size, which fortify leaves as they
  # are, so lintian cannot see it there ("no-fortify-functions"); the programs show it.
  check "lintian finds the programs hardened (no hardening-* tag on usr/bin)" \
    sh -c "! grep -E ' hardening-[a-z-]+ \[usr/bin/' '$work/lintian.log'"
else
  skip "lintian: not installed (scripts/install-deps.sh installs it)"
fi

# --- Installed --------------------------------------------------------------------------------
if [ "$(id -u)" -ne 0 ]; then
  skip "install with apt, run the installed programs, remove: needs root (CI runs it as root)"
  finish
fi
if ! command -v apt-get >/dev/null; then
  skip "install with apt, run the installed programs, remove: no apt-get here"
  finish
fi
if dpkg-query -W -f='${Status}' stavo 2>/dev/null | grep -q 'install ok installed' && [ "${CI:-}" != true ]; then
  skip "install with apt, run the installed programs, remove: a stavo package is installed here already, not replacing it"
  finish
fi

if ! apt-get install -y -q --no-install-recommends -o DPkg::Lock::Timeout=600 "$deb" >"$work/apt.log" 2>&1; then
  fail "apt-get installs the package"
  tail -20 "$work/apt.log"
  finish
fi
installed_here=1
check "apt-get installs the package" sh -c "dpkg-query -W -f='\${Status} \${Version}' stavo | grep -qx 'install ok installed $version'"

check "installed stavo-decode --version" test "$(/usr/bin/stavo-decode --version)" = "stavo-decode $version"
check "installed stavo-sim --help" sh -c '/usr/bin/stavo-sim --help | head -1 | grep -q "^usage: stavo-sim"'
check "installed stavo loads libtessel from /$libdir" loads_from /usr/bin/stavo "/$libdir"

# The installed program against the installed simulated receiver, started at 38400 baud: the program
# has to find it, bring it to 9600 and switch its outputs on, as with `make run`.
home=$work/home
mkdir -p "$home/stavo"
link=$home/stavo/ttySIM
/usr/bin/stavo-sim --baud 38400 --link "$link" --log "$home/sim.log" >"$work/sim.out" 2>&1 &
sim=$!
pids+=("$sim")
for _ in $(seq 100); do [ -e "$link" ] && break; sleep 0.1; done
echo "4=$link" >"$home/stavo/ports.conf"
XDG_CONFIG_HOME=$home QT_QPA_PLATFORM=offscreen STAVO_SNAPSHOT_DIR=$work/live STAVO_MSGBOX_LOG=$home/boxes.log \
  /usr/bin/stavo >"$work/stavo.out" 2>&1 &
prog=$!
pids+=("$prog")
outputs=('$JBIN,96,1' '$JBIN,99,1' '$JASC,GPGGA,1' '$JASC,GPGSA,1' '$JASC,GPGST,1' '$JASC,GPRMC,1')
on() { # every output switched on at 9600 on both sides (log lines: seconds, sim baud, program baud, text)
  local o
  for o in "${outputs[@]}"; do
    grep -qxF -- "9600 9600 $o" <(cut -d' ' -f2- "$home/sim.log" 2>/dev/null) || return 1
  done
}
for _ in $(seq 240); do
  on && [ -s "$work/live/live.png" ] && break
  kill -0 "$prog" 2>/dev/null || break
  sleep 0.5
done
check "installed stavo maps the installed libtessel" sh -c "grep -q ' /$libdir/libtessel.so' /proc/$prog/maps 2>/dev/null"
check "installed stavo finds the installed stavo-sim at 38400, brings it to 9600 and switches the outputs on" on
check "installed stavo renders its screen offscreen" sh -c "[ \"\$(head -c4 '$work/live/live.png' 2>/dev/null | tail -c3)\" = PNG ]"
check "no message box on the way" test ! -s "$home/boxes.log"
if [ "$failed" -gt 0 ]; then
  echo "        simulator log:" && tail -15 "$home/sim.log" | sed 's/^/        /'
  echo "        program output:" && tail -15 "$work/stavo.out" | sed 's/^/        /'
fi
kill "$prog" "$sim" 2>/dev/null
wait "$prog" "$sim" 2>/dev/null
pids=()

# Started as the menu starts it, with no port map and no receiver: message 194, then the end.
if [ -e /dev/ttyUSB0 ]; then
  skip "start with no port map: /dev/ttyUSB0 exists on this machine"
else
  desktop=/usr/share/applications/stavo.desktop
  [ -f "$desktop" ] || desktop=$root/usr/share/applications/stavo.desktop # dpkg may be told to leave files out
  read -r -a cmd < <(sed -n 's/^Exec=//p' "$desktop")
  bare=$work/bare
  mkdir -p "$bare"
  XDG_CONFIG_HOME=$bare QT_QPA_PLATFORM=offscreen STAVO_MSGBOX_LOG=$bare/boxes.log \
    timeout 60 "${cmd[@]}" >"$work/bare.out" 2>"$work/bare.err"
  rc=$?
  check "started by its desktop entry with no port map and no receiver: \"GPS连接端口已被占用！\", exit status 0 ($rc)" \
    sh -c "[ $rc -eq 0 ] && grep -q 'GPS连接端口已被占用！' '$bare/boxes.log'"
  reason=$(grep -m1 '/dev/ttyUSB0: ' "$work/bare.err")
  check "says on standard error which device it tried and why: ${reason:-nothing}" test -n "$reason"
fi

if ! apt-get purge -y -q -o DPkg::Lock::Timeout=600 stavo >"$work/apt.log" 2>&1; then
  fail "apt-get removes the package"
  tail -20 "$work/apt.log"
  finish
fi
installed_here=0
check "apt-get removes the package and its files" \
  sh -c "! dpkg-query -W -f='\${Status}' stavo 2>/dev/null | grep -q 'ok installed' && [ ! -e /usr/bin/stavo ] && [ ! -e /$libdir ]"
finish
