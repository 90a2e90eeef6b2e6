"""The Python examples run as a user runs them."""

import os
import subprocess
import sys

import pandas as pd
import pytest

import dfoundations as dfo

from conftest import EXAMPLE_DATA, FIXTURES, REPOSITORY, TEST_DATA

EXAMPLES = REPOSITORY / "examples" / "python"


def run_example(name, *arguments, cwd):
    environment = dict(os.environ, PYTHONPATH=os.pathsep.join(filter(None, sys.path)))
    done = subprocess.run([sys.executable, str(EXAMPLES / name), *map(str, arguments)], cwd=cwd, env=environment,
                          capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    return done.stdout


def test_the_bearing_model_example_writes_an_input_file(tmp_path):
    output = run_example("bearing_model.py", tmp_path / "model.foi", EXAMPLE_DATA / "cpt_w01.gef", cwd=tmp_path)
    assert "CPT-W01" in output
    assert (tmp_path / "model.foi").read_bytes().startswith(b"INPUT FILE FOR D-FOUNDATIONS")


def test_the_core_example_computes_prints_and_plots_the_bearing_capacity(tmp_path):
    output = run_example("bearing_capacity_core.py", tmp_path / "core.fod", EXAMPLE_DATA / "cpt_w01.gef", cwd=tmp_path)
    assert "not D-Foundations" in output and "-16.0" in output
    assert dfo.piles(dfo.read_output_file(tmp_path / "core.fod"))[0].name == "Prefab 400"
    assert (tmp_path / "core.png").read_bytes().startswith(b"\x89PNG")


@pytest.mark.skipif(not (FIXTURES / "fod25" / "bm1-10.fod").exists(), reason="no 25.1 preliminary design fixture")
def test_the_plot_example_saves_a_png(tmp_path):
    run_example("plot_bearing_capacity.py", FIXTURES / "fod25" / "bm1-10.fod", tmp_path / "plot.png", cwd=tmp_path)
    assert (tmp_path / "plot.png").read_bytes().startswith(b"\x89PNG")


def test_the_plot_example_says_when_a_file_has_no_design():
    done = subprocess.run([sys.executable, str(EXAMPLES / "plot_bearing_capacity.py"),
                           str(EXAMPLE_DATA / "quay_wall_verification.fod"), os.devnull],
                          env=dict(os.environ, PYTHONPATH=os.pathsep.join(filter(None, sys.path))),
                          capture_output=True, text=True)
    assert done.returncode == 1 and "holds no preliminary design" in done.stderr


def test_the_folder_example_puts_the_tables_of_every_file_in_one_frame(tmp_path):
    output = run_example("read_folder.py", TEST_DATA, "MAX SHAFT AND POINT", tmp_path / "all.csv", cwd=tmp_path)
    assert output.startswith(str(tmp_path / "all.csv"))
    frame = pd.read_csv(tmp_path / "all.csv")
    assert list(frame.columns[:2]) == ["file", "path"]
    assert {"verification_v19.fod", "verification_v19_latin1.fod"} <= set(frame["file"])


@pytest.mark.skipif(not (FIXTURES / "core" / "v25" / "bm1-10.foi").exists(), reason="no development pairs")
def test_the_parametric_study_runs_hundreds_of_analyses_on_a_local_cluster(tmp_path):
    pytest.importorskip("distributed")
    projects = [FIXTURES / "core" / "v25" / name for name in ("bm1-10.foi", "Tutorial-1.foi")]
    output = run_example("parametric_study.py", *projects, "--out", tmp_path / "study", cwd=tmp_path)
    # bm1-10: 28 pile types x 1 CPT, Tutorial-1: 2 x 2, each at 16 pile-tip levels.
    assert output.startswith("512 analyses, 0 failed, 512 rows"), output
    frame = pd.read_csv(tmp_path / "study.csv")
    assert frame.pile_type.nunique() == 30 and frame.cpt.nunique() == 3
    assert (tmp_path / "study.png").read_bytes().startswith(b"\x89PNG")
