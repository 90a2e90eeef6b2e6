"""The enumerations are real Python enums with the library's members and values."""

import enum

import pytest

import dfoundations as dfo


@pytest.mark.parametrize("enumeration, members", [
    (dfo.SoilType, {"GRAVEL": 0, "SAND": 1, "LOAM": 2, "CLAY": 3, "PEAT": 4}),
    (dfo.MaxConeResistType, {"STANDARD": 0, "MANUAL": 1}),
    (dfo.CPTRule, {"NEN": 0, "CUR": 1, "TYPE_3": 2, "QC_ONLY": 3}),
    (dfo.ConstructionSequence, {"CPT_EXCAVATION_INSTALL": 1, "INSTALL_CPT_EXCAVATION": 2,
                                "EXCAVATION_CPT_INSTALL": 3, "EXCAVATION_INSTALL_CPT": 4,
                                "INSTALL_EXCAVATION_CPT": 5, "CPT_INSTALL_EXCAVATION": 6,
                                "EXCAVATION_CPT_BOTH_BEFORE_AND_AFTER_INSTALL": 7}),
    (dfo.CalculationType, {"DESIGN_CALCULATION": 0, "COMPLETE_CALCULATION": 1, "INDICATION_BEARING_CAPACITY": 2,
                           "BEARING_CAPACITY_AT_FIXED_PILE_TIP_LEVEL": 3,
                           "PILE_TIP_LEVEL_AND_NET_BEARING_CAPACITY": 4}),
    (dfo.PileTypeClayLoamPeat, {"ACCORDING_TO_STANDARD": 0, "USER_DEFINED": 1}),
    (dfo.PileLoadSettlementCurve, {"ONE": 0, "TWO": 1, "THREE": 2}),
    (dfo.PileMaterial, {"CONCRETE": 0, "STEEL": 1, "TIMBER": 2, "USER_DEFINED": 3}),
    (dfo.PileSlipLayer, {"NONE": 0, "SYNTHETIC": 1, "BENTONITE": 2, "BITUMEN": 3, "USER_DEFINED": 4}),
    (dfo._MainCalculationType, {"PRELIMINARY_DESIGN": 0, "VERIFICATION": 1}),
    (dfo._ReductionConeResistance, {"SAFE": 0, "BEGEMANN": 1, "MANUAL": 2}),
    (dfo.PileShape._Shape, {"ROUND": 0, "RECT": 1, "ROUND_ENL": 2, "RECT_ENL": 3, "TAPER": 4, "HOLLOW": 5,
                            "LOST_TIP": 6, "DRIVEN": 7, "SECTION": 8, "HOL_OPEN": 9, "H": 10, "USER_DEFINED": 11}),
])
def test_the_distinct_members_and_their_values(enumeration, members):
    assert issubclass(enumeration, enum.Enum)
    assert {member.name: member.value for member in enumeration} == members


def test_pile_type_has_its_28_members_in_order():
    names = [member.name for member in dfo.PileType]
    assert len(names) == 28
    assert names[0] == "PREFAB_CONCRETE" and names[11] == "CONTINUOUS_FLIGHT_AUGER" and names[27] == "USER_DEFINED"
    assert [member.value for member in dfo.PileType] == list(range(28))


def test_an_alias_is_the_same_member_and_prints_under_the_first_name():
    assert dfo.CPTRule.NEN_STRESS is dfo.CPTRule.NEN
    assert dfo.PileMaterial.WOOD is dfo.PileMaterial.TIMBER
    assert str(dfo.PileMaterial.WOOD) == "PileMaterial.TIMBER"
    assert repr(dfo.CalculationType.INDICATION_BEARING_CAPACITY) == "<CalculationType.INDICATION_BEARING_CAPACITY: 2>"


def test_a_member_is_never_a_bare_integer():
    assert dfo.SoilType.SAND != 1
    with pytest.raises(TypeError):
        dfo.BearingPilesCalculationOptions(2, False)


@pytest.mark.parametrize("value, text", [(0.3, "0.3"), (2.0, "2.0"), (1e-05, "1e-05"), (987000000.0, "987000000.0"),
                                         (5, "5"), (float("nan"), "nan")])
def test_numbers_are_written_as_the_library_writes_them(value, text):
    assert dfo.format_number(value) == text


def test_the_naming_tables_cover_their_enumerations():
    assert set(dfo._type_naming()) == set(dfo.PileType)
    assert set(dfo._material_naming()) == set(dfo.PileMaterial)
    assert set(dfo._slip_layer_naming()) == set(dfo.PileSlipLayer)
    assert all(isinstance(text, str) and text for text in dfo._type_naming().values())
