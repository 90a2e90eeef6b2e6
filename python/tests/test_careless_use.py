"""The package under careless use: None where an object belongs, first calls from two threads at
once, Ctrl-C during an analysis. A fault here ends or hangs the interpreter; the cases that would
hang, or need a signal, run in a child interpreter with a time limit."""

import os
import signal
import stat
import subprocess
import sys
import textwrap
import time

import pytest

import dfoundations as dfo
from conftest import EXAMPLE_DATA

QUAY_WALL = EXAMPLE_DATA / "quay_wall_verification.fod"


def python_child(code, **settings):
    """Runs `code` in a fresh interpreter that imports the package the tests import, with the
    environment variables `settings` added."""
    environment = dict(os.environ, PYTHONPATH=os.pathsep.join(sys.path), **settings)
    return subprocess.Popen([sys.executable, "-c", textwrap.dedent(code)], env=environment,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)


@pytest.mark.parametrize("call", [
    lambda: dfo.piles(None),
    lambda: dfo.elements(None),
    lambda: dfo.iterations(None),
    lambda: dfo.tension_groups(None),
    lambda: dfo.nen_results(None),
    lambda: dfo.calculation_warnings(None),
    lambda: dfo.OutputFileParser(None),
    lambda: dfo.DFoundationsAnalysis(None),
    lambda: dfo.ProfileLayer(0.0, None),
], ids=["piles", "elements", "iterations", "tension_groups", "nen_results", "calculation_warnings",
        "OutputFileParser", "DFoundationsAnalysis", "ProfileLayer"])
def test_none_for_an_object_is_a_type_error(call):
    with pytest.raises(TypeError):
        call()


def test_none_inside_a_list_of_objects_is_a_type_error(bearing_model):
    with pytest.raises(TypeError):
        bearing_model.create_profile("CPT-02", [None], 0.0, 0.0, [[0.2, 0.8], [-5.0, 12.5]], -0.8, -18.0, 1.0,
                                     -3.0, -12.0, 0.05)
    with pytest.raises(TypeError):
        bearing_model.create_pile_type("PT-2", None, dfo.PileType.CONTINUOUS_FLIGHT_AUGER, dfo.PileSlipLayer.NONE)
    assert "CPT-02" not in [profile["name"] for profile in bearing_model._generate_input()["profiles"]]


@pytest.mark.parametrize("first_call", [
    "file.tables()[0].data",
    "dfo.OutputFileParser(fod).results(True)",
    "dfo.OutputFileParser(fod).results(False)",
    "dfo.read_input_file(foi).document",
    "dfo.GEFData.from_file(gef).to_json()",
])
def test_two_threads_making_the_first_call_at_once_both_finish(first_call, bearing_model, tmp_path):
    input_file = tmp_path / "model.foi"
    input_file.write_bytes(bearing_model.generate_input_file())
    child = python_child(f"""
        import sys, threading
        import dfoundations as dfo
        # Neither module may be imported yet: the first call imports it.
        assert "pandas" not in sys.modules and "json" not in sys.modules, sorted(sys.modules)
        fod = open({str(QUAY_WALL)!r}, "rb").read()
        file = dfo.read_output_file(fod)
        foi = open({str(input_file)!r}, "rb").read()
        gef = {str(EXAMPLE_DATA / "cpt_w01.gef")!r}
        barrier = threading.Barrier(2)
        def first():
            barrier.wait()
            {first_call}
        threads = [threading.Thread(target=first) for _ in range(2)]
        for thread in threads: thread.start()
        for thread in threads: thread.join()
        print("both finished")
    """)
    try:
        out, err = child.communicate(timeout=120)
    except subprocess.TimeoutExpired:
        child.kill()
        pytest.fail(f"two first calls of {first_call} hang")
    assert out.strip() == "both finished", err


@pytest.mark.skipif(not sys.platform.startswith("linux"), reason="the stand-in console is a shell script")
def test_ctrl_c_ends_a_waiting_analysis_and_its_console(tmp_path):
    pid_file = tmp_path / "console.pid"
    console = tmp_path / "console.sh"
    console.write_text(f'#!/bin/sh\necho $$ > "{pid_file}.new"\nmv "{pid_file}.new" "{pid_file}"\nsleep 30\n')
    console.chmod(console.stat().st_mode | stat.S_IXUSR)
    child = python_child("""
        import dfoundations as dfo
        try:
            dfo.DFoundationsAnalysis(b"[INPUT FILE]").execute(30)
        except KeyboardInterrupt:
            print("interrupted")
    """, DFOUNDATIONS_CONSOLE=str(console))
    deadline = time.monotonic() + 30
    while not pid_file.exists() and time.monotonic() < deadline:
        time.sleep(0.05)
    assert pid_file.exists(), child.stderr.read() if child.poll() is not None else "the console did not start"
    started = time.monotonic()
    child.send_signal(signal.SIGINT)
    out, err = child.communicate(timeout=10)
    assert time.monotonic() - started < 2
    assert out.strip() == "interrupted", err
    console_pid = int(pid_file.read_text())
    with pytest.raises(ProcessLookupError):
        os.kill(console_pid, 0)
