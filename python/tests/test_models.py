"""Both model kinds from Python: every operation, keyword options, unchanged models after a refusal,
and input files as bytes or platform files."""

import concurrent.futures
import json

import pytest

import dfoundations as dfo
from conftest import EXAMPLE_DATA, FIXTURES


def test_a_bearing_model_writes_its_input_file_as_bytes_or_a_file(bearing_model):
    assert bearing_model.construction_sequence is dfo.ConstructionSequence.CPT_EXCAVATION_INSTALL
    assert bearing_model.excavation_level == -1.0
    assert bearing_model.reduction_cone_resistance == 2.5
    assert bearing_model._cone_resistance_reduction_type is dfo._ReductionConeResistance.BEGEMANN
    assert bearing_model.calculation_options.calculation_type is dfo.CalculationType.INDICATION_BEARING_CAPACITY
    bearing_model._validate()

    input_file = bearing_model.generate_input_file(dfo.Metadata(company="Deltares"))
    assert isinstance(input_file, bytes) and input_file.startswith(b"INPUT FILE FOR D-FOUNDATIONS")
    as_file = bearing_model.generate_input_file(as_file=True)
    assert isinstance(as_file, dfo.File) and as_file.getvalue_binary().startswith(b"INPUT FILE FOR D-FOUNDATIONS")


def test_the_model_document_keeps_integers_and_reals_apart(bearing_model):
    document = bearing_model._generate_input(dfo.Metadata(company="Deltares"))
    assert list(document)[0] == "model_type" and document["model_type"] == 0
    assert document["metadata"]["company"] == "Deltares"
    assert json.loads(bearing_model._generate_input_text()) == bearing_model._generate_input()
    assert bearing_model._serialize() == {key: value for key, value in document.items() if key != "metadata"}

    whole = dfo.BearingPilesModel(dfo.ConstructionSequence.CPT_EXCAVATION_INSTALL,
                                  bearing_model.calculation_options, -1.0, 5)
    assert whole.reduction_cone_resistance == 5 and isinstance(whole.reduction_cone_resistance, int)


def test_the_collections_are_serialized_copies(bearing_model):
    assert len(bearing_model.materials) == 57
    assert list(bearing_model.materials)[-1] == "Peat"
    assert [profile["name"] for profile in bearing_model.profiles] == ["CPT-01"]
    assert [pile_type["name"] for pile_type in bearing_model.pile_types] == ["PT"]
    assert [pile["name"] for pile in bearing_model.piles] == ["1"]
    bearing_model.piles.clear()
    bearing_model.materials.clear()
    assert len(bearing_model.piles) == 1 and len(bearing_model.materials) == 57


def test_a_refused_operation_leaves_the_model_as_it_was(bearing_model):
    before = bearing_model._serialize()
    with pytest.raises(dfo.ModelError):
        bearing_model.create_profile("CPT-02", [dfo.ProfileLayer(0.0, "No such material")], 0.0, 0.0,
                                     [[0.0, 1.0]], -0.8, -18.0, 1.0, -3.0, -12.0, 0.05)
    with pytest.raises(dfo.ModelError):
        bearing_model.create_pile("name longer than ten", 0.0, 0.0, -1.0, 2.0, 800.0, 600.0)
    assert bearing_model._serialize() == before


def test_options_are_keyword_only(bearing_model):
    with pytest.raises(TypeError):
        bearing_model.create_pile_type("PT2", dfo.RoundPile(0.4), dfo.PileType.CONTINUOUS_FLIGHT_AUGER,
                                       dfo.PileSlipLayer.NONE, None)
    with pytest.raises(TypeError):
        bearing_model.create_material("Clay2", dfo.SoilType.CLAY, 14.0, 15.0, 20.0, 0.2)


def test_a_verification_model_takes_one_pile_type_and_every_bearing_option():
    options = dfo.BearingPilesCalculationOptions(dfo.CalculationType.COMPLETE_CALCULATION, False,
                                                 max_allowed_settlement_str_geo=100, cpt_test_level=-12.0)
    model = dfo.BearingPilesModel(dfo.ConstructionSequence.CPT_EXCAVATION_INSTALL, options, -0.5)
    model.create_pile_type("PT", dfo.RectPile(0.4, 0.4), dfo.PileType.PREFAB_CONCRETE, dfo.PileSlipLayer.USER_DEFINED,
                           type_sand_gravel=dfo.PileType.PREFAB_CONCRETE,
                           type_clay_loam_peat=dfo.PileTypeClayLoamPeat.USER_DEFINED, type_p=dfo.PileType.STEEL,
                           load_settlement_curve=dfo.PileLoadSettlementCurve.TWO,
                           material=dfo.PileMaterial.USER_DEFINED, factor_sand_gravel=0.9, factor_clay_loam_peat=0.8,
                           factor_pile_class=1.0, e_modulus=30000.0, slip_layer_adhesion=5.0, as_prefab=True,
                           qciii_reduction=0.5, overrule_tip_section_factor=1.0, overrule_tip_shape_factor=1.0)
    config = model.pile_types[0]["config"]
    assert config["material_property"] == 30000.0
    with pytest.raises(dfo.ModelError):
        model.create_pile_type("PT2", dfo.RoundPile(0.4), dfo.PileType.CONTINUOUS_FLIGHT_AUGER,
                               dfo.PileSlipLayer.NONE)
    assert len(model.pile_types) == 1


