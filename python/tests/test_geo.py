"""CPT files of either kind, read from a path or from memory."""

import pytest

import dfoundations as dfo
from conftest import EXAMPLE_DATA, FIXTURES, TEST_DATA, run_cli


def test_a_gef_file_reads_as_the_library_reads_it():
    path = EXAMPLE_DATA / "cpt_w01.gef"
    cpt = dfo.GEFData.from_file(path)
    assert cpt.to_json() == run_cli("gef", path)
    assert len(cpt.elevation) == len(cpt.qc) > 0
    same = dfo.GEFData.from_cpt_text(path.read_bytes(), "fallback")
    assert same.to_json() == cpt.to_json()
    assert dfo.GEFData.from_text(path.read_text(encoding="latin-1"), "fallback").name == cpt.name


@pytest.mark.skipif(not FIXTURES.exists(), reason="no shared fixtures")
def test_bro_xml_and_gef_of_one_cpt_read_alike():
    xml = dfo.GEFData.from_file(FIXTURES / "bro" / "CPT000000003688_IMBRO_A.xml")
    gef = dfo.GEFData.from_file(FIXTURES / "gef" / "CPT000000003688_IMBRO_A.gef")
    assert xml.name == "CPT000000003688"
    assert len(xml.elevation) == len(gef.elevation)
    assert xml.research_report_date is not None
    from_text = dfo.GEFData.from_bro_xml((FIXTURES / "bro" / "CPT000000003688_IMBRO_A.xml").read_bytes(), "x")
    assert from_text.to_json() == xml.to_json()


def test_a_borehole_is_no_cpt():
    with pytest.raises(dfo.ParsingError):
        dfo.GEFData.from_file(TEST_DATA / "bro_borehole.xml")


def test_gef_data_can_be_made_by_hand():
    cpt = dfo.GEFData()
    cpt.name = "hand"
    cpt.elevation = [0.0, -1000.0]
    cpt.qc = [1.0, None]
    assert cpt.qc == [1.0, None] and cpt.fs is None
