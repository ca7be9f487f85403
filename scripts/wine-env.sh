# Shared Wine helpers, sourced by scripts/with-wine, scripts/run and the end-to-end harness.
# Facts behind them: Debian's wineserver quits after each process unless started persistent (-p);
# hiding a window under a bare X server waits for a window manager unless Wine manages no windows;
# Debian's Wine does not load its own fonts unless they sit in the prefix.

WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# Starts a private X server of the given size; sets DISPLAY and XVFB_PID.
start_xvfb() { # size (e.g. 1280x1024)
    local size=${1:-1280x1024} fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$fifo" </dev/null >/dev/null 2>&1 &
    XVFB_PID=$!
    local num
    read -r -t 20 num <"$fifo" || { rm -f "$fifo"; echo "Xvfb did not start" >&2; return 1; }
    rm -f "$fifo"
    export DISPLAY=":$num"
}

# Creates a fresh prefix: Wine's first boot, Wine's own fonts and, unless "managed" is asked for (a
# real desktop with a window manager), unmanaged X windows for a bare test display.
make_prefix() { # dir [managed]
    local dir=$1
    mkdir -p "$dir"
    WINEPREFIX=$dir "$WINE64" wineboot -i </dev/null >/dev/null 2>&1
    WINEPREFIX=$dir "$WINESERVER" -w
    if [ "${2:-}" != managed ]; then
        WINEPREFIX=$dir "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
        WINEPREFIX=$dir "$WINESERVER" -w
    fi
    mkdir -p "$dir/drive_c/windows/Fonts"
    cp -n /usr/share/wine/fonts/* "$dir/drive_c/windows/Fonts/" 2>/dev/null || true
}

# Copies a template prefix cheaply: hard links for the bulk, real copies of the registry files.
copy_prefix() { # template dest
    local src=$1 dest=$2
    cp -al "$src" "$dest"
    local f
    for f in "$src"/*.reg; do
        rm -f "$dest/$(basename "$f")"
        cp "$f" "$dest/"
    done
    rm -f "$dest/wineserver"
}

# Starts one persistent wineserver for the prefix and warms it up.
start_wineserver() { # prefix
    WINEPREFIX=$1 "$WINESERVER" -p </dev/null >/dev/null 2>&1
    WINEPREFIX=$1 "$WINE64" cmd /c exit </dev/null >/dev/null 2>&1
}

stop_wineserver() { # prefix
    WINEPREFIX=$1 "$WINESERVER" -k </dev/null >/dev/null 2>&1 || true
}
