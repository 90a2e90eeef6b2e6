#!/usr/bin/env python3
"""Builds the reference documentation with Sphinx, warnings as errors.

    docs/build.py --builder html --output build/docs/html [--doxygen-html DIR]
    docs/build.py --builder doctest --output build/docs/doctest

The Python package is the one on PYTHONPATH (build/python), the program the one DFOUNDATIONS_CLI
names. With --doxygen-html, doxygen first renders the C++ headers into DIR/cpp, which the site
carries and links to (left out, saying so, when doxygen is not installed). Exits 77 (skipped) when
Sphinx is not installed.
"""

import argparse
import importlib.util
import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

DOCS = Path(__file__).resolve().parent
SKIPPED = 77


def run_doxygen(output: Path) -> bool:
    """The C++ headers as HTML in `output`, through header_docs.py as doxygen's input filter; False
    when doxygen is not installed. A warning of doxygen's fails the build."""
    doxygen = shutil.which("doxygen")
    if doxygen is None:
        print("doxygen is not installed (Debian: doxygen): the C++ reference is left out", file=sys.stderr)
        return False
    repository = DOCS.parent
    settings = (DOCS / "Doxyfile").read_text(encoding="utf-8")
    with tempfile.TemporaryDirectory() as scratch:
        doxyfile = Path(scratch) / "Doxyfile"
        doxyfile.write_text(settings + "\n" + "\n".join([
            f'INPUT = "{repository / "include"}"',
            f'STRIP_FROM_PATH = "{repository / "include"}"',
            f'STRIP_FROM_INC_PATH = "{repository / "include"}"',
            f'OUTPUT_DIRECTORY = "{scratch}"',
            f'INPUT_FILTER = "{sys.executable} {DOCS / "header_docs.py"} --doxygen"',
        ]) + "\n", encoding="utf-8")
        result = subprocess.run([doxygen, str(doxyfile)], cwd=scratch, capture_output=True, text=True)
        warnings = [line for line in result.stderr.splitlines() if "warning" in line.lower()]
        if result.returncode != 0 or warnings:
            sys.stderr.write(result.stderr)
            sys.exit("doxygen failed or warned")
        if output.exists():
            shutil.rmtree(output)
        shutil.copytree(Path(scratch) / "html", output)
    return True


def main() -> int:
    arguments = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    arguments.add_argument("--builder", default="html")
    arguments.add_argument("--output", required=True, type=Path)
    arguments.add_argument("--doxygen-html", type=Path, help="render the C++ headers here first and link them")
    options = arguments.parse_args()
    if importlib.util.find_spec("sphinx") is None:
        print("Sphinx is not installed (Debian: python3-sphinx): the documentation is not built", file=sys.stderr)
        return SKIPPED
    environment = dict(os.environ)
    if options.doxygen_html and run_doxygen(options.doxygen_html.resolve() / "cpp"):
        environment["DFOUNDATIONS_DOXYGEN_HTML"] = str(options.doxygen_html.resolve())
    doctrees = options.output.parent / (options.output.name + ".doctrees")
    command = [sys.executable, "-m", "sphinx", "-W", "--keep-going", "-q", "-E", "-b", options.builder,
               "-d", str(doctrees), str(DOCS), str(options.output)]
    return subprocess.run(command, env=environment).returncode


if __name__ == "__main__":
    sys.exit(main())
