"""The whole-file reader from Python: the same sections and tables as the C++ reader (the program
prints those), paths, views, and parts that outlive the names they were reached by."""

import gc
import json
import math
import os
import subprocess

import pytest

import dfoundations as dfo
from conftest import CLI, EXAMPLE_DATA, TEST_DATA, fixture_files, run_cli

QUAY_WALL = EXAMPLE_DATA / "quay_wall_verification.fod"
NEN_TABLE = "DUMPFILE OUTPUT/VERIFICATION RESULTS/NEN PILE RESULTS/MAX SHAFT AND POINT"
DTYPES = {"integer": "int64", "real": "float64", "text": "object"}


def printed_tables(items):
    for item in items:
        if item["kind"] == "table":
            yield item
        elif item["kind"] == "section":
            yield from printed_tables(item["items"])


def cell(value):
    return None if value is None or (isinstance(value, float) and math.isnan(value)) else value


@pytest.mark.parametrize("path", [QUAY_WALL, TEST_DATA / "verification_v19_latin1.fod"]
                         + fixture_files("fod25") + fixture_files("fod23"), ids=str)
def test_every_table_equals_the_table_of_the_library(path):
    expected = run_cli("read", path)
    file = dfo.read_output_file(path)
    assert file.header.version == expected["header"]["version"]
    assert file.header.major_version == expected["header"]["major_version"]
    assert [warning.message for warning in file.warnings] == [warning["message"] for warning in expected["warnings"]]
    printed = list(printed_tables(expected["items"]))
    assert [table.path for table in file.tables()] == [table["path"] for table in printed]
    for table, want in zip(file.tables(), printed):
        assert (table.line, table.data_count, table.error) == (want["line"], want["data_count"], want["error"])
        frame = table.data
        assert list(frame.columns) == [column["name"] for column in want["columns"]]
        assert [str(dtype) for dtype in frame.dtypes] == [DTYPES[column["type"]] for column in want["columns"]]
        rows = [[cell(value) for value in row] for row in frame.itertuples(index=False, name=None)]
        assert rows == want["rows"]


def test_sections_values_and_tables_by_path():
    file = dfo.read_output_file(QUAY_WALL.read_bytes())
    assert file.header.major_version == 19 and file.header.model_code == 0
    assert file.input.name == "INPUT DATA" and file.output.path == "DUMPFILE OUTPUT"
    table = file.table(NEN_TABLE)
    assert table.name == "MAX SHAFT AND POINT" and table.row_count == 4 and table.column_count == 4
    assert table.column_names == ["CptIndex", "Grenstoestand", "MaxShaft", "MaxPoint"]
    assert table.column_map()["CptIndex"] == {0: 1, 1: 1, 2: 2, 3: 2}
    assert file.table("no such table") is None and file.section("no such section") is None
    assert file.nearest_table_paths(NEN_TABLE.replace("POINT", "PIONT"), 1) == [NEN_TABLE]

    # A table's path is that of the section that holds it.
    assert [table.path for table in file.section(NEN_TABLE).tables()] == [NEN_TABLE]
    kinds = {type(item).__name__ for section in file.sections() for item in section.items}
    assert kinds <= {"ValueLine", "TextLine", "OutputTable", "Section"} and "Section" in kinds
    owner = next(section for section in file.sections() if section.values())
    first = owner.values()[0]
    assert isinstance(first, dfo.ValueLine) and owner.value(first.key).line == first.line
    assert owner.number(first.key) == (first.numbers[0] if first.numbers else None)
    assert owner.value("no such key") is None
    assert file.root.sections("INPUT DATA")[0].path == "INPUT DATA"
    assert file.root.section("DUMPFILE OUTPUT").path == "DUMPFILE OUTPUT"


def test_parts_keep_their_file_alive():
    tables = dfo.read_output_file(QUAY_WALL).tables()
    section = dfo.read_output_file(QUAY_WALL).output
    gc.collect()
    assert tables[-1].data.shape[0] >= 1
    assert section.sections()[0].path.startswith("DUMPFILE OUTPUT/")


@pytest.mark.parametrize("path", fixture_files("fod25"))
def test_the_views_of_a_real_file(path):
    file = dfo.read_output_file(path)
    for pile in dfo.piles(file):
        assert pile.section.name == "PILE" and isinstance(pile.calculation_parameters, dict)
        assert all(isinstance(table, dfo.OutputTable) for table in pile.tables)
    for iteration in dfo.iterations(file):
        assert iteration.section.name == "ITERATION" and isinstance(iteration.values, dict)
    for group in dfo.tension_groups(file):
        assert group.result_index >= 1 and isinstance(group.piles, list)
    warnings = dfo.calculation_warnings(file)
    assert all(isinstance(flag, bool) for flag in warnings.calculation.values())
    nen = dfo.nen_results(file)
    assert all(isinstance(number, float) for number in nen.global_.values())
    for element in dfo.elements(file):
        assert element.section.name == "ELEMENT" and isinstance(element.values, dict)


def test_the_views_of_a_preliminary_design():
    path = next((p for p in (TEST_DATA.parent.parent.parent / "shared" / "fixtures" / "fod25").glob("*.fod")
                 if dfo.piles(dfo.read_output_file(p))), None)
    if path is None:
        pytest.skip("no 25.1 preliminary design among the fixtures")
    pile = dfo.piles(dfo.read_output_file(path))[0]
    assert pile.name and pile.tables


@pytest.mark.parametrize("path", [QUAY_WALL, TEST_DATA / "verification_v19_latin1.fod"] + fixture_files("fod25"),
                         ids=str)
def test_to_json_is_what_the_program_prints(path):
    if not os.path.exists(CLI):
        pytest.skip(f"the program {CLI} is not built")
    printed = subprocess.run([CLI, "read", str(path)], capture_output=True, check=True).stdout.decode("utf-8")
    text = dfo.read_output_file(path).to_json(str(path))
    assert text == printed
    assert json.loads(text)["file"] == str(path)
