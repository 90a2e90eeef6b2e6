"""Model documents read back into models from Python."""

import json

import pytest

import dfoundations as dfo
from conftest import TEST_DATA


@pytest.mark.parametrize("kind", ["bearing_model", "tension_model"])
def test_a_document_is_read_into_its_model_and_written_again(kind, request):
    text = request.getfixturevalue(kind)._generate_input_text(dfo.Metadata(company="Deltares"))
    document = dfo.read_model_document(text)
    assert type(document.model).__name__ == {"bearing_model": "BearingPilesModel",
                                             "tension_model": "TensionPilesModel"}[kind]
    assert document.metadata.company == "Deltares"
    assert document._generate_input_text() == text
    assert document._generate_input() == json.loads(text)
    assert document.generate_input_file().startswith(b"INPUT FILE FOR D-FOUNDATIONS")


def test_a_document_the_operations_would_write_otherwise_is_refused():
    with pytest.raises(ValueError) as raised:
        dfo.read_model_document((TEST_DATA / "bm1-10_model_document.json").read_text())
    assert str(raised.value) == ("Model document: reduction_cone_resistance must be a number: the model takes no "
                                 "other reduction value (currently \"manual\")")


def test_the_model_of_a_document_is_the_document_s_own(bearing_model):
    document = dfo.read_model_document(bearing_model._generate_input_text())
    model = document.model
    del document
    model.create_pile("2", 1.0, 0.0, -1.0, 2.0, 800.0, 600.0)
    assert [pile["name"] for pile in model.piles] == ["1", "2"]


@pytest.mark.parametrize("change, message", [
    (lambda document: document["piles"][0].update(x="3"),
     'Model document: piles[0].x must be a number (currently "3")'),
    (lambda document: document["piles"][0].update(x=[]),
     "Model document: piles[0].x must be a number (currently an array)"),
])
def test_what_the_reader_refuses_is_a_value_error_naming_the_member(bearing_model, change, message):
    document = bearing_model._generate_input()
    change(document)
    with pytest.raises(ValueError) as raised:
        dfo.read_model_document(json.dumps(document))
    assert str(raised.value) == message


def test_a_text_that_is_not_json_is_refused():
    with pytest.raises(ValueError, match=r"^The model document is not JSON: "):
        dfo.read_model_document("{")


def test_a_rule_of_the_model_passes_through(bearing_model):
    document = bearing_model._generate_input()
    document["piles"].append(dict(document["piles"][0]))
    with pytest.raises(dfo.ModelError, match=r"^Pile with name '1' already exists$"):
        dfo.read_model_document(json.dumps(document))
