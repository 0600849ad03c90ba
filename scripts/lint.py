#!/usr/bin/python3
"""clang-tidy on every C++ source of the project, any finding an error.

Usage: lint.py [BUILD-DIR]  (a configured build folder with compile_commands.json)

A source that passed is remembered under a hash of everything its result
depends on: the project's files it includes (from the compiler's dependency
file; every header of the project when there is none), its compile command,
the configuration, the tool's version and the installed packages. Like ccache for the compiler, this
lets a fresh checkout skip what an earlier one analysed already. The cache
lives in $VELKOR_TIDY_CACHE, else ~/.cache/velkor32-tidy.
"""

import concurrent.futures
import hashlib
import json
import os
import pathlib
import shlex
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent


def tracked(pattern):
    listing = subprocess.run(["git", "ls-files", pattern], cwd=ROOT, check=True,
                             capture_output=True, text=True).stdout
    return sorted(line for line in listing.splitlines() if not line.startswith("fuzz/"))


def included_files(entry):
    """The project's files a compilation read, or None when it has not run."""
    words = shlex.split(entry["command"])
    folder = pathlib.Path(entry["directory"])
    depfile = folder / (words[words.index("-o") + 1] + ".d")
    if not depfile.exists():
        return None
    words = depfile.read_text().replace("\\\n", " ").split()
    names = {(folder / word).resolve() for word in words if not word.endswith(":")}
    return sorted(name for name in names if ROOT in name.parents)


def shared_digest():
    digest = hashlib.sha256()
    digest.update(subprocess.run(["clang-tidy", "--version"], check=True,
                                 capture_output=True).stdout)
    for config in tracked("*.clang-tidy"):
        digest.update((ROOT / config).read_bytes())
    # System headers (Qt, the C++ library) change only with the installed packages.
    digest.update(pathlib.Path("/var/lib/dpkg/status").read_bytes())
    return digest.hexdigest()


def main():
    build = (ROOT / (sys.argv[1] if len(sys.argv) > 1 else "build")).resolve()
    cache = pathlib.Path(os.environ.get("VELKOR_TIDY_CACHE",
                                        pathlib.Path.home() / ".cache" / "velkor32-tidy"))
    cache.mkdir(parents=True, exist_ok=True)
    commands = {pathlib.Path(entry["file"]).resolve(): entry
                for entry in json.loads((build / "compile_commands.json").read_text())}
    shared = shared_digest()
    every_header = [ROOT / header for header in tracked("*.h")]

    def key(source):
        entry = commands[ROOT / source]
        inputs = included_files(entry) or every_header + [ROOT / source]
        # Paths inside the checkout are made relative, so that clones share keys.
        def relative(text):
            return text.replace(str(build), "<build>").replace(str(ROOT), "<root>")
        digest = hashlib.sha256(shared.encode())
        digest.update(relative(entry["command"]).encode())
        for name in inputs:
            digest.update(relative(str(name)).encode())
            # Files the build made may name the checkout and the build folder.
            made = build in name.parents
            digest.update(relative(name.read_text()).encode() if made else name.read_bytes())
        return digest.hexdigest()

    sources = [source for source in tracked("*.cpp") if (ROOT / source) in commands]
    missing = [source for source in tracked("*.cpp") if (ROOT / source) not in commands]
    if missing:
        print("not in the build's compile commands: " + " ".join(missing), file=sys.stderr)
        return 1
    pending = [(source, key(source)) for source in sources]
    pending = [(source, k) for source, k in pending if not (cache / k).exists()]

    def analyse(item):
        source, k = item
        run = subprocess.run(["clang-tidy", "--quiet", "-p", str(build), source], cwd=ROOT,
                             capture_output=True, text=True)
        if run.returncode == 0:
            (cache / k).touch()
        return source, run

    failed = []
    with concurrent.futures.ThreadPoolExecutor(os.cpu_count() or 1) as pool:
        for source, run in pool.map(analyse, pending):
            if run.returncode != 0:
                failed.append(source)
                print(run.stdout, end="")
    print(f"clang-tidy: {len(sources)} sources, {len(pending)} analysed, "
          f"{len(sources) - len(pending)} unchanged since they passed")
    if failed:
        print("clang-tidy found problems in: " + " ".join(failed), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
