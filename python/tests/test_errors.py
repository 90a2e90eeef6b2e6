"""Errors reach Python as exceptions of the matching kind, with the C++ messages exactly."""

import pytest

import dfoundations as dfo
from conftest import TEST_DATA


def test_the_host_errors_share_one_base_class():
    for error in (dfo.ModelError, dfo.ParsingError, dfo.InternalError, dfo.ExecutionError):
        assert issubclass(error, dfo.Error)
    assert issubclass(dfo.Error, RuntimeError)
    assert not issubclass(dfo.ModelError, dfo.ParsingError)


def rounding_interval_of_zero():
    dfo.BearingPilesCalculationOptions(dfo.CalculationType.INDICATION_BEARING_CAPACITY, False,
                                       trajectory_begin_end_interval=(-10.0, -20.0, 0.0))


@pytest.mark.parametrize("operation, error, message", [
    (lambda: dfo.Metadata(title_1="x" * 51), dfo.ModelError, None),
    (lambda: dfo.HollowPile(0.4, 200.0), dfo.ModelError, None),
    (lambda: dfo.OutputFileParser("no output file"), dfo.ParsingError, None),
    (lambda: dfo.read_output_file(b"no sections at all"), dfo.ParsingError, None),
    (lambda: dfo.GEFData.from_file(TEST_DATA / "missing.gef"), OSError, None),
    (lambda: dfo.GEFData.from_file(TEST_DATA / "gef_no_rows.gef"), dfo.ParsingError, None),
    (rounding_interval_of_zero, ZeroDivisionError, None),
    (lambda: dfo.OutputFileParser((TEST_DATA / "bearing_v17.fod").read_text()).results(), dfo.ParsingError,
     "'results' for parser of model type 'Bearing Piles', calculation type 'Preliminary Design'is not (yet) "
     "implemented for version v17."),
])
def test_each_kind_of_error_becomes_its_python_exception(operation, error, message):
    with pytest.raises(error) as raised:
        operation()
    assert type(raised.value) is error or error is OSError
    if message is not None:
        assert str(raised.value) == message


def test_a_model_error_carries_the_model_s_message(bearing_model):
    with pytest.raises(dfo.ModelError, match=r"^Pile with name '1' already exists$"):
        bearing_model.create_pile("1", 0.0, 0.0, -1.0, 2.0, 800.0, 600.0)


def test_a_malformed_table_is_a_value_error():
    text = "[T]\n[TABLE]\n[COLUMN INDICATION]\nA\n[END OF COLUMN INDICATION]\n[DATA]\n1 2\n[END OF DATA]\n" \
           "[END OF TABLE]\n[END OF T]\n"
    with pytest.raises(ValueError):
        dfo._ParserV19._parse_tables(text)


def test_a_profile_without_rows_is_out_of_range(bearing_model):
    with pytest.raises(IndexError, match="P2"):
        bearing_model.create_profile("P2", [dfo.ProfileLayer(0.0, "Peat")], 0.0, 0.0, [], -0.8, -18.0, 1.0, -3.0,
                                     -12.0, 0.05)


def test_a_template_failure_is_a_general_error_caused_by_the_internal_error():
    with pytest.raises(RuntimeError) as raised:
        dfo.input_file_from_document("{}")
    assert type(raised.value) is RuntimeError
    assert str(raised.value) == "Input file could not be generated, please check your model"
    cause = raised.value.__cause__
    assert type(cause) is dfo.InternalError
    assert str(cause) == "The model document has no member 'metadata'."


def test_a_text_input_file_is_not_implemented():
    analysis = dfo.DFoundationsAnalysis("text, not bytes")
    with pytest.raises(NotImplementedError) as raised:
        analysis.execute(5)
    assert str(raised.value) == ""


def test_a_failed_job_is_an_execution_error(monkeypatch):
    monkeypatch.delenv("DFOUNDATIONS_CONSOLE", raising=False)
    monkeypatch.setenv("DFOUNDATIONS_ENGINE", "console")  # not the open calculation core
    with pytest.raises(dfo.ExecutionError, match=r"^No D-Foundations console program is configured: set the environment variable "
                                                r"DFOUNDATIONS_CONSOLE to the command that runs it \(the input file's "
                                                r"path is appended to it\)\.$"):
        dfo.DFoundationsAnalysis(b"input").execute(5)
    # Without a console the open calculation core runs, and refuses what it does not compute.
    monkeypatch.delenv("DFOUNDATIONS_ENGINE")
    with pytest.raises(dfo.ExecutionError, match=r"^The open calculation core does not compute this model; it covers "):
        dfo.DFoundationsAnalysis(b"input").execute(5)
