"""Input files read back from Python: the document and extras as the C++ reader gives them, the file
written again, and the refusals with their exact messages and causes."""

import json

import pytest

import dfoundations as dfo
from conftest import FIXTURES, fixture_files, run_cli

BM3_1 = FIXTURES / "foi" / "bm3-1.foi"
BM3_6 = FIXTURES / "foi" / "bm3-6.foi"


def with_crlf(data):
    return data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


LAYOUTS = {"foi": 19, "foi25": 25, "v19": 19, "v23": 23, "v25": 25}


@pytest.mark.parametrize("path", fixture_files("foi", "*.foi") + fixture_files("foi25", "*.foi")
                         + [path for version in ("v19", "v23", "v25")
                            for path in fixture_files(f"input-files/{version}", "*.foi")])
def test_a_file_reads_as_the_program_reads_it_and_comes_back_line_for_line(path):
    data = path.read_bytes()
    reading = dfo.read_input_file(data)
    assert reading.document_with_extras() == run_cli("foi", path)
    assert reading.layout == LAYOUTS[path.parent.name]
    assert reading.warnings == []
    assert reading.generate_input_file() == with_crlf(data)


def test_an_edit_of_the_reading_is_written_or_refused_never_lost():
    if not BM3_1.exists():
        pytest.skip("no fixtures")
    reading = dfo.read_input_file(BM3_1.read_bytes())
    assert reading.document is reading.document
    reading.document["profiles"][0]["pile_tip_level"] = -17.25
    assert b"      -17.25 : Pile tip level [m]" in reading.generate_input_file()
    assert reading.document_with_extras()["profiles"][0]["pile_tip_level"] == -17.25
    reading.document["profiles"][0]["pile_tip_level"] = "deep"
    with pytest.raises(RuntimeError) as raised:
        reading.generate_input_file()
    assert "profiles[0].pile_tip_level" in str(raised.value.__cause__)


def test_a_layout_that_cannot_hold_the_document_is_a_model_error_with_the_rule(tension_model):
    reading = dfo.read_input_file(tension_model.generate_input_file())
    reading.document["calculation_options"]["suppress_qciii_reduction"] = True
    with pytest.raises(dfo.ModelError, match="D-Foundations 25.1 cannot suppress the qcIII reduction"):
        reading.generate_input_file(layout=25)
    assert b"1 : Suppress qcIII reduction = TRUE" in reading.generate_input_file(layout=19)


def test_a_model_document_read_from_a_file_is_changed_and_written_again(bearing_model):
    reading = dfo.read_input_file(bearing_model.generate_input_file())
    assert reading.model_error == "" and reading.extras == {}
    document = reading.document_with_extras()
    document["profiles"][0]["pile_tip_level"] = -17.25
    changed = dfo.read_model_document(json.dumps(document)).generate_input_file()
    assert b"      -17.25 : Pile tip level [m]" in changed


def test_a_model_writes_the_layout_of_d_foundations_25_when_asked(tension_model):
    assert b"D-Foundations=1015" in tension_model.generate_input_file()
    assert b"D-Foundations=1033" in tension_model.generate_input_file(layout=25)
    assert b"D-Foundations=1024" in tension_model.generate_input_file(layout=23)
    with pytest.raises(ValueError):
        tension_model.generate_input_file(layout=21)


def test_the_former_names_of_the_layout_and_the_input_file_still_work_with_a_warning(tension_model):
    data = tension_model.generate_input_file(layout=25)
    with pytest.warns(DeprecationWarning, match="version= is now called layout="):
        assert tension_model.generate_input_file(version=25) == data
    with pytest.warns(DeprecationWarning, match="data= is now called input_file="):
        reading = dfo.read_input_file(data=data)
    with pytest.warns(DeprecationWarning, match="layout_version is now called InputFileReading.layout"):
        assert reading.layout_version == reading.layout == 25
    with pytest.warns(DeprecationWarning):
        assert reading.generate_input_file(version=25) == reading.generate_input_file()
    with pytest.warns(DeprecationWarning):
        assert dfo.TensionPilesModel.from_input_file(data=data).generate_input_file() == data
    document = dfo.read_model_document(json.dumps(reading.document))
    with pytest.warns(DeprecationWarning, match="input_file_version is now called ModelDocument.layout"):
        assert document.input_file_version == document.layout == 25
    with pytest.raises(TypeError, match="give layout= alone"):
        tension_model.generate_input_file(layout=25, version=25)


def test_a_model_is_built_from_a_file_of_its_kind():
    if not BM3_1.exists():
        pytest.skip("no fixtures")
    model = dfo.TensionPilesModel.from_input_file(BM3_1.read_bytes())
    assert [profile["name"] for profile in model.profiles] == ["CPT"]
    # Saved without further ado, the model is its file again.
    assert model.generate_input_file() == with_crlf(BM3_1.read_bytes())
    with pytest.raises(ValueError, match="holds a Tension Piles model, not a Bearing Piles model"):
        dfo.BearingPilesModel.from_input_file(BM3_1.read_bytes())


def test_a_file_the_model_refuses_is_a_model_error_with_the_rule_as_its_cause(tension_model):
    data = tension_model.generate_input_file().replace(b"'A'", b"'Pile 12345678'")
    line = data[:data.index(b"'Pile 12345678'")].count(b"\n") + 1
    with pytest.raises(dfo.ModelError) as raised:
        dfo.TensionPilesModel.from_input_file(data)
    message = str(raised.value)
    assert message == f"Input file line {line} (piles[0]): Name of pile can be max. 10 characters long"
    assert isinstance(raised.value.__cause__, dfo.ModelError)
    assert message.endswith(str(raised.value.__cause__))
    assert dfo.read_input_file(data).model_error == message


def test_values_d_foundations_writes_are_no_reason_to_refuse_its_file():
    if not BM3_6.exists():
        pytest.skip("no fixtures")
    # A verification of tension piles, which the model's options do not take: built as a calculation
    # at fixed pile tip levels, the file's own calculation sections kept.
    model = dfo.TensionPilesModel.from_input_file(BM3_6.read_bytes())
    assert model.generate_input_file() == with_crlf(BM3_6.read_bytes())


@pytest.mark.parametrize("data, message", [
    (b"just text\n", "Input file line 1: the file has no [INPUT DATA]: it is no D-Foundations input file."),
    ("[INPUT DATA]\r\n[END OF INPUT DATA]\r\n", "Input file line 1: [INPUT DATA] has no [MODEL]."),
])
def test_what_is_no_input_file_is_a_parsing_error_naming_the_line(data, message):
    with pytest.raises(dfo.ParsingError) as raised:
        dfo.read_input_file(data)
    assert str(raised.value) == message
