#!/usr/bin/env bash
# Installs the build into a staging folder (DESTDIR) and checks it as a desktop sees it: the
# desktop entry, the metainfo and the MIME type pass their validators, the icon has the sizes its
# folders promise, the DEB package holds exactly the installed files and lintian accepts it, the
# installed kestro-sim draws thumbnails, and the installed game starts under Xvfb from a
# read-only games folder, logs into the per-user state folder, and opens a
# saved game named on its command line (a bad one with a message, then the game as usual).
#   desktop_install.sh BUILD_DIR KESTRO_XWIN APP_ID VERSION SOURCE_DIR
# CMAKE and CPACK name the build's cmake and cpack (default: those on the PATH).
# Exit status 77 (skipped) when a validator or tool is not installed, after every check that can
# run has run; 1 when a check fails.
set -euo pipefail

build=$1
xwin=$2
id=$3
version=$4
source=$5
cmake=${CMAKE:-cmake}
cpack=${CPACK:-cpack}
here=$(cd "$(dirname "$0")" && pwd)

work=$(mktemp -d "${TMPDIR:-/tmp}/kestro-install-XXXXXX")
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
chmod 755 "$work"
# As root the game runs as user nobody, who may not reach the build (a source tree under /root):
# the window helper and the leak suppressions go into the scratch folder beside the install.
cp "$xwin" "$work/kestro-xwin"
cp "$here/lsan.supp" "$work/lsan.supp"
chmod 755 "$work/kestro-xwin"
chmod 644 "$work/lsan.supp"
xwin=$work/kestro-xwin
export LSAN_OPTIONS="suppressions=$work/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
skipped=()
fail() {
    echo "FAIL: $*"
    exit 1
}
have() {
    command -v "$1" >/dev/null 2>&1 && return 0
    echo "SKIPPED: $1 is not installed${2:+ (Debian package $2)}"
    skipped+=("$1")
    return 1
}

# --- the staged install
stage=$work/stage
DESTDIR=$stage "$cmake" --install "$build" --prefix /usr >"$work/install.log" ||
    { cat "$work/install.log"; fail "cmake --install failed"; }
share=$stage/usr/share
entry=$share/applications/$id.desktop
metainfo=$share/metainfo/$id.metainfo.xml
mime=$share/mime/packages/$id.xml
sizes=(16 24 32 48 64 128 256)
thumbnailer=$share/thumbnailers/kestro.thumbnailer
expected=(usr/games/kestro usr/bin/kestro-sim usr/libexec/kestro/kestro-sim-render
          "${entry#"$stage"/}" "${metainfo#"$stage"/}"
          "${mime#"$stage"/}" "usr/share/icons/hicolor/scalable/apps/$id.svg"
          "${thumbnailer#"$stage"/}" usr/share/bash-completion/completions/kestro-sim
          usr/share/man/man6/kestro.6.gz usr/share/man/man6/kestro-sim.6.gz
          usr/share/doc/kestro/copyright usr/share/doc/kestro/changelog.gz
          usr/share/lintian/overrides/kestro)
for n in "${sizes[@]}"; do
    expected+=("usr/share/icons/hicolor/${n}x${n}/apps/$id.png")
done
installed=$(cd "$stage" && find . -type f | sed 's|^\./||' | sort)
[ "$installed" = "$(printf '%s\n' "${expected[@]}" | sort)" ] ||
    fail "the install holds other files than expected:"$'\n'"$installed"
echo "installed ${#expected[@]} files"

# --- what the files say of each other
grep -qx "Exec=kestro %f" "$entry" || fail "the desktop entry does not open a file with kestro"
grep -qx "Icon=$id" "$entry" || fail "the desktop entry's icon is not $id"
type=$(sed -n 's|.*<mime-type type="\([^"]*\)".*|\1|p' "$mime")
[ "$type" = application/x-kestro-savegame ] || fail "the MIME type is '$type'"
grep -qx "MimeType=$type;" "$entry" || fail "the desktop entry does not declare $type"
grep -qx "MimeType=$type;" "$thumbnailer" || fail "the thumbnailer is not for $type"
grep -qx "Exec=kestro-sim thumbnail %i %o %s" "$thumbnailer" ||
    fail "the thumbnailer does not run kestro-sim thumbnail %i %o %s"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "the metainfo does not launch $id.desktop"
