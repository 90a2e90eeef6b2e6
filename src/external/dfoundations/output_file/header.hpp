// What the reader derives from the tree once it stands: the index, the header and the warnings.
#pragma once

#include <string_view>
#include <unordered_map>
#include <vector>

#include "ostrand/external/dfoundations/output_file.hpp"

namespace ostrand::external::dfoundations::detail {

// Every section and table under `root` in file order, and both by path. A path already taken (names
// holding "/" can make two equal) gets "#2", "#3", ... on the later one.
void index_file(Section& root, std::vector<const Section*>& sections, std::vector<const OutputTable*>& tables,
                std::unordered_map<std::string_view, const Section*>& section_index,
                std::unordered_map<std::string_view, const OutputTable*>& table_index);

// The first section of that name under `from`, depth first in file order.
const Section* find_section(const Section& from, std::string_view name);

FileHeader read_header(const Section& root);

// An unknown version, tables that cannot be read, DataCount lines that disagree with the rows.
std::vector<ReadWarning> check_file(const FileHeader& header, const std::vector<const OutputTable*>& tables);

}  // namespace ostrand::external::dfoundations::detail
