"""An analysis run through the embedded platform, with a stand-in console program."""

import os
import stat
import sys

import pytest

import dfoundations as dfo
from conftest import EXAMPLE_DATA


@pytest.fixture
def console(tmp_path, monkeypatch):
    """A console program that writes the example output file beside the input file."""
    script = tmp_path / "console.sh"
    script.write_text(f'#!/bin/sh\ncp "{EXAMPLE_DATA / "quay_wall_verification.fod"}" "${{1%.*}}.fod"\n')
    script.chmod(script.stat().st_mode | stat.S_IXUSR)
    monkeypatch.setenv("DFOUNDATIONS_CONSOLE", str(script))


@pytest.mark.skipif(not sys.platform.startswith("linux"), reason="the stand-in console is a shell script")
def test_an_analysis_hands_its_output_file_to_the_parser(console, bearing_model):
    analysis = dfo.DFoundationsAnalysis(bearing_model.generate_input_file())
    assert (analysis.program, analysis.version) == ("dfoundations", 1)
    analysis.execute(60)
    output = analysis.get_output_file()
    assert output == (EXAMPLE_DATA / "quay_wall_verification.fod").read_bytes()
    assert analysis.get_output_file(".fod", as_file=True).getvalue_binary() == output
    assert analysis.get_output_file(".nothing") is None
    assert any(name.endswith(".fod") for name in analysis._get_result_content())
    assert dfo.OutputFileParser(output).class_name == "VerificationParserV19"


def test_an_analysis_takes_a_platform_file(console, bearing_model):
    analysis = dfo.DFoundationsAnalysis(bearing_model.generate_input_file(as_file=True))
    analysis.execute(60)
    assert analysis.get_output_file() is not None


def test_a_negative_time_out_is_refused():
    with pytest.raises(ValueError):
        dfo.DFoundationsAnalysis(b"input").execute(-1)