grep -q "<release version=\"$version\"" "$metainfo" || fail "no release $version in the metainfo"
grep -q '/docs/screenshot.png</image>' "$metainfo" && [ -s "$source/docs/screenshot.png" ] ||
    fail "the metainfo's screenshot is not docs/screenshot.png of the sources"
# A PNG's width and height are the big-endian words at bytes 16 and 20.
for n in "${sizes[@]}"; do
    png=$share/icons/hicolor/${n}x${n}/apps/$id.png
    read -r w h < <(od -An -tu1 -j16 -N8 "$png" |
        awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
    [ "$w $h" = "$n $n" ] || fail "$png is ${w}x$h"
done
echo "the entry, the metainfo, the MIME type and the icons agree"

# --- validators
if have desktop-file-validate desktop-file-utils; then
    desktop-file-validate "$entry" || fail "desktop-file-validate"
    echo "desktop-file-validate: valid"
fi
if have appstreamcli appstream; then
    appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
fi
if have xmllint libxml2-utils; then
    xmllint --noout "$mime" "$metainfo" "$share/icons/hicolor/scalable/apps/$id.svg" ||
        fail "xmllint: not well-formed"
    schema=$(find /usr/share/xml /usr/share/shared-mime-info /usr/share/mime \
        \( -name 'shared-mime-info*.xsd' -o -name 'shared-mime-info*.rng' \) 2>/dev/null |
        head -n 1 || true)
    case "$schema" in
    *.xsd) xmllint --noout --schema "$schema" "$mime" || fail "the MIME XML against $schema" ;;
    *.rng) xmllint --noout --relaxng "$schema" "$mime" || fail "the MIME XML against $schema" ;;
    *) echo "no shared-mime-info schema installed: the MIME XML was checked for form only" ;;
    esac
fi
if have update-mime-database shared-mime-info; then
    # The database built from our package alone maps the glob and the magic to the type.
    db=$work/mime
    mkdir -p "$db/packages"
    cp "$mime" "$db/packages/"
    update-mime-database "$db" 2>"$work/mime.log" || { cat "$work/mime.log"; fail "update-mime-database"; }
    grep -q ":$type:\*\.egf$" "$db/globs2" || fail "no glob *.egf in the MIME database"
    grep -aq "EGF1.0BR" "$db/magic" && grep -aq "$type" "$db/magic" ||
        fail "no magic EGF1.0BR in the MIME database"
    echo "update-mime-database: *.egf and EGF1.0BR are $type"
fi

