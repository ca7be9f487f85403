"""Harness for driving the real Trelvik.exe under Wine on a private X server, as a user would.

Every session owns its whole world and leaves nothing behind:
- an Xvfb of its own (1280x1024 unless a test asks for another size), found through -displayfd;
- a Wine prefix of its own: a hard-linked copy of the run's template prefix (registry files copied for
  real, because Wine rewrites them in place) with one persistent wineserver, warmed up once;
- the programs it starts. Closing ends the programs, kills the prefix's wineserver (which takes every
  Wine process of the prefix with it), stops the X server and removes the prefix.

Environment:
- TRELVIK_EXE: path of Trelvik.exe. Without it the tests that need it are skipped.
- TRELVIK_WINE_TEMPLATE / TRELVIK_WINE_SCRATCH: set by scripts/with-wine (template prefix made once per
  run, and the directory where per-test prefixes go, so that with-wine can stop a server a crashed test
  left behind). When they are absent, as in a plain `python3 -m unittest` run, the harness builds a
  template itself once per Python process (about 10-20 s, with the same recipe as with-wine) in a
  temporary directory that is removed at exit.

Why things are done the way they are (Wine 8 on Xvfb, no window manager):
- Debian's wineserver quits after every process unless started with -p; its background services keep
  pipes open, so everything Wine runs gets /dev/null for stdin/stdout/stderr.
- The template has X11 Driver/Managed=N: windows are unmanaged, so their X geometry is the Windows
  window rectangle, frame included, and hiding a window does not wait for a window manager.
- There is no window manager to keep z-order across processes: raise the window under test first.
- The ruler resizes on a 100-ms timer while an edge is dragged, so drags hold the button down a while
  at the end point before releasing it.
"""

from __future__ import annotations

import atexit
import os
import re
import select
import shutil
import signal
import subprocess
import tempfile
import time
import unittest
from dataclasses import dataclass
from pathlib import Path
from typing import Callable, Optional, TypeVar

WINE64 = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"
REPO_ROOT = Path(__file__).resolve().parents[2]

SETTINGS_KEY = r"HKCU\Software\Trelvik\Settings"
MAIN_WINDOW_TITLE = "Trelvik"
RULER_WINDOW_TITLE = "Trelvik ruler"

DEFAULT_SCREEN = (1280, 1024)

T = TypeVar("T")


class WaitTimeout(AssertionError):
    """A condition the test waited for did not come true: a failure of the program, not of the test."""


def wait_until(predicate: Callable[[], T], timeout: float = 10.0, interval: float = 0.05,
               message: Optional[str] = None) -> T:
    """Polls until predicate() returns something truthy and returns it; raises WaitTimeout otherwise."""
    deadline = time.monotonic() + timeout
    while True:
        result = predicate()
        if result:
            return result
        if time.monotonic() >= deadline:
            raise WaitTimeout(message or f"condition not met within {timeout} s")
        time.sleep(interval)


def holds_for(predicate: Callable[[], object], duration: float, interval: float = 0.05,
              message: Optional[str] = None) -> None:
    """Checks that predicate() stays truthy for the whole duration (for things that must NOT happen)."""
    deadline = time.monotonic() + duration
    while True:
        if not predicate():
            raise AssertionError(message or "condition stopped holding")
        if time.monotonic() >= deadline:
            return
        time.sleep(interval)


@dataclass(frozen=True)
class WindowInfo:
    """An X window as xwininfo sees it: absolute position, size and whether it is on screen."""

    wid: int
    x: int
    y: int
    width: int
    height: int
    mapped: bool

    @property
    def right(self) -> int:  # exclusive
        return self.x + self.width

    @property
    def bottom(self) -> int:  # exclusive
        return self.y + self.height

    @property
    def rect(self) -> tuple[int, int, int, int]:
        return (self.x, self.y, self.width, self.height)


class Image:
    """An RGB screenshot read from an 8-bit binary PPM."""

    def __init__(self, ppm: bytes):
        # Header: "P6" width height maxval, separated by whitespace, then exactly one whitespace byte.
        fields = []
        pos = 0
        while len(fields) < 4:
            while ppm[pos:pos + 1].isspace():
                pos += 1
            if ppm[pos:pos + 1] == b"#":
                pos = ppm.index(b"\n", pos) + 1
                continue
            end = pos
            while not ppm[end:end + 1].isspace():
                end += 1
            fields.append(ppm[pos:end])
            pos = end
        if fields[0] != b"P6" or int(fields[3]) != 255:
            raise ValueError(f"not an 8-bit binary PPM: {fields!r}")
        self.width = int(fields[1])
        self.height = int(fields[2])
        self.data = ppm[pos + 1:pos + 1 + 3 * self.width * self.height]
        if len(self.data) != 3 * self.width * self.height:
            raise ValueError("truncated PPM")

    def pixel(self, x: int, y: int) -> tuple[int, int, int]:
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise IndexError(f"pixel ({x}, {y}) outside {self.width}x{self.height}")
        i = 3 * (y * self.width + x)
        return (self.data[i], self.data[i + 1], self.data[i + 2])


