"""The open calculation core from Python: results as DataFrames straight from the core, the same
numbers as the C++ library, its output file read like D-Foundations' own, and the analysis road
without a console program."""

import pytest

import dfoundations as dfo
from conftest import FIXTURES

PAIR = FIXTURES / "core" / "v25" / "bm1-6a"


@pytest.fixture
def indication_model():
    options = dfo.BearingPilesCalculationOptions(
        dfo.CalculationType.INDICATION_BEARING_CAPACITY, False, trajectory_begin_end_interval=(-13.0, -16.0, 0.5))
    model = dfo.BearingPilesModel(dfo.ConstructionSequence.CPT_EXCAVATION_INSTALL, options, -1.0)
    model.create_profile(
        "CPT-01", [dfo.ProfileLayer(0.0, "Clay, clean, moderate"), dfo.ProfileLayer(-12.0, "Sand, clean, moderate")],
        0.0, 0.0, [[0.0, 0.5], [-12.0, 1.0], [-12.1, 15.0], [-25.0, 20.0]], -1.0, -17.5, 1.0, -1.0, -12.0, 0.05)
    model.create_pile_type("Prefab 400", dfo.RectPile(0.4, 0.4), dfo.PileType.PREFAB_CONCRETE, dfo.PileSlipLayer.NONE)
    model.create_pile("P1", 0.0, 0.0, -1.0, 0.0, 900.0, 700.0)
    return model


def test_a_real_input_file_gives_the_output_files_numbers_as_data_frames():
    if not PAIR.with_suffix(".foi").exists():
        pytest.skip(f"no development pair {PAIR}")
    data = PAIR.with_suffix(".foi").read_bytes()
    results = dfo.calculate(data)
    assert results.rules == dfo.PileFactorRules.RULES_2025
    rows = results.iteration_table()
    assert list(rows.columns) == ["PileName", "IterationIndex", "CptIndex", "Level", "RbCalMax", "RsCalMax",
                                  "RcCalMax", "RcD", "FNsfRep", "FNsfD", "RcNetD", "Hmv", "CptName"]
    assert len(rows) == 100 and results.iteration_count == 2 and results.cpt_count == 1
    printed = dfo.read_output_file(PAIR.with_suffix(".fod").read_bytes())
    first = next(table for table in printed.tables() if table.name == "ITERATION RESULTS").data
    assert round(rows["RbCalMax"][0]) == first["RbCalMax"][0]
    assert abs(round(rows["RsCalMax"][0]) - first["RsCalMax"][0]) <= 1
    assert list(results.pile_table()["SFactor"].round(2))[:2] == [0.84, 0.84]
    assert len(results.average_factors_table()) == 50

    older = dfo.calculate(data, rules=dfo.PileFactorRules.RULES_2017)
    assert older.rules == dfo.PileFactorRules.RULES_2017
    assert older.average_factors_table()["AlphaPGem"][0] == pytest.approx(0.7)


def test_a_model_is_computed_and_written_as_an_output_file(indication_model):
    results = dfo.calculate(indication_model)
    rows = results.iteration_table()
    assert list(rows["Level"]) == [-13.0, -13.5, -14.0, -14.5, -15.0, -15.5, -16.0]
    assert rows["RcD"].is_monotonic_increasing
    input_file = indication_model.generate_input_file()
    assert dfo.calculate(dfo.read_input_file(input_file)).iteration_table()["RcD"].tolist() == rows["RcD"].tolist()
    written = dfo.write_output_file(results, input_file)
    assert b"NOT by D-Foundations" in written
    file = dfo.read_output_file(written)
    table = next(table for table in file.tables() if table.name == "ITERATION RESULTS").data
    assert list(table["RcD"]) == [round(value) for value in rows["RcD"]]


def test_the_analysis_runs_on_the_core_without_a_console_program(indication_model, monkeypatch):
    monkeypatch.delenv("DFOUNDATIONS_CONSOLE", raising=False)
    analysis = dfo.DFoundationsAnalysis(indication_model.generate_input_file())
    analysis.execute(60)
    file = dfo.read_output_file(analysis.get_output_file())
    assert b"open calculation core" in analysis.get_output_file()
    assert len(next(table for table in file.tables() if table.name == "ITERATION RESULTS").data) == 7


def test_what_the_core_does_not_compute_is_refused_naming_what_it_covers():
    with pytest.raises(ValueError, match="it covers Bearing Piles"):
        dfo.calculate(b"no input file")
    assert dfo.CORE_COVERS.startswith("Bearing Piles (EC7-NL), Preliminary Design")
