"""The versioned parsers from Python: the same parameters and tables as the C++ library reads (the
program prints those), as DataFrames or as column maps."""

import math
import threading

import numpy as np
import pandas as pd
import pytest

import dfoundations as dfo
from conftest import EXAMPLE_DATA, TEST_DATA, fixture_files, run_cli

PARSED_FILES = [TEST_DATA / name for name in ("tension_v17.fod", "tension_v19.fod", "verification_v19.fod",
                                              "verification_v19_latin1.fod")] + [
    EXAMPLE_DATA / "quay_wall_verification.fod"]


def plain(value):
    """A cell as the program's JSON has it: NaN and None are null, numpy scalars plain numbers."""
    if value is None or (isinstance(value, float) and math.isnan(value)):
        return None
    return value.item() if isinstance(value, np.generic) else value


def column_map_of(frame):
    columns = {}
    for position, name in enumerate(frame.columns):
        columns[name] = {str(row): plain(cell) for row, cell in enumerate(frame.iloc[:, position].tolist())}
    return columns


def as_program_prints(results):
    """Results with every table as the program prints it: a column map with text row numbers."""
    if isinstance(results, pd.DataFrame):
        return column_map_of(results)
    if isinstance(results, dict) and all(isinstance(key, int) for key in results):
        return {str(row): plain(cell) for row, cell in results.items()}
    if isinstance(results, dict):
        return {key: as_program_prints(value) for key, value in results.items()}
    if isinstance(results, list):
        return [as_program_prints(value) for value in results]
    return results


@pytest.mark.parametrize("path", PARSED_FILES, ids=lambda path: path.name)
def test_results_equal_the_tables_of_the_library(path):
    expected = run_cli("parse", path)
    parser = dfo.OutputFileParser(path.read_bytes())
    assert parser.class_name == expected["parser"]
    assert parser.calculation_parameters == expected["calculation_parameters"]
    assert as_program_prints(parser.results()) == expected["results"]
    assert as_program_prints(parser.results(as_pandas=False)) == expected["results"]


def test_columns_are_numpy_arrays_of_their_cell_type():
    parser = dfo.OutputFileParser((EXAMPLE_DATA / "quay_wall_verification.fod").read_bytes())
    frame = parser.results()["MAX SHAFT AND POINT"]
    assert list(frame.columns) == ["CptIndex", "Grenstoestand", "MaxShaft", "MaxPoint"]
    assert [str(dtype) for dtype in frame.dtypes] == ["int64", "object", "float64", "float64"]
    assert isinstance(frame.index, pd.RangeIndex)
    column_map = parser.results(as_pandas=False)["MAX SHAFT AND POINT"]
    assert column_map["CptIndex"] == {0: 1, 1: 1, 2: 2, 3: 2}


def test_text_bytes_and_files_read_alike():
    path = EXAMPLE_DATA / "quay_wall_verification.fod"
    parsers = [dfo.OutputFileParser(path.read_bytes().decode("utf-8")), dfo.OutputFileParser(path.read_bytes()),
               dfo.OutputFileParser(dfo.File.from_data(path.read_bytes()))]
    assert len({parser.raw_results for parser in parsers}) == 1
    assert parsers[0]._raw_results == parsers[0].raw_results
    frames = [parser.results()["CPTS"] for parser in parsers]
    pd.testing.assert_frame_equal(frames[0], frames[1])
    pd.testing.assert_frame_equal(frames[0], frames[2])


def test_the_version_17_tension_results_keep_their_groups():
    results = dfo.OutputFileParser((TEST_DATA / "tension_v17.fod").read_bytes()).results()
    assert list(results) == ["pile_groups", "data"]
    assert results["pile_groups"] == [[1, 2], [4]]
    tables = results["data"]["TENSION RESULTS"]["Pile type A"]
    assert isinstance(tables, list) and all(isinstance(table, pd.DataFrame) for table in tables)


@pytest.mark.parametrize("path", fixture_files("fod"))
def test_the_real_version_17_and_19_files_read_as_the_library_reads_them(path):
    expected = run_cli("parse", path)
    if "error" in expected:
        with pytest.raises(dfo.ParsingError) as raised:
            dfo.OutputFileParser(path.read_bytes())
        assert str(raised.value) == expected["error"]["message"]
        return
    parser = dfo.OutputFileParser(path.read_bytes())
    for part, read in (("calculation_parameters", lambda: parser.calculation_parameters),
                       ("results", lambda: as_program_prints(parser.results()))):
        if isinstance(expected[part], dict) and "error" in expected[part]:
            with pytest.raises(Exception) as raised:
                read()
            assert str(raised.value) == expected[part]["error"]["message"]
        else:
            assert read() == expected[part]


def test_the_patterns_and_the_table_reader_are_there():
    assert dfo.OutputFileParser._VERSION_PATTERN.startswith(r"\[VERSION EXTERNALS\]")
    text = "[T]\n[TABLE]\n[COLUMN INDICATION]\nA\nB\n[END OF COLUMN INDICATION]\n[DATA]\n1 x\n2 y\n" \
           "[END OF DATA]\n[END OF TABLE]\n[END OF T]\n"
    tables = dfo._ParserV19._parse_tables(text)
    assert tables["T"]["A"].tolist() == [1, 2] and tables["T"]["B"].tolist() == ["x", "y"]
    assert dfo._ParserV19._parse_tables(text, as_pandas=False) == {"T": {"A": {0: 1, 1: 2}, "B": {0: "x", 1: "y"}}}


def test_a_column_name_given_twice_keeps_both_columns_in_the_frame():
    text = "[T]\n[TABLE]\n[COLUMN INDICATION]\nA\nA\nB\n[END OF COLUMN INDICATION]\n[DATA]\n1 2.5 x\n3 4.5 \n" \
           "[END OF DATA]\n[END OF TABLE]\n[END OF T]\n"
    frame = dfo._ParserV19._parse_tables(text)["T"]
    assert list(frame.columns) == ["A", "A", "B"]
    assert frame.iloc[:, 0].tolist() == [1, 3] and frame.iloc[:, 1].tolist() == [2.5, 4.5]
    assert frame["B"].tolist() == ["x", None]
    # The column map keeps the name's first position and its last column's cells.
    column_map = dfo._ParserV19._parse_tables(text, as_pandas=False)["T"]
    assert list(column_map) == ["A", "B"] and column_map["A"] == {0: 2.5, 1: 4.5}


def test_threads_read_at_once_and_get_the_same_tables():
    text = (EXAMPLE_DATA / "quay_wall_verification.fod").read_bytes()
    expected = column_map_of(dfo.OutputFileParser(text).results()["MAX SHAFT AND POINT"])
    seen = []

    def read():
        for _ in range(20):
            seen.append(column_map_of(dfo.OutputFileParser(text).results()["MAX SHAFT AND POINT"]))

    threads = [threading.Thread(target=read) for _ in range(4)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert len(seen) == 80 and all(table == expected for table in seen)