def _devnull_run(args: list[str], env: dict[str, str], timeout: float, **kwargs) -> subprocess.CompletedProcess:
    return subprocess.run(args, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL, timeout=timeout, **kwargs)


def _base_env() -> dict[str, str]:
    env = dict(os.environ)
    env["WINEDEBUG"] = "-all"
    # No .NET or Gecko installers popping up in a fresh prefix.
    env.setdefault("WINEDLLOVERRIDES", "mscoree,mshtml=")
    return env


class Xvfb:
    """A private X server; the display number is picked by the server itself (-displayfd)."""

    def __init__(self, width: int, height: int, timeout: float = 20.0):
        read_fd, write_fd = os.pipe()
        try:
            self.proc = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{width}x{height}x24", "-nolisten", "tcp"],
                pass_fds=(write_fd,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                stderr=subprocess.DEVNULL)
        finally:
            os.close(write_fd)
        try:
            number = b""
            deadline = time.monotonic() + timeout
            while not number.endswith(b"\n"):
                left = deadline - time.monotonic()
                if left <= 0 or not select.select([read_fd], [], [], left)[0]:
                    raise RuntimeError("Xvfb did not report its display")
                chunk = os.read(read_fd, 16)
                if not chunk:
                    raise RuntimeError("Xvfb exited before reporting its display")
                number += chunk
        except BaseException:
            self.stop()
            raise
        finally:
            os.close(read_fd)
        self.display = ":" + number.decode().strip()

    def stop(self) -> None:
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait(timeout=5)


# ---- template prefix -------------------------------------------------------------------------------

_standalone: dict[str, str] = {}


def _make_standalone_template() -> tuple[str, str]:
    """Builds a template prefix and scratch dir for runs outside scripts/with-wine (once per process)."""
    if not _standalone:
        root = tempfile.mkdtemp(prefix="trelvik-e2e-")
        atexit.register(shutil.rmtree, root, True)
        template = os.path.join(root, "template")
        scratch = os.path.join(root, "e2e")
        os.mkdir(scratch)
        # wineboot -i starts explorer, which wants a display; make_prefix is the one recipe, shared
        # with scripts/with-wine.
        xvfb = Xvfb(*DEFAULT_SCREEN)
        try:
            env = _base_env()
            env["DISPLAY"] = xvfb.display
            _devnull_run(["bash", "-c", '. "$1" && make_prefix "$2"', "make_prefix",
                          str(REPO_ROOT / "scripts" / "wine-env.sh"), template], env, timeout=300, check=True)
        finally:
            env = _base_env()
            env["WINEPREFIX"] = template
            _devnull_run([WINESERVER, "-k"], env, timeout=30)
            xvfb.stop()
        _standalone.update(template=template, scratch=scratch)
    return _standalone["template"], _standalone["scratch"]


def template_and_scratch() -> tuple[str, str]:
    template = os.environ.get("TRELVIK_WINE_TEMPLATE")
    scratch = os.environ.get("TRELVIK_WINE_SCRATCH")
    if template and scratch:
        return template, scratch
    return _make_standalone_template()


def trelvik_exe() -> Optional[str]:
    exe = os.environ.get("TRELVIK_EXE")
    return os.path.abspath(exe) if exe else None


# ---- the session -----------------------------------------------------------------------------------

def _processes_with_env(name: str, value: str) -> list[int]:
    """Live (non-zombie) processes whose environment has name=value; finds every Wine process of a prefix."""
    needle = f"{name}={value}".encode()
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat", "rb") as f:
                # The state follows the parenthesised command name, which may itself hold spaces.
                state = f.read().rsplit(b")", 1)[1].split()[0]
            if state in (b"Z", b"X"):
                continue  # zombies hold nothing; this container's init does not reap them
            with open(f"/proc/{entry}/environ", "rb") as f:
                if needle in f.read().split(b"\0"):
                    found.append(int(entry))
        except (OSError, IndexError):
            continue
    return found


