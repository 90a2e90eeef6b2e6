"""Validates the model documents against docs/model_document.schema.json: every test document, the
documents `dfoundations input --example` prints, and a few that the schema must refuse.

    model_document_schema_check.py SCHEMA PROGRAM TEST_DATA_DIR [FIXTURES_DIR]

With the folder of real D-Foundations files, the documents `dfoundations foi` prints for its input
files are checked too.
"""
import copy
import glob
import json
import os
import subprocess
import sys

SKIPPED = 77  # ctest's SKIP_RETURN_CODE for this test

try:
    import jsonschema
except ImportError:
    print("skipped: python3-jsonschema is not installed (scripts/setup installs it)")
    sys.exit(SKIPPED)


def main(schema_path, program, data_dir, fixtures_dir=""):
    with open(schema_path, encoding="utf-8") as schema_file:
        schema = json.load(schema_file)
    jsonschema.Draft202012Validator.check_schema(schema)
    validator = jsonschema.Draft202012Validator(schema)

    documents = {}
    for path in sorted(glob.glob(os.path.join(data_dir, "*_model_document.json"))):
        with open(path, encoding="utf-8") as document_file:
            documents[os.path.basename(path)] = json.load(document_file)
    for kind in ("bearing", "tension"):
        printed = subprocess.run([program, "input", "--example", kind], check=True, capture_output=True, text=True)
        documents["--example " + kind] = json.loads(printed.stdout)
    input_files = [path for pattern in ("foi*/*.foi", "input-files/*/*.foi", "core/*/*.foi")
                   for path in glob.glob(os.path.join(fixtures_dir, pattern))] if fixtures_dir else []
    for path in sorted(input_files):
        printed = subprocess.run([program, "foi", path], check=True, capture_output=True, text=True)
        documents["foi " + os.path.relpath(path, fixtures_dir)] = json.loads(printed.stdout)
    if len(documents) < 5:
        return "expected the three test documents and two examples, found: " + ", ".join(documents)

    failures = []
    for name, document in documents.items():
        for error in validator.iter_errors(document):
            failures.append(f"{name}: {'/'.join(map(str, error.path))}: {error.message}")

    example = documents["--example bearing"]
    refused = {
        "a colour of -1": lambda d: d["soils"]["Clay"].update(color=-1),
        "a member no model writes": lambda d: d["piles"][0].update(colour=1),
        "a date that is not dd/mm/yyyy": lambda d: d["metadata"].update(date="not a date"),
        "no piles member": lambda d: d.pop("piles"),
        "a measurement that is a text": lambda d: d["profiles"][0]["cpt"]["measurements"][0].append("1"),
    }
    for what, change in refused.items():
        document = copy.deepcopy(example)
        change(document)
        if validator.is_valid(document):
            failures.append(f"the schema takes {what}")

    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
