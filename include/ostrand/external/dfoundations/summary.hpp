// Results of many output files gathered for people: one tidy table per calculation kind, with names
// where the file has indices, ready to compare, filter and plot.
//
//     std::vector<NamedOutputFile> files = {{"bm1-10.fod", &bm1_10}, {"bm1-16.fod", &bm1_16}};
//     for (const SummaryTable& table : summary(files)) {
//         // table.calculation: "Preliminary Design, Indication bearing capacity"
//         // table.data: file, calculation, pile_type, cpt, Level, RbCalMax, RsCalMax, ...
//     }
#pragma once

#include <string>
#include <vector>

#include "ostrand/external/dfoundations/output.hpp"
#include "ostrand/external/dfoundations/output_file.hpp"

namespace ostrand::external::dfoundations {

// An output file and the name it goes by in a summary, usually its path.
struct NamedOutputFile {
    std::string name;                 // shown in the column "file"
    const OutputFile* file = nullptr;  // not owned; a null file is passed over
};

// The rows of one calculation kind, named as D-Foundations names it in the file ("Dump for option
// ..."). Every table starts with the columns "file" and "calculation"; then, by kind:
// - Bearing Piles preliminary design: one row per pile type, CPT and pile-tip level: "pile_type",
//   "BetaFactor", "SFactor", "cpt", the result columns (Level, RbCalMax, ..., RcNetD, Hmv or those of
//   the file's kind of design), the CPT's average pile factors and the calculation parameters;
// - Tension Piles: one row per result table row: "table", "pile_group", "pile_type", "cpt" and the
//   table's columns;
// - verification design: one row per iteration: "iteration", "depth" and its values;
// - verification: one row per pile type's NEN results: "pile_type" (its position), the global NEN
//   numbers and those of the pile type;
// - any other kind: one row per file with the version.
// Indices that only point into the file (IterationIndex, CptIndex, ResultIndex, ...) give way to the
// names they point to. Tables come in the order their kinds first appear among the files.
struct SummaryTable {
    std::string calculation;  // the kind's name
    DataTable data;           // the rows of every file of that kind
};

// The files' results, one table per calculation kind; a null file is passed over.
// @python summary(files) takes output files, paths or a list of them and gives a dict of DataFrames
std::vector<SummaryTable> summary(const std::vector<NamedOutputFile>& files);

// One summary table as one line of JSON text ending in a line feed:
// {"calculation": ..., "columns": [{"name": ..., "type": "integer"|"real"|"text"}, ...], "rows": [[...], ...]}.
std::string to_json(const SummaryTable& table);

// The name of the file's calculation kind, as D-Foundations prints it ("Dump for option ..."), else
// made from its header in the same words ("Verification, Complete"; "Shallow Foundations (EC7-NL),
// Verification, Complete" for a model other than Bearing Piles).
std::string calculation_name(const OutputFile& file);

}  // namespace ostrand::external::dfoundations
