"""Many analyses and output files at once: order kept, each failure reported with its input, results
that cross process boundaries, and tidy summaries."""

import concurrent.futures
import pickle

import pytest

import dfoundations as dfo
from conftest import EXAMPLE_DATA, FIXTURES, TEST_DATA

QUAY_WALL = EXAMPLE_DATA / "quay_wall_verification.fod"


def test_output_files_are_read_in_order_with_each_failure_in_its_place():
    sources = [QUAY_WALL, TEST_DATA / "no_version.fod", b"no sections at all", TEST_DATA / "tension_v19.fod",
               TEST_DATA / "missing.fod"]
    with concurrent.futures.ThreadPoolExecutor(2) as executor:
        results = dfo.read_output_files(sources, executor=executor)
    assert len(results) == len(sources)
    assert isinstance(results[0], dfo.OutputFile) and results[0].name == str(QUAY_WALL)
    assert isinstance(results[2], dfo.ParsingError) and results[2].input_name == "output 3"
    assert isinstance(results[4], OSError) and results[4].input_name == str(TEST_DATA / "missing.fod")
    assert [type(result) for result in dfo.read_output_files(sources)] == [type(result) for result in results]
    # In tasks of several jobs, as other processes get them, the order and the failures stay in place.
    for chunk_size in (2, 4, 10):
        chunked = dfo.read_output_files(sources, chunk_size=chunk_size)
        assert [getattr(result, "input_name", None) or result.name for result in chunked] == \
            [getattr(result, "input_name", None) or result.name for result in results]
    with pytest.raises(ValueError, match="chunk_size must be at least 1"):
        dfo.read_output_files(sources, chunk_size=0)


def test_output_files_models_and_readings_pickle(bearing_model, tension_model):
    file = dfo.read_output_file(QUAY_WALL)
    again = pickle.loads(pickle.dumps(file))
    assert again.name == file.name and again.to_json("x") == file.to_json("x")
    for model in (bearing_model, tension_model):
        copy = pickle.loads(pickle.dumps(model))
        assert type(copy) is type(model)
        assert copy.generate_input_file() == model.generate_input_file()
    reading = dfo.read_input_file(bearing_model.generate_input_file())
    assert pickle.loads(pickle.dumps(reading)).generate_input_file() == reading.generate_input_file()


def test_run_analyses_gives_one_result_per_input_and_names_the_failing_ones(bearing_model):
    results = dfo.run_analyses([b"not an input file", bearing_model], timeout=30)
    assert len(results) == 2
    assert isinstance(results[0], Exception) and results[0].input_name == "input 1"
    assert any("input 1" in note for note in getattr(results[0], "__notes__", []))
    with pytest.raises(TypeError, match="input 1"):
        dfo.run_analyses([None])


def test_summary_of_a_preliminary_design_names_pile_types_and_cpts():
    path = FIXTURES / "fod25" / "bm1-10.fod"
    if not path.exists():
        pytest.skip(f"no fixture {path}")
    tables = dfo.summary([dfo.read_output_file(path), ValueError("a failed analysis is passed over")])
    frame = tables["Preliminary Design, Indication bearing capacity"]
    assert list(frame.columns[:6]) == ["file", "calculation", "pile_type", "BetaFactor", "SFactor", "cpt"]
    assert len(frame) == 56 and set(frame.cpt) == {"CPT 1"} and frame.file.iloc[0] == str(path)
    assert frame.RsCalMax.iloc[0] == 2272 and frame.Level.tolist()[:2] == [-16.0, -17.0]
    assert dfo.summary(path).keys() == tables.keys()
    assert dfo.calculation_name(dfo.read_output_file(QUAY_WALL)) in dfo.summary(QUAY_WALL)
