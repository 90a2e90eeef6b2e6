"""The value objects: keyword options with the C++ defaults, their checks and their documents."""

import pytest

import dfoundations as dfo


def test_metadata_defaults_and_keywords():
    metadata = dfo.Metadata()
    assert (metadata.file_name, metadata.company, metadata.title_1, metadata.project_id) == ("-", "-", "-", "")
    assert (metadata.current_date, metadata.current_time) == (False, False)
    named = dfo.Metadata("quay.foi", company="Deltares", project_id="P-12", current_date=True)
    assert (named.file_name, named.company, named.project_id, named.current_date) == ("quay.foi", "Deltares", "P-12",
                                                                                      True)
    document = dfo.Metadata(company="Deltares")._serialize()
    assert isinstance(document, dict) and "Deltares" in document.values()


@pytest.mark.parametrize("arguments, message", [
    ({"title_1": "é" * 51}, "Maximum amount of characters for title is 50 (51)."),
    ({"project_id": "x" * 21}, "Maximum amount of characters for project_id is 20 (21)."),
])
def test_metadata_counts_characters_not_bytes(arguments, message):
    assert dfo.Metadata(title_1="é" * 50).title_1 == "é" * 50
    with pytest.raises(dfo.ModelError) as raised:
        dfo.Metadata(**arguments)
    assert str(raised.value) == message


def test_bearing_options_take_keywords_only_and_keep_their_defaults():
    options = dfo.BearingPilesCalculationOptions(dfo.CalculationType.COMPLETE_CALCULATION, True, cpt_test_level=-1.0)
    assert options.calculation_type is dfo.CalculationType.COMPLETE_CALCULATION and options.rigid
    assert options._main_calculation_type is dfo._MainCalculationType.VERIFICATION
    document = options._serialize()
    assert isinstance(document, dict)
    with pytest.raises(TypeError):
        dfo.BearingPilesCalculationOptions(dfo.CalculationType.COMPLETE_CALCULATION, True, 150)


@pytest.mark.parametrize("make, message", [
    (lambda: dfo.BearingPilesCalculationOptions(dfo.CalculationType.INDICATION_BEARING_CAPACITY, False),
     "'trajectory_begin_end_interval' must be set for calculation type CalculationType.INDICATION_BEARING_CAPACITY"),
    (lambda: dfo.BearingPilesCalculationOptions(dfo.CalculationType.COMPLETE_CALCULATION, False),
     "'cpt_test_level' must be set for calculation type CalculationType.COMPLETE_CALCULATION"),
    (lambda: dfo.TensionPilesCalculationOptions(dfo.CalculationType.DESIGN_CALCULATION, False),
     "Calculation type for Tension Piles (EC7-NL) model must be one of "
     "(<CalculationType.INDICATION_BEARING_CAPACITY: 2>, <CalculationType.BEARING_CAPACITY_AT_FIXED_PILE_TIP_LEVEL: 3>, "
     "<CalculationType.PILE_TIP_LEVEL_AND_NET_BEARING_CAPACITY: 4>) (current: CalculationType.DESIGN_CALCULATION)"),
])
def test_calculation_options_refuse_what_a_calculation_type_lacks(make, message):
    with pytest.raises(dfo.ModelError) as raised:
        make()
    assert str(raised.value) == message


def test_tension_options_name_their_valid_types():
    assert dfo.TensionPilesCalculationOptions.VALID_CALCULATION_TYPES == (
        dfo.CalculationType.INDICATION_BEARING_CAPACITY, dfo.CalculationType.BEARING_CAPACITY_AT_FIXED_PILE_TIP_LEVEL,
        dfo.CalculationType.PILE_TIP_LEVEL_AND_NET_BEARING_CAPACITY)
    options = dfo.TensionPilesCalculationOptions(dfo.CalculationType.PILE_TIP_LEVEL_AND_NET_BEARING_CAPACITY, False,
                                                 trajectory_begin_end_interval=(0.0, -10.0, 1.0),
                                                 net_bearing_capacity=400, surcharge=2.5)
    assert options._main_calculation_type is dfo._MainCalculationType.PRELIMINARY_DESIGN