def test_threads_write_input_files_of_one_model_at_once(bearing_model):
    metadata = dfo.Metadata(company="Deltares")
    with concurrent.futures.ThreadPoolExecutor(max_workers=4) as pool:
        files = list(pool.map(lambda _: bearing_model.generate_input_file(metadata), range(8)))
    assert len(set(files)) == 1 and files[0].startswith(b"INPUT FILE FOR D-FOUNDATIONS")


def test_a_tension_model_writes_its_input_file(tension_model):
    document = tension_model._generate_input()
    assert document["model_type"] == 1
    assert list(tension_model.materials) == ["Sand"]
    assert tension_model.calculation_options.calculation_type is dfo.CalculationType.INDICATION_BEARING_CAPACITY
    assert tension_model.generate_input_file().startswith(b"INPUT FILE FOR D-FOUNDATIONS")


def test_an_invalid_model_says_what_it_lacks():
    options = dfo.TensionPilesCalculationOptions(dfo.CalculationType.INDICATION_BEARING_CAPACITY, False,
                                                 trajectory_begin_end_interval=(-10.0, -20.0, 0.5))
    model = dfo.TensionPilesModel(dfo.ConstructionSequence.CPT_EXCAVATION_INSTALL, options, -1.0)
    with pytest.raises(dfo.ModelError, match=r"^Invalid model: create or import at least 1 profile\.$"):
        model.generate_input_file()


@pytest.mark.parametrize("cpt_file", [
    EXAMPLE_DATA / "cpt_w01.gef",
    pytest.param(FIXTURES / "bro" / "CPT000000003688_IMBRO_A.xml",
                 marks=pytest.mark.skipif(not FIXTURES.exists(), reason="no shared fixtures")),
])
def test_both_models_import_a_profile_from_a_cpt_file(cpt_file, bearing_model, tension_model):
    cpt = dfo.GEFData.from_file(cpt_file)
    bearing_model.import_profile(cpt, [dfo.ProfileLayer(0.0, "Peat")], 1.0, 2.0, -1.0, -15.0, 1.0, -3.0, -10.0, 0.1,
                                 cpt_rule=dfo.CPTRule.CUR)
    tension_model.import_profile(cpt, [dfo.ProfileLayer(0.0, "Sand")], 1.0, 2.0, -1.0, -15.0, -2.0, name="imported",
                                 manual_ground_level=1.5)
    assert bearing_model.profiles[-1]["name"] == cpt.name
    assert tension_model.profiles[-1]["name"] == "imported"


def test_short_cpts_lists_the_profiles_a_calculation_cannot_use(bearing_model):
    assert [cpt["message"] for cpt in bearing_model.short_cpts()] == [
        "Profile 'CPT-01': its CPT ends at -5.0, above its pile tip level -18.0",
        "Profile 'CPT-01': its CPT ends at -5.0, above the end of the trajectory -20.0",
    ]
    assert bearing_model.short_cpts()[0]["cpt_end"] == -5.0


def test_a_long_cpt_is_thinned_on_import_only_when_asked(bearing_model):
    text = "#COLUMNINFO= 1, m, length, 1\n#COLUMNINFO= 2, MPa, qc, 2\n#ZID= 31000, 0.0\n#EOH=\n" + "".join(
        f"{row * 0.002:.3f} {1.0 + row % 5}\n" for row in range(6000))
    cpt = dfo.GEFData.from_text(text, "LONG")
    assert cpt.warnings == []
    layers = [dfo.ProfileLayer(0.0, "Peat")]
    with pytest.raises(dfo.ModelError):
        bearing_model.import_profile(cpt, layers, 0.0, 0.0, -1.0, -10.0, 1.0, 0.0, -5.0, 0.1)
    bearing_model.import_profile(cpt, layers, 0.0, 0.0, -1.0, -10.0, 1.0, 0.0, -5.0, 0.1, thin_cpt=True)
    rows = bearing_model.profiles[-1]["cpt"]["measurements"]
    assert 3000 < len(rows) <= 5000
