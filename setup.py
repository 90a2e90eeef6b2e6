"""Builds the compiled module of the dfoundations package with the project's CMake build.

pyproject.toml holds the package's metadata; this file only teaches setuptools to build the extension
with CMake, and reads the version from CMakeLists.txt so that the package, the program and the CMake
package have one version. DFOUNDATIONS_CMAKE_BUILD_DIR names a build folder to use (an existing build
is then only brought up to date); CMAKE_ARGS adds options to the configure step.
"""

import os
import pathlib
import re
import shlex
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = pathlib.Path(__file__).resolve().parent


def project_version():
    text = (ROOT / "CMakeLists.txt").read_text(encoding="utf-8")
    match = re.search(r"project\(dfoundations\s+VERSION\s+([0-9][0-9.]*)", text)
    if not match:
        raise RuntimeError("CMakeLists.txt names no project version")
    return match.group(1)


class CMakeExtension(Extension):
    def __init__(self):
        super().__init__("dfoundations._dfoundations", sources=[])


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build_dir = pathlib.Path(os.environ.get("DFOUNDATIONS_CMAKE_BUILD_DIR") or pathlib.Path(self.build_temp) / "cmake")
        # A folder configured before keeps its own source and options: it is only brought up to date.
        if not (build_dir / "CMakeCache.txt").exists():
            subprocess.run(["cmake", "-S", str(ROOT), "-B", str(build_dir), f"-DPython3_EXECUTABLE={sys.executable}",
                            "-DDFOUNDATIONS_PYTHON=ON", "-DCMAKE_BUILD_TYPE=Release", "-DDFOUNDATIONS_TESTS=OFF",
                            "-DDFOUNDATIONS_BENCH=OFF", *shlex.split(os.environ.get("CMAKE_ARGS", ""))], check=True)
        subprocess.run(["cmake", "--build", str(build_dir), "--target", "dfoundations_python",
                        "-j", str(os.cpu_count() or 1)], check=True)
        built = build_dir / "python" / "dfoundations" / pathlib.Path(self.get_ext_filename(ext.name)).name
        if not built.exists():
            candidates = sorted((build_dir / "python" / "dfoundations").glob("_dfoundations*.so"))
            if not candidates:
                raise RuntimeError(f"the CMake build made no module in {build_dir / 'python' / 'dfoundations'}")
            built = candidates[0]
        target = pathlib.Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(built, target)


# setuptools' own folders stay out of the CMake build folder of the same name.
setup(version=project_version(), ext_modules=[CMakeExtension()], cmdclass={"build_ext": CMakeBuild},
      options={"build": {"build_base": "build/setuptools"}, "egg_info": {"egg_base": "build"}})