def test_profile_layer_takes_its_options_by_position_or_name():
    layer = dfo.ProfileLayer(-1.5, "Sand", ocr=2.0)
    assert (layer.top_level, layer.material, layer.ad_pore_pressure_at_top, layer.ocr) == (-1.5, "Sand", 0.0, 2.0)
    assert dfo.ProfileLayer(0.0, "Clay", 1.0, 2.0).ad_pore_pressure_at_bottom == 2.0


@pytest.mark.parametrize("shape, base, code, dimensions", [
    (dfo.RoundPile(0.4), dfo.PileShape, "ROUND", {"diameter": 0.4}),
    (dfo.RectPile(0.3, 0.5), dfo.PileShape, "RECT", {"width": 0.3, "length": 0.5}),
    (dfo.SectionPile(0.3, 0.5), dfo.RectPile, "SECTION", {"width": 0.3, "length": 0.5}),
    (dfo.RectEnlPile(0.6, 0.6, 0.5, 0.4, 0.4), dfo.PileShape, "RECT_ENL", {"base_height": 0.5, "shaft_width": 0.4}),
    (dfo.UserPile(1.2, 0.1), dfo.PileShape, "USER_DEFINED", {"circumference": 1.2, "cross_section": 0.1}),
    (dfo.TaperPile(0.2, 0.01), dfo.PileShape, "TAPER", {"diameter_tip": 0.2, "increase": 0.01}),
    (dfo.HollowPile(1.0, 250.0), dfo.PileShape, "HOLLOW", {"internal_diameter": 0.5}),
    (dfo.HollowOpenPile(1.0, 100.0), dfo.PileShape, "HOL_OPEN", {"internal_diameter": 0.8}),
    (dfo.LostTipPile(0.5, 0.4), dfo.PileShape, "LOST_TIP", {"base_diameter": 0.5, "pile_diameter": 0.4}),
    (dfo.RoundEnlPile(0.5, 0.4, 0.3), dfo.LostTipPile, "ROUND_ENL", {"base_height": 0.3}),
    (dfo.DrivenBasePile(0.5, 0.4, 0.3), dfo.RoundEnlPile, "DRIVEN", {"base_diameter": 0.5}),
    (dfo.HShapedPile(0.4, 0.3, 10.0, 15.0), dfo.PileShape, "H", {"thickness_web": 10.0, "thickness_flange": 15.0}),
])
def test_shapes_keep_their_dimensions_code_and_class_tree(shape, base, code, dimensions):
    assert isinstance(shape, base)
    assert shape._shape is dfo.PileShape._Shape[code]
    for name, value in dimensions.items():
        assert getattr(shape, name) == pytest.approx(value)
    document = shape._serialize()
    assert document["num"] == dfo.PileShape._Shape[code].value
    assert [list(pair) for pair in shape._data] == document["data"]


@pytest.mark.parametrize("make, message", [
    (lambda: dfo.HollowPile(0.5, 250.0),
     "'wall_thickness' must be smaller than half of 'external_diameter' (currently 0.25 >= 0.25)"),
    (lambda: dfo.HollowOpenPile(0.4, 300.0),
     "'wall_thickness' must be smaller than half of 'external_diameter' (currently 0.3 >= 0.2)"),
])
def test_shapes_check_their_dimensions(make, message):
    with pytest.raises(dfo.ModelError) as raised:
        make()
    assert str(raised.value) == message


def test_colours_convert_to_and_from_the_deltares_code():
    color = dfo.Color(90, 60, 30)
    assert color.deltares == 90 + 256 * 60 + 65536 * 30
    assert dfo.Color.from_deltares(color.deltares) == color
    assert dfo.Color.white() == dfo.Color(255, 255, 255)
    with pytest.raises(TypeError):
        dfo.Color(256, 0, 0)
