#!/usr/bin/env bash
# Runs the project's Windows test programs under Wine, in sandboxed prefixes inside the
# build tree.
#
#   wine-test.sh probe-native32                      exit 0 when 32-bit code can run here
#   wine-test.sh setup   <kind> <build-dir> <bin-dir> fresh prefix, binaries, wineserver
#   wine-test.sh run     <kind> <build-dir> <exe> [args...]
#   wine-test.sh exec    <kind> <build-dir> <windows-program> [args...]  (reg, cmd, ...)
#   wine-test.sh cleanup <kind> <build-dir>           ends the kind's wineserver
#   wine-test.sh env     <kind> <build-dir>           prints the environment (for scripts)
#
# Kinds: win32 (32-bit prefix), wow64 (32-bit program, 64-bit prefix), x64 (64-bit
# program, 64-bit prefix).
#
# A prefix is never used before it is sandboxed: no Z: drive or any other drive letter
# but C:, no symbolic links under drive_c/users (a new prefix links the Desktop and
# Documents folders to the Linux home), HOME inside the build tree. A script row that
# deletes "desktop" files must only ever reach the prefix.
set -euo pipefail

WINE32=/usr/lib/wine/wine
WINE64=/usr/lib/wine/wine64

die() {
    echo "wine-test: $*" >&2
    exit 1
}

kind_env() {
    local kind=$1 build=$2
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    export HOME="$build/wine/home"
    export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache"
    export WINEPREFIX="$build/wine/run-$kind"
    case "$kind" in
    win32) TEMPLATE_ARCH=win32 LOADER=$WINE32 ;;
    wow64) TEMPLATE_ARCH=win64 LOADER=$WINE32 ;;
    x64) TEMPLATE_ARCH=win64 LOADER=$WINE64 ;;
    *) die "unknown kind '$kind'" ;;
    esac
    export WINELOADER=$LOADER
    mkdir -p "$HOME"
}