# --- the DEB package, from the same rules
# cpack reads the programs' types with file(1) and their libraries with dpkg-shlibdeps.
if have dpkg-shlibdeps dpkg-dev && have file file && have dpkg-deb dpkg; then
    "$cpack" --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1 ||
        { cat "$work/cpack.log"; fail "cpack"; }
    deb=$(find "$work/pkg" -maxdepth 1 -name "kestro_${version}_*.deb")
    [ -n "$deb" ] || fail "no kestro_${version}_*.deb"
    packaged=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./||' | sort)
    [ "$packaged" = "$installed" ] || fail "the DEB holds other files than the install:"$'\n'"$packaged"
    [ "$(dpkg-deb -f "$deb" Package)" = kestro ] || fail "the package is not called kestro"
    [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package's version"
    depends=$(dpkg-deb -f "$deb" Depends)
    for lib in libqt6widgets6 libqt6gui6 libqt6core6 libc6; do
        [[ "$depends" == *"$lib"* ]] || fail "the package does not depend on $lib: $depends"
    done
    echo "$(basename "$deb"): the installed files; Depends: $depends"
    # Debian's checks of the package: no error and no warning. (Informational tags are shown
    # and allowed; each one left is explained in desktop/CMakeLists.txt.)
    if have lintian lintian; then
        lintian --fail-on error,warning --display-info "$deb" >"$work/lintian.log" 2>&1 ||
            { cat "$work/lintian.log"; fail "lintian found errors or warnings"; }
        echo "lintian: no error, no warning"
        cat "$work/lintian.log"
    fi
fi

# --- the installed kestro-sim, with its render program
sim=$stage/usr/bin/kestro-sim
# A game a few ball steps into level 3: its ball is no longer where a new level puts it.
"$sim" new "$work/level.egf" --level 3 --seed 7 --key 1000 >/dev/null
"$sim" step "$work/level.egf" "$work/saved.egf" --ticks 9 --key 1000 >/dev/null
"$sim" render "$work/saved.egf" "$work/saved.png" || fail "the installed kestro-sim cannot render"
[ "$(head -c 8 "$work/saved.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
    fail "kestro-sim render wrote no PNG"
# The file manager's thumbnail, as its thumbnailer entry asks for it.
"$sim" thumbnail "$work/saved.egf" "$work/thumb.png" 128 || fail "the installed kestro-sim cannot draw a thumbnail"
[ "$(od -An -tu1 -j16 -N8 "$work/thumb.png" | tr -s ' ')" = " 0 0 0 128 0 0 0 115" ] ||
    fail "the thumbnail is not 128 x 115"
echo "the installed kestro-sim plays, renders and draws thumbnails"

# --- the installed game under Xvfb
if ! have xvfb-run xvfb; then
    [ ${#skipped[@]} -gt 0 ] && exit 77
    exit 0
fi
read -r ball_x ball_y < <("$sim" show "$work/saved.egf" |
    awk '$1 == "ballX" {x = $3} $1 == "ballY" {y = $3} END {print x, y}')
printf 'not a saved game' >"$work/bad.egf"
# The game's folder cannot take the log. Root writes into a read-only folder all the same, so as
# root the game runs as the unprivileged user nobody.
bin=$stage/usr/games
chmod a-w "$bin"
state=$work/state
run=$work/run  # the player's home and the game's output
mkdir -p "$state" "$run"
as_player=()
if [ "$(id -u)" -eq 0 ]; then
    have setpriv util-linux || exit 77
    chown 65534:65534 "$state" "$run"
    as_player=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi

cat >"$work/session.sh" <<'INNER'
#!/usr/bin/env bash
set -uo pipefail
work=$1 run=$2 bin=$3 xwin=$4 ball_x=$5 ball_y=$6
export QT_QPA_PLATFORM=xcb
fail() {
    echo "FAIL: $*"
    [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    echo "--- stderr of the game"; cat "$run/stderr" 2>/dev/null
    exit 1
}
# Starts the installed game with the given arguments.
start() {
    "$bin/kestro" "$@" >"$run/stdout" 2>"$run/stderr" &
    pid=$!
}
# Waits for the game's window to show a level.
playfield() {
    win=$("$xwin" find physics 30) || fail "no window titled physics appeared"
    box=$("$xwin" level "$win" 30) || fail "the window did not show a level"
    read -r left top width height <<<"$box"
}
# Closes the game's window as a window manager does; the game ends with status 0.
stop() {
    "$xwin" close "$win"
    for _ in $(seq 1 300); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && fail "the game did not end after the close request"
    wait "$pid"
    status=$?
    pid=
    [ "$status" -eq 0 ] || fail "the game ended with status $status"
}

start "$work/saved.egf"
playfield
read -r x y < <("$xwin" ball "$win") || fail "no ball on screen"
cell="$(awk -v x="$x" -v l="$left" -v w="$width" 'BEGIN {print int((x - l) * 59 / w)}') \
$(awk -v y="$y" -v t="$top" -v h="$height" 'BEGIN {print int((y - t) * 47 / h)}')"
[ "$cell" = "$ball_x $ball_y" ] || fail "the ball is in cell $cell, the saved game has it in $ball_x $ball_y"
"$xwin" find Kestro 0 >/dev/null && fail "a message box opened for a good saved game"
stop
echo "kestro SAVED-GAME: the saved game's ball in cell $cell"

start "$work/bad.egf"
box=$("$xwin" find Kestro 30) || fail "no message box for a file that is not a saved game"
"$xwin" close "$box"
playfield
stop
echo "kestro BAD-FILE: the message, then the game"
INNER
chmod 755 "$work/session.sh"

"${as_player[@]}" env HOME="$run" XDG_STATE_HOME="$state" \
    xvfb-run -a -s "-screen 0 1024x768x24" \
    "$work/session.sh" "$work" "$run" "$bin" "$xwin" "$ball_x" "$ball_y"

[ ! -e "$bin/kestro.erl" ] || fail "a log was written into the read-only games folder"
log=$state/kestro/kestro.erl
[ -f "$log" ] || fail "no log at $log"
head -n 1 "$log" | grep -q "Log file $log opened" || fail "the log does not name itself: $(head -n 1 "$log")"
tail -n 1 "$log" | grep -q "Log file closed" || fail "the log was not closed"
echo "the log went to $log"

[ ${#skipped[@]} -gt 0 ] && exit 77
exit 0