class TrelvikSession:
    """One X server, one Wine prefix and the programs started in it. Use as a context manager."""

    def __init__(self, screen: tuple[int, int] = DEFAULT_SCREEN, exe: Optional[str] = None):
        self.screen = screen
        self.exe = exe or trelvik_exe()
        self.xvfb: Optional[Xvfb] = None
        self.prefix: Optional[str] = None
        self.env: dict[str, str] = {}
        self.programs: list[subprocess.Popen] = []
        self.leftovers: list[int] = []  # pids that outlived `wineserver -k` and had to be killed

    # -- life cycle

    def __enter__(self) -> "TrelvikSession":
        self.start()
        return self

    def __exit__(self, *exc) -> None:
        self.close()

    def start(self) -> None:
        try:
            template, scratch = template_and_scratch()
            self.xvfb = Xvfb(*self.screen)
            # Prefixes sit directly in the scratch dir, where scripts/with-wine looks for stray servers.
            self.prefix = tempfile.mkdtemp(prefix="prefix-", dir=scratch)
            os.rmdir(self.prefix)
            subprocess.run(["cp", "-al", template, self.prefix], check=True, timeout=60)
            for reg in Path(template).glob("*.reg"):
                target = Path(self.prefix) / reg.name
                target.unlink()
                shutil.copyfile(reg, target)
            (Path(self.prefix) / "wineserver").unlink(missing_ok=True)

            self.env = _base_env()
            self.env.update(DISPLAY=self.xvfb.display, WINEPREFIX=self.prefix)
            _devnull_run([WINESERVER, "-p"], self.env, timeout=30, check=True)
            # The first process of a prefix starts explorer and the services: pay for that once, here.
            # On a loaded machine Wine now and then fails a process start outright (status 1 at once,
            # nothing run); that is the machine's hiccup, not the program's, so the warm-up tries again.
            for attempt in range(3):
                warm_up = _devnull_run([WINE64, "cmd", "/c", "exit"], self.env, timeout=120)
                if warm_up.returncode == 0:
                    break
                if attempt == 2:
                    warm_up.check_returncode()
                time.sleep(0.5)
        except BaseException:
            self.close()
            raise

    def close(self) -> None:
        """Ends everything the session started; safe to call more than once and after a failed start."""
        for proc in self.programs:
            if proc.poll() is None:
                proc.kill()  # no waiting here: a hung one goes with the wineserver below
        if self.prefix and self.env:
            try:
                _devnull_run([WINESERVER, "-k"], self.env, timeout=30)
            except subprocess.TimeoutExpired:
                pass  # whatever survived is killed by pid below
            try:
                wait_until(lambda: not self.processes(), timeout=10)
            except WaitTimeout:
                self.leftovers = self.processes()
                for pid in self.leftovers:
                    try:
                        os.kill(pid, signal.SIGKILL)
                    except ProcessLookupError:
                        pass
        for proc in self.programs:
            try:
                proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                pass
        self.programs = []
        if self.xvfb:
            self.xvfb.stop()
            self.xvfb = None
        if self.prefix:
            shutil.rmtree(self.prefix, ignore_errors=True)
            self.prefix = None
        self.env = {}

    def processes(self) -> list[int]:
        """Live processes of this prefix (the wineserver, explorer, services and the programs)."""
        return _processes_with_env("WINEPREFIX", self.prefix) if self.prefix else []

    @property
    def display(self) -> str:
        return self.env["DISPLAY"]

    # -- Windows programs

    def wine(self, *args: str, timeout: float = 60.0) -> subprocess.CompletedProcess:
        """Runs a Windows program to completion and returns its exit code and output."""
        return subprocess.run([WINE64, *args], env=self.env, stdin=subprocess.DEVNULL, capture_output=True,
                              timeout=timeout)

    def start_program(self, *args: str) -> subprocess.Popen:
        """Starts a Windows program without waiting; by default Trelvik.exe. The Popen is the Windows
        process itself (Wine's loader becomes it), so its exit is the program's exit."""
        if not args:
            if not self.exe:
                raise RuntimeError("TRELVIK_EXE is not set")
            args = (self.exe,)
        proc = subprocess.Popen([WINE64, *args], env=self.env, cwd=self.prefix, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.programs.append(proc)
        return proc

    def kill_programs(self) -> None:
        """Kills the programs this session started that still run (after a failed check, so that the
        next start does not meet a second instance)."""
        for proc in self.programs:
            if proc.poll() is None:
                proc.kill()
                proc.wait(timeout=10)

    def end_session(self, proc: Optional[subprocess.Popen] = None, timeout: float = 20.0) -> int:
        """Ends the Windows session the orderly way (the programs get the end-of-session messages and
        save their settings), then waits for the program to exit and returns its exit code."""
        proc = proc or self.programs[-1]
        self.wine("wineboot", "--end-session", timeout=timeout)
        try:
            return proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise WaitTimeout(f"the program did not exit within {timeout} s of the end of the session") from None

    # -- settings in the registry

    def reg_set(self, name: str, value: str, key: str = SETTINGS_KEY) -> None:
        """Stores a string value (REG_SZ), as the program writes its settings."""
        result = self.wine("reg", "add", key, "/v", name, "/t", "REG_SZ", "/d", value, "/f")
        if result.returncode != 0:
            raise RuntimeError(f"reg add {name}={value!r} failed: {result.stdout!r} {result.stderr!r}")

    def reg_set_many(self, values: dict[str, Optional[str]], key: str = SETTINGS_KEY) -> None:
        """Stores several values; None deletes that value."""
        for name, value in values.items():
            if value is None:
                self.reg_delete(name, key)
            else:
                self.reg_set(name, value, key)

    def reg_delete(self, name: str, key: str = SETTINGS_KEY) -> None:
        self.wine("reg", "delete", key, "/v", name, "/f")  # a missing value is not an error here

    def reg_values(self, key: str = SETTINGS_KEY) -> dict[str, str]:
        """All values of the key as text ({} when the key does not exist)."""
        result = self.wine("reg", "query", key)
        if result.returncode != 0:
            return {}
        values = {}
        # Lines of values look like "    Name    REG_SZ    data" (data may be empty).
        for line in result.stdout.decode("utf-8", "replace").splitlines():
            match = re.match(r"^    (.*?)    (REG_[A-Z_]+)    ?(.*)$", line.rstrip("\r"))
            if match:
                values[match.group(1)] = match.group(3)
        return values

    def reg_get(self, name: str, key: str = SETTINGS_KEY) -> Optional[str]:
        return self.reg_values(key).get(name)

    # -- X windows

    def x(self, *args: str, timeout: float = 20.0, check: bool = True) -> subprocess.CompletedProcess:
        """Runs an X client (xdotool, xwininfo, xprop...) against this session's display."""
        return subprocess.run(list(args), env=self.env, stdin=subprocess.DEVNULL, capture_output=True,
                              timeout=timeout, check=check)

    def window_tree(self) -> str:
        """The text of `xwininfo -root -tree`. A window that goes away while xwininfo walks the tree makes it
        fail (BadWindow): the walk is then taken again."""
        for _ in range(5):
            result = self.x("xwininfo", "-root", "-tree", check=False)
            if result.returncode == 0:
                return result.stdout.decode("utf-8", "replace")
        result.check_returncode()
        return ""

    def find_windows(self, title: str, visible_only: bool = False) -> list[int]:
        """X windows whose name is exactly title (a hidden Wine window may have no X window at all)."""
        args = ["xdotool", "search"] + (["--onlyvisible"] if visible_only else [])
        result = self.x(*args, "--name", "^" + re.escape(title) + "$", check=False)
        return [int(line) for line in result.stdout.split()]

    def wait_for_window(self, title: str, timeout: float = 15.0) -> WindowInfo:
        """Waits until a window of that title is mapped and returns it."""
        def mapped():
            for wid in self.find_windows(title, visible_only=True):
                info = self.window_info(wid)
                if info and info.mapped:
                    return info
            return None
        return wait_until(mapped, timeout, message=f"no window {title!r} was shown within {timeout} s")

    def window_info(self, wid: int) -> Optional[WindowInfo]:
        """Position, size and map state of a window, or None if it no longer exists."""
        result = self.x("xwininfo", "-id", str(wid), check=False)
        if result.returncode != 0:
            return None
        text = result.stdout.decode("utf-8", "replace")

        def field(label: str) -> str:
            match = re.search(r"^\s*" + re.escape(label) + r":\s*(.*)$", text, re.M)
            if not match:
                raise ValueError(f"xwininfo gave no {label!r}: {text}")
            return match.group(1).strip()
        return WindowInfo(wid, int(field("Absolute upper-left X")), int(field("Absolute upper-left Y")),
                          int(field("Width")), int(field("Height")), field("Map State") == "IsViewable")

    def mapped_windows(self, title: str) -> list[WindowInfo]:
        infos = (self.window_info(wid) for wid in self.find_windows(title))
        return [info for info in infos if info and info.mapped]

    def wait_for_geometry(self, wid: int, expected: tuple[int, int, int, int], timeout: float = 5.0) -> WindowInfo:
        """Waits until the window's (x, y, width, height) is the expected one; the failure message shows
        what it was instead."""
        last: list[Optional[WindowInfo]] = [None]

        def matches():
            last[0] = self.window_info(wid)
            return last[0] if last[0] and last[0].rect == tuple(expected) else None
        try:
            return wait_until(matches, timeout)
        except WaitTimeout:
            got = last[0].rect if last[0] else "no window"
            raise WaitTimeout(f"window geometry (x, y, width, height) is {got}, expected {tuple(expected)}") from None

    def raise_window(self, wid: int) -> None:
        self.x("xdotool", "windowraise", str(wid))

    def opacity(self, wid: int) -> Optional[int]:
        """_NET_WM_WINDOW_OPACITY of the window, None when the property is absent (fully opaque)."""
        result = self.x("xprop", "-id", str(wid), "_NET_WM_WINDOW_OPACITY", check=False)
        match = re.search(rb"=\s*(\d+)", result.stdout)
        return int(match.group(1)) if match else None

    # -- mouse and screen

    def drag(self, start: tuple[int, int], end: tuple[int, int], steps: int = 10, step_delay: float = 0.02,
             hold: float = 0.4, button: int = 1) -> None:
        """Presses the button at start, moves to end in small steps, keeps the button down for `hold`
        seconds there (the ruler applies a resize on a 100-ms timer) and releases it. One xdotool call,
        so the pacing is the user's, not the test's. Points are clamped to the screen, as the pointer is
        (and xdotool would read a negative coordinate as an option)."""
        (x0, y0), (x1, y1) = self._on_screen(start), self._on_screen(end)
        args = ["xdotool", "mousemove", str(x0), str(y0), "sleep", "0.05", "mousedown", str(button)]
        for i in range(1, steps + 1):
            x = x0 + round((x1 - x0) * i / steps)
            y = y0 + round((y1 - y0) * i / steps)
            args += ["sleep", str(step_delay), "mousemove", str(x), str(y)]
        args += ["sleep", str(hold), "mouseup", str(button)]
        self.x(*args)

    def _on_screen(self, point: tuple[int, int]) -> tuple[int, int]:
        return (min(max(point[0], 0), self.screen[0] - 1), min(max(point[1], 0), self.screen[1] - 1))

    def click(self, x: int, y: int, button: int = 1) -> None:
        x, y = self._on_screen((x, y))
        self.x("xdotool", "mousemove", str(x), str(y), "sleep", "0.05", "click", str(button))

    def screenshot(self) -> Image:
        result = self.x("import", "-window", "root", "-depth", "8", "ppm:-")
        return Image(result.stdout)


# ---- unittest glue ---------------------------------------------------------------------------------

class TrelvikTestCase(unittest.TestCase):
    """Base class for tests of Trelvik.exe: skips without TRELVIK_EXE, and gives each test fresh sessions
    that are closed however the test ends."""

    @classmethod
    def setUpClass(cls) -> None:
        exe = trelvik_exe()
        if not exe:
            raise unittest.SkipTest("TRELVIK_EXE is not set: point it at Trelvik.exe "
                                    "(ctest sets it; e.g. TRELVIK_EXE=build/mingw/Trelvik.exe scripts/with-wine ...)")
        if not os.path.isfile(exe):
            raise AssertionError(f"TRELVIK_EXE={exe} does not exist: build the Trelvik target first")

    def new_session(self, screen: tuple[int, int] = DEFAULT_SCREEN) -> TrelvikSession:
        session = TrelvikSession(screen)
        session.start()
        self.addCleanup(session.close)
        return session

    # -- program-level helpers shared by the tests

    def start_trelvik(self, session: TrelvikSession, settings: Optional[dict[str, Optional[str]]] = None,
                      ) -> subprocess.Popen:
        """Stores the given settings (None deletes a value), then starts the program. A program left
        running by an earlier failed step is killed first."""
        session.kill_programs()
        if settings:
            session.reg_set_many(settings)
        return session.start_program()

    def wait_for_ruler(self, session: TrelvikSession, timeout: float = 15.0) -> WindowInfo:
        return session.wait_for_window(RULER_WINDOW_TITLE, timeout)

    def assert_running(self, proc: subprocess.Popen) -> None:
        self.assertIsNone(proc.poll(), f"the program has exited (code {proc.returncode})")

    def stop_trelvik(self, session: TrelvikSession, proc: Optional[subprocess.Popen] = None) -> None:
        """Ends the session the orderly way and checks the program went away cleanly."""
        code = session.end_session(proc)
        self.assertEqual(code, 0, f"the program ended with code {code:#x}: it failed or crashed while ending")