# Removes every way out of the prefix to the Linux file system.
sandbox_prefix() {
    local prefix=$1 entry
    for entry in "$prefix"/dosdevices/*; do
        [ "$(basename "$entry")" = "c:" ] && continue
        rm -f "$entry"
    done
    while IFS= read -r -d '' entry; do
        rm -f "$entry"
        mkdir -p "$entry"
    done < <(find "$prefix/drive_c/users" -type l -print0)
}

check_sandbox() {
    local prefix=$1
    [ ! -e "$prefix/dosdevices/z:" ] && [ ! -L "$prefix/dosdevices/z:" ] || die "$prefix still has a Z: drive"
    [ -z "$(find "$prefix/drive_c/users" -type l -print -quit)" ] || die "$prefix has links under drive_c/users"
    [ "$(readlink "$prefix/dosdevices/c:")" = "../drive_c" ] || die "$prefix: C: is not the prefix's own drive"
}

# Templates live in the build's wine folder unless VEXA_WINE_TEMPLATES names another.
template_dir() { echo "${VEXA_WINE_TEMPLATES:-$1/wine}"; }

make_template() {
    local build=$1 arch=$2
    local templates
    templates=$(template_dir "$build")
    local template="$templates/template-$arch"
    mkdir -p "$templates"
    exec 9>"$templates/template-$arch.lock"
    flock 9
    if [ ! -f "$template/.vexa-sandboxed" ]; then
        rm -rf "$template"
        local loader=$WINE64
        [ "$arch" = win32 ] && loader=$WINE32
        echo "wine-test: making the $arch prefix template" >&2
        WINEPREFIX="$template" WINEARCH=$arch WINELOADER=$loader \
            timeout 300 "$loader" wineboot -i </dev/null >"$templates/template-$arch.log" 2>&1 || true
        WINEPREFIX="$template" timeout 60 wineserver -w </dev/null >/dev/null 2>&1 || true
        [ -f "$template/system.reg" ] || die "could not make the $arch prefix (see $templates/template-$arch.log)"
        sandbox_prefix "$template"
        check_sandbox "$template"
        # The Chinese texts name the fonts a Chinese Windows has; here the CJK font that
        # scripts/bootstrap installs stands in for them.
        local face
        for face in "微软雅黑" "微軟雅黑" "Microsoft YaHei" "Microsoft JhengHei"; do
            WINEPREFIX="$template" WINELOADER=$loader timeout 60 "$loader" reg add \
                'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
                /v "$face" /d "WenQuanYi Micro Hei" /f </dev/null >/dev/null 2>&1 || true
        done
        WINEPREFIX="$template" timeout 60 wineserver -w </dev/null >/dev/null 2>&1 || true
        check_sandbox "$template"
        touch "$template/.vexa-sandboxed"
    fi
    exec 9>&-
}

cmd=${1:-}
case "$cmd" in
probe-native32)
    # The 32-bit loader is a 32-bit Linux program; some kernels refuse to execute those.
    timeout 20 "$WINE32" --version >/dev/null 2>&1
    ;;
setup)
    kind=$2 build=$3 bin=$4
    [ -d "$bin" ] || die "no binaries in $bin: build first"
    kind_env "$kind" "$build"
    mkdir -p "$build/wine"
    make_template "$build" "$TEMPLATE_ARCH"
    timeout 60 wineserver -k </dev/null >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
    cp -a "$(template_dir "$build")/template-$TEMPLATE_ARCH" "$WINEPREFIX"
    check_sandbox "$WINEPREFIX"
    mkdir -p "$WINEPREFIX/drive_c/vexatest"
    cp -a "$bin" "$WINEPREFIX/drive_c/vexatest/bin"
    # Windows code cannot make a directory link under Wine, and moving one moves its
    # target; a Unix link to a folder made here is seen as a directory link (a reparse
    # point). linksuite<n>\Vexaguard holds a file and a link "linked" to outside<n>,
    # whose content must survive every test.
    fixtures="$WINEPREFIX/drive_c/vexatest/fixtures"
    for n in 1 2 3; do
        mkdir -p "$fixtures/outside$n/sub" "$fixtures/linksuite$n/Vexaguard"
        echo keep >"$fixtures/outside$n/keep.txt"
        echo keep >"$fixtures/outside$n/sub/keep.txt"
        echo own >"$fixtures/linksuite$n/Vexaguard/own.txt"
        ln -s "$fixtures/outside$n" "$fixtures/linksuite$n/Vexaguard/linked"
    done
    # One wineserver for the whole run, its streams and those of the services that
    # wineboot starts kept away from ctest, which would otherwise wait for them.
    setsid wineserver -p </dev/null >/dev/null 2>&1 &
    timeout 120 "$LOADER" wineboot </dev/null >/dev/null 2>&1 || die "wineboot did not finish in $WINEPREFIX"
    check_sandbox "$WINEPREFIX"
    echo "wine-test: $kind prefix ready at $WINEPREFIX"
    ;;
run)
    kind=$2 build=$3 exe=$4
    shift 4
    kind_env "$kind" "$build"
    check_sandbox "$WINEPREFIX"
    cd "$WINEPREFIX/drive_c/vexatest/bin"
    exec "$LOADER" "C:\\vexatest\\bin\\$exe" "$@" </dev/null
    ;;
exec)
    kind=$2 build=$3 program=$4
    shift 4
    kind_env "$kind" "$build"
    check_sandbox "$WINEPREFIX"
    cd "$WINEPREFIX/drive_c"
    exec "$LOADER" "$program" "$@" </dev/null
    ;;
cleanup)
    kind=$2 build=$3
    kind_env "$kind" "$build"
    [ -d "$WINEPREFIX" ] && timeout 60 wineserver -k </dev/null >/dev/null 2>&1 || true
    ;;
env)
    kind=$2 build=$3
    kind_env "$kind" "$build"
    printf 'export %s=%q\n' WINEDEBUG "$WINEDEBUG" WINEDLLOVERRIDES "$WINEDLLOVERRIDES" HOME "$HOME" \
        WINEPREFIX "$WINEPREFIX" WINELOADER "$WINELOADER"
    ;;
*)
    die "usage: wine-test.sh probe-native32 | setup|run|cleanup|env <kind> <build-dir> ..."
    ;;
esac
