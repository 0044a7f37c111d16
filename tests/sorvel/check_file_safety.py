#!/usr/bin/env python3
"""sorvel run as a careless or hostile user would: it must write nothing but its outputs, keep
what it replaces, never hang on an input and never leave a temporary file behind.

The report named as an input, an output or the pitch-list file (by links, hard links and ".."
too); outputs that are FIFOs, devices, sockets, directories or symbolic links; in-place files
owned by someone else, read-only or with other hard links; names at the file system's length
limit; FIFOs, devices and directories as inputs and as the pitch-list file; a pitch-list file
whose reading fails partway (a preloaded library makes read() fail); no thread to be had
(RLIMIT_NPROC); SIGINT, SIGTERM and SIGHUP in the middle of a write; a full disk (a 64 KiB
tmpfs). Tests that need an ordinary user run sorvel as nobody in a child process.

Usage: check_file_safety.py SORVEL WORKFOLDER FAULTLIBRARY
"""

import os
import random
import resource
import shutil
import signal
import socket
import stat
import subprocess
import sys
import tempfile
import time
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_scores  # noqa: E402
from check_command_line import PITCH_LIST, Checker  # noqa: E402

NOBODY = 65534
ROW = ["--row", "A#>Bb"]


def as_nobody():
    os.setgroups([])
    os.setgid(NOBODY)
    os.setuid(NOBODY)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def big_score(notes, comment=b""):
    """A one-part score of notes A#4 (respelled by A#>Bb), four to a measure."""
    measure = ("<note><pitch><step>A</step><alter>1</alter><octave>4</octave></pitch>"
               "<duration>1</duration><accidental>sharp</accidental></note>\n") * 4
    body = "".join('<measure number="%d">%s%s</measure>\n'
                   % (m + 1, "<attributes><divisions>1</divisions></attributes>" if m == 0
                      else "", measure) for m in range(notes // 4))
    return (b'<?xml version="1.0" encoding="UTF-8"?>\n<!--' + comment + b'-->\n'
            b'<score-partwise><part-list><score-part id="P1"><part-name>Big</part-name>'
            b'</score-part></part-list><part id="P1">\n' + body.encode() + b"</part></score-partwise>\n")


def write_mxl(path, text):
    with zipfile.ZipFile(path, "w") as archive:
        archive.writestr(zipfile.ZipInfo("mimetype"), "application/vnd.recordare.musicxml")
        archive.writestr("META-INF/container.xml",
                         '<?xml version="1.0"?><container><rootfiles><rootfile full-path='
                         '"score.musicxml"/></rootfiles></container>', zipfile.ZIP_DEFLATED)
        archive.writestr("score.musicxml", text, zipfile.ZIP_DEFLATED)


def leftovers(folder):
    return [n for n in os.listdir(folder) if ".sorvel-" in n]


class Safety(Checker):
    def __init__(self, sorvel, work, fault_library):
        super().__init__(sorvel, work)
        self.fault_library = fault_library
        self.score = read(self.path("scores", "Ties.musicxml"))

    def run(self, *args, timeout=120, env=None, user=None, **expected):
        """Checker.run with a time limit (a hang fails the check), an environment and a user."""
        try:
            return super().run(*args, timeout=timeout, env=env,
                               preexec_fn=as_nobody if user == "nobody" else None, **expected)
        except subprocess.TimeoutExpired:
            self.expect(False, "%s: still running after %d s" % (" ".join(args), timeout))
            return None

    def fresh(self, name, data=None):
        """A copy of the Ties score (or data) at name, in a folder of its own."""
        path = self.path(name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        write(path, self.score if data is None else data)
        return path


def report_never_over_what_it_reads_or_writes(c):
    os.makedirs(c.path("rep", "sub"))
    write(c.path("rep", "sets.csv"), PITCH_LIST)
    c.fresh("rep/score.csv")
    c.fresh("rep/Ties.musicxml")
    os.symlink("Ties.musicxml", c.path("rep", "link.csv"))
    os.link(c.path("rep", "Ties.musicxml"), c.path("rep", "hard.json"))
    cases = [
        (["rep/Ties.musicxml", "--set", "Tuba", "--sets", "rep/sets.csv", "--dry-run",
          "--report", "rep/sets.csv"], "rep/sets.csv", "the pitch-list file"),
        (["rep/Ties.musicxml", *ROW, "--dry-run", "--report", "rep/link.csv"],
         "rep/Ties.musicxml", "the score"),
        (["rep/Ties.musicxml", *ROW, "--dry-run", "--report", "rep/hard.json"],
         "rep/Ties.musicxml", "the score"),
        (["rep/score.csv", *ROW, "--in-place", "--report", "rep/sub/../score.csv"],
         "rep/score.csv", "the score"),
        (["rep/Ties.musicxml", *ROW, "-o", "rep/out.csv", "--report", "rep/sub/../out.csv"],
         "rep/out.csv", "the output of"),
        (["rep/score.csv", *ROW, "--out-dir", "rep/dir", "--report", "rep/dir/score.csv"],
         "rep/dir/score.csv", "the output of"),
        (["rep/Ties.musicxml", "--set", "Tuba", "--sets", "rep/sets.csv", "-o",
          "rep/sub/../sets.csv"], "rep/sets.csv", "the pitch-list file"),
    ]
    for args, guarded, message in cases:
        before = read(c.path(guarded)) if os.path.exists(c.path(guarded)) else None
        c.run("respell", *args, code=2, stderr=message)
        after = read(c.path(guarded)) if os.path.exists(c.path(guarded)) else None
        c.expect(before == after, "%s: %s was written" % (" ".join(args), guarded))
    c.expect(not os.path.exists(c.path("rep", "dir")), "a refused command made its out-dir")
    c.expect(os.path.islink(c.path("rep", "link.csv")), "the report's link was replaced")


def outputs_that_are_not_files(c):
    os.makedirs(c.path("special"))
    os.mkfifo(c.path("special", "fifo.musicxml"))
    os.makedirs(c.path("special", "folder.musicxml"))
    listener = socket.socket(socket.AF_UNIX)
    listener.bind(c.path("special", "socket.musicxml"))
    targets = {"fifo.musicxml": "a FIFO", "folder.musicxml": "a directory",
               "socket.musicxml": "a socket"}
    try:
        os.mknod(c.path("special", "null.musicxml"), 0o666 | stat.S_IFCHR, os.makedev(1, 3))
        targets["null.musicxml"] = "a character device"
    except PermissionError:
        print("skipped: a device node as output (mknod refused)")
    os.symlink("fifo.musicxml", c.path("special", "to-fifo.musicxml"))
    targets["to-fifo.musicxml"] = "a FIFO"
    for name, kind in targets.items():
        target = c.path("special", name)
        mode = os.lstat(target).st_mode
        c.run("respell", "scores/Ties.musicxml", *ROW, "-o", "special/" + name, code=1,
              stderr=[kind, "not a regular file"], timeout=30)
        c.expect(os.lstat(target).st_mode == mode, "%s was replaced" % name)
    c.run("respell", "scores/Ties.musicxml", *ROW, "--report", "special/fifo.musicxml.csv",
          "--dry-run", code=0)
    listener.close()
    c.expect(leftovers(c.path("special")) == [], "left %s" % leftovers(c.path("special")))


def links_are_written_through(c):
    os.makedirs(c.path("links", "real"))
    respelled = c.path("links", "expected.musicxml")
    c.run("respell", "scores/Ties.musicxml", *ROW, "-o", "links/expected.musicxml", code=0)
    c.fresh("links/real/inplace.musicxml")
    os.symlink("real/inplace.musicxml", c.path("links", "inplace.musicxml"))
    os.symlink("inplace.musicxml", c.path("links", "chain.musicxml"))
    c.fresh("links/real/old-output.musicxml", b"old")
    os.symlink(os.path.abspath(c.path("links", "real", "old-output.musicxml")),
               c.path("links", "output.musicxml"))
    os.symlink("real/not-yet.musicxml", c.path("links", "dangling.musicxml"))
    c.run("respell", "links/chain.musicxml", *ROW, "--in-place", code=0)
    c.run("respell", "scores/Ties.musicxml", *ROW, "-o", "links/output.musicxml", code=0)
    c.run("respell", "scores/Ties.musicxml", *ROW, "-o", "links/dangling.musicxml", code=0)
    for link, real in (("chain.musicxml", "inplace.musicxml"),
                       ("inplace.musicxml", "inplace.musicxml"),
                       ("output.musicxml", "old-output.musicxml"),
                       ("dangling.musicxml", "not-yet.musicxml")):
        c.expect(os.path.islink(c.path("links", link)), "the link %s was replaced" % link)
        real_path = c.path("links", "real", real)
        c.expect(os.path.isfile(real_path) and read(real_path) == read(respelled),
                 "%s: the file it names was not respelled" % link)
    os.symlink("loop-b.musicxml", c.path("links", "loop-a.musicxml"))
    os.symlink("loop-a.musicxml", c.path("links", "loop-b.musicxml"))
    c.run("respell", "scores/Ties.musicxml", *ROW, "-o", "links/loop-a.musicxml", code=1)
    c.expect(leftovers(c.path("links")) + leftovers(c.path("links", "real")) == [],
             "links left temporary files")


def in_place_keeps_owner_and_mode(c):
    os.makedirs(c.path("owned"))
    os.chmod(c.path("owned"), 0o777)
    path = c.fresh("owned/user.musicxml")
    os.chown(path, NOBODY, NOBODY)
    os.chmod(path, 0o640)
    c.run("respell", "owned/user.musicxml", *ROW, "--in-place", code=0)
    info = os.stat(path)
    c.expect((info.st_uid, info.st_gid, stat.S_IMODE(info.st_mode)) == (NOBODY, NOBODY, 0o640),
             "in place as root: owner %d:%d, mode %o" % (info.st_uid, info.st_gid,
                                                          stat.S_IMODE(info.st_mode)))
    c.expect(read(path) != c.score, "in place as root: not respelled")
    # nobody may write root's 0666 file but cannot give the new file to root: it says so.
    path = c.fresh("owned/root.musicxml")
    os.chmod(path, 0o666)
    c.run("respell", "owned/root.musicxml", *ROW, "--in-place", code=0, user="nobody",
          stderr=["cannot keep its owner", "belongs to you"])
    c.expect(read(path) != c.score and stat.S_IMODE(os.stat(path).st_mode) == 0o666,
             "in place as nobody: not respelled, or its mode changed")


def read_only_and_hard_links(c):
    os.makedirs(c.path("guarded"))
    os.chmod(c.path("guarded"), 0o777)
    cases = [("guarded/readonly.musicxml", 0o444, None, "read-only"),
             ("guarded/roots.musicxml", 0o644, "nobody", "read-only")]
    for name, mode, user, message in cases:
        path = c.fresh(name)
        os.chmod(path, mode)
        c.run("respell", name, *ROW, "--in-place", code=1, user=user, stderr=message)
        c.expect(read(path) == c.score and stat.S_IMODE(os.stat(path).st_mode) == mode,
                 "%s was replaced" % name)
    path = c.fresh("guarded/linked.musicxml")
    os.link(path, c.path("guarded", "other-name.musicxml"))
    c.run("respell", "guarded/linked.musicxml", *ROW, "--in-place", code=1,
          stderr=["2 hard links", "--break-hard-links"])
    c.expect(read(path) == c.score, "a file with two hard links was replaced")
    c.run("respell", "guarded/linked.musicxml", *ROW, "--in-place", "--break-hard-links", code=0)
    c.expect(read(path) != c.score and read(c.path("guarded", "other-name.musicxml")) == c.score,
             "--break-hard-links: not respelled, or the other name changed too")
    c.expect(leftovers(c.path("guarded")) == [], "left %s" % leftovers(c.path("guarded")))


def long_names(c):
    os.makedirs(c.path("long"))
    for name in ("n" * 246 + ".musicxml", "\u00e9" * 122 + "xy.musicxml"):
        c.expect(len(name.encode()) == 255, "the test's name is not 255 bytes")
        path = c.fresh(os.path.join("long", name))
        c.run("respell", "long/" + name, *ROW, "--in-place", code=0, label="in place, 255 bytes")
        c.expect(read(path) != c.score, "a 255-byte name was not respelled")
        c.run("respell", "scores/Ties.musicxml", *ROW, "-o", "long/o" + name[1:], code=0,
              label="-o, 255 bytes")
    c.expect(leftovers(c.path("long")) == [], "left %s" % leftovers(c.path("long")))


def inputs_that_would_hang(c):
    os.makedirs(c.path("hang"))
    os.mkfifo(c.path("hang", "fifo.musicxml"))
    os.mkfifo(c.path("hang", "sets.txt"))
    os.makedirs(c.path("hang", "sets-folder"))
    c.run("respell", "hang/fifo.musicxml", "/dev/zero", "scores/Ties.musicxml", *ROW,
          "--out-dir", "hang/out", code=1, timeout=30,
          stderr=["hang/fifo.musicxml: it is a FIFO", "/dev/zero: it is a character device"],
          stdout="Ties.musicxml: respelled")
    c.run("sets", "--sets", "hang/sets.txt", code=2, timeout=30, stderr="it is a FIFO")
    c.run("sets", "--sets", "hang/sets-folder", code=2, stderr="it is a directory")
    c.run("respell", "scores/Ties.musicxml", "--set", "Tuba", "--sets", "hang/sets-folder",
          "--dry-run", code=2, stderr="it is a directory")
    c.run("sets", "--sets", "/proc/self/mem", code=2, stderr="cannot read it")


def pitch_list_whole_or_refused(c):
    """A pitch-list file whose reading fails after 16 KiB: the second set lies beyond."""
    padding = b"".join(b"# padding line %d\r\n" % i for i in range(4000))
    second = PITCH_LIST.split(b"VESKSORVEL_LIST_NAME_2")[1]
    write(c.path("faulty.txt"),
          PITCH_LIST.split(b"VESKSORVEL_LIST_NAME_2")[0] + padding + b"VESKSORVEL_LIST_NAME_2" + second)
    c.run("sets", "--sets", "faulty.txt", code=0, stdout="2 pitch sets", label="sets, no fault")
    env = dict(os.environ, LD_PRELOAD=c.fault_library, SORVEL_FAULT_READ_FILE="/faulty.txt",
               SORVEL_FAULT_READ_AFTER="16384",
               ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0")
    c.run("sets", "--sets", "faulty.txt", code=2, env=env, stderr="Input/output error",
          label="sets, read fails at 16 KiB")
    c.run("respell", "scores/Ties.musicxml", "--set", "Tuba", "--sets", "faulty.txt",
          "--dry-run", code=2, env=env, stderr="Input/output error",
          label="respell, read fails at 16 KiB")
    shutil.copy(c.path("scores", "Keys.musicxml"), c.path("faulty-score.musicxml"))
    env["SORVEL_FAULT_READ_FILE"] = "/faulty-score.musicxml"
    c.run("respell", "faulty-score.musicxml", "scores/Ties.musicxml", *ROW, "--dry-run",
          code=1, env=env, stderr="faulty-score.musicxml: cannot read it: Input/output error",
          stdout="Ties.musicxml: would respell", label="a score whose reading fails")


def threads_that_cannot_start(c):
    """As nobody with RLIMIT_NPROC 1, no thread can start: the main thread does the work."""
    os.makedirs(c.path("threads", "out"))
    os.chmod(c.path("threads", "out"), 0o777)
    names = sorted(os.listdir(c.path("scores")))

    def limited():
        as_nobody()
        resource.setrlimit(resource.RLIMIT_NPROC, (1, 1))

    env = dict(os.environ, ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":detect_leaks=0")
    result = subprocess.run([c.sorvel, "respell", *["scores/" + n for n in names], *ROW,
                             "--out-dir", "threads/out", "--jobs", "4"], cwd=c.work, env=env,
                            preexec_fn=limited, capture_output=True, text=True, timeout=300)
    c.expect(result.returncode == 0, "no thread: exit %d: %s" % (result.returncode,
                                                                 result.stderr[-800:]))
    c.expect("threads could start" in result.stderr, "no thread: no warning: %s"
             % result.stderr[-400:])
    c.expect(sorted(os.listdir(c.path("threads", "out"))) == names,
             "no thread: wrote %s" % os.listdir(c.path("threads", "out")))


def temporary_files_on_signals(c):
    """Stops sorvel while its temporary file exists, sends the signal, lets it go on."""
    os.makedirs(c.path("signals"))
    write(c.path("signals", "big.musicxml"), big_score(40000))
    for number in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        caught = False
        for _ in range(20):
            target = c.path("signals", "target.musicxml")
            write(target, b"old")
            process = subprocess.Popen([c.sorvel, "respell", "signals/big.musicxml", *ROW,
                                        "-o", "signals/target.musicxml"], cwd=c.work,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            while process.poll() is None and not leftovers(c.path("signals")):
                pass
            os.kill(process.pid, signal.SIGSTOP)
            caught = process.poll() is None and bool(leftovers(c.path("signals")))
            if caught:
                os.kill(process.pid, number)
            os.kill(process.pid, signal.SIGCONT)
            code = process.wait(timeout=120)
            if caught:
                c.expect(code == -number, "%s: exit %d" % (number.name, code))
                c.expect(read(target) == b"old", "%s: the target changed" % number.name)
                break
        c.expect(caught, "%s: never caught sorvel with its temporary file" % number.name)
        c.expect(leftovers(c.path("signals")) == [],
                 "%s left %s" % (number.name, leftovers(c.path("signals"))))


def full_disk(c):
    folder = c.path("full")
    os.makedirs(folder)
    if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs", folder],
                      capture_output=True).returncode != 0:
        print("skipped: a full disk (mount -t tmpfs was refused)")
        return
    try:
        rng = random.Random(7)
        noise = "".join(rng.choice("abcdefghijklmnop") for _ in range(300000))
        write(c.path("big.musicxml"), big_score(800))
        write_mxl(c.path("big.mxl"), big_score(400, noise.encode()))
        for name in ("big.musicxml", "big.mxl"):
            c.run("respell", name, *ROW, "-o", "full/" + name, code=1,
                  stderr="No space left on device")
            c.expect(os.listdir(folder) == [], "a full disk left %s" % os.listdir(folder))
        for name in os.listdir(folder):
            os.remove(os.path.join(folder, name))
        # In place on the full disk: the original stays whole.
        shutil.copy(c.path("scores", "Keys.musicxml"), os.path.join(folder, "Keys.musicxml"))
        original = read(os.path.join(folder, "Keys.musicxml"))
        with open(os.path.join(folder, "fill"), "wb", buffering=0) as fill:
            try:
                for _ in range(64):
                    fill.write(b"x" * 4096)
            except OSError:
                pass  # the disk is full
        c.run("respell", "full/Keys.musicxml", "--row", "F#>Gb", "--in-place", code=1,
              stderr="No space left on device")
        c.expect(read(os.path.join(folder, "Keys.musicxml")) == original,
                 "in place on a full disk: the original changed")
        c.expect(sorted(os.listdir(folder)) == ["Keys.musicxml", "fill"],
                 "in place on a full disk left %s" % os.listdir(folder))
    finally:
        subprocess.run(["umount", folder], check=False)


def expanded_score_limit(c):
    """An .mxl whose score expands past --max-score-size is refused naming the limit, and
    passes when the limit is raised."""
    write_mxl(c.path("large.mxl"), big_score(40, b"x" * (3 << 20)))
    c.run("respell", "large.mxl", *ROW, "-o", "large-out.mxl", "--max-score-size", "2", code=1,
          stderr=["more than 2 MiB", "--max-score-size"])
    c.expect(not os.path.exists(c.path("large-out.mxl")), "a refused .mxl was written")
    c.run("respell", "large.mxl", *ROW, "-o", "large-out.mxl", "--max-score-size", "4", code=0)
    c.run("respell", "large.mxl", *ROW, "-o", "x.mxl", "--max-score-size", "0", code=2)


def passable_by_others(path):
    """Every folder above path lets other users through (the checks run sorvel as nobody)."""
    folder = os.path.dirname(path)
    while True:
        if not os.stat(folder).st_mode & stat.S_IXOTH:
            return False
        if os.path.dirname(folder) == folder:
            return True
        folder = os.path.dirname(folder)


def main():
    sorvel, work, fault_library = (os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]),
                                   os.path.abspath(sys.argv[3]))
    own = None
    if os.geteuid() == 0 and not passable_by_others(work):
        # A checkout in a private folder (mktemp -d makes them 0700): nobody could reach the
        # program or the scores there, so both move to a temporary folder of their own.
        own = tempfile.mkdtemp(prefix="sorvel-file-safety-")
        os.chmod(own, 0o755)
        shutil.copy2(sorvel, os.path.join(own, "sorvel"))
        sorvel, work = os.path.join(own, "sorvel"), os.path.join(own, "work")
    subprocess.run(["umount", os.path.join(work, "full")], capture_output=True, check=False)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    os.chmod(work, 0o755)
    subprocess.run([sys.executable, make_scores.__file__, os.path.join(work, "scores")],
                   check=True)
    c = Safety(sorvel, work, fault_library)
    write(c.path("vesksorvel.txt"), PITCH_LIST)
    checks = [report_never_over_what_it_reads_or_writes, outputs_that_are_not_files,
              links_are_written_through, in_place_keeps_owner_and_mode, read_only_and_hard_links,
              long_names, inputs_that_would_hang, pitch_list_whole_or_refused,
              threads_that_cannot_start, temporary_files_on_signals, expanded_score_limit,
              full_disk]
    if os.geteuid() != 0:
        print("skipped: the checks that need root (ownership, nobody, mount)")
        checks = [check for check in checks if check not in (
            in_place_keeps_owner_and_mode, read_only_and_hard_links, threads_that_cannot_start,
            full_disk)]
    for check in checks:
        check(c)
    if own:
        shutil.rmtree(own, ignore_errors=True)
    return c.finish()


if __name__ == "__main__":
    sys.exit(main())
