// Whether the CPTs of a model reach deep enough, and thinning a CPT that has more rows than a
// profile takes.
#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

#include "ostrand/external/dfoundations/models.hpp"
#include "ostrand/external/dfoundations/number_format.hpp"

namespace ostrand::external::dfoundations {

std::string ShortCPT::message() const
{
    return "Profile '" + profile + "': its CPT ends at " + format_number(cpt_end) + ", above " + needed_for + " " +
           format_number(needed_level);
}

namespace detail {

namespace {

// The level of the lowest row; absent for a CPT without rows.
std::optional<double> lowest_level(const Measurements& rows)
{
    std::optional<double> lowest;
    for (const auto& row : rows)
        if (!row.empty() && (!lowest || row.front() < *lowest)) lowest = row.front();
    return lowest;
}

}  // namespace

std::vector<ShortCPT> Model::short_cpts() const
{
    const auto& trajectory = calculation_options_.settings().trajectory_begin_end_interval;
    std::vector<ShortCPT> found;
    for (const auto& [name, profile] : profiles_) {
        const auto cpt_end = lowest_level(profile.cpt().measurements());
        if (!cpt_end) continue;
        const auto& pile_tip = profile.options().pile_tip_level;
        if (pile_tip && *cpt_end > *pile_tip) found.push_back({name, *cpt_end, *pile_tip, "its pile tip level"});
        if (trajectory) {
            const double end = std::min((*trajectory)[0], (*trajectory)[1]);
            if (*cpt_end > end) found.push_back({name, *cpt_end, end, "the end of the trajectory"});
        }
    }
    return found;
}

}  // namespace detail

namespace {

// The rows a profile takes from GEF data: a qc, and an fs and an Rf where the data has those.
std::vector<std::size_t> usable_rows(const geo::GEFData& data)
{
    const std::size_t pairs = std::min(data.elevation.size(), data.qc.size());
    std::vector<std::size_t> rows;
    for (std::size_t i = 0; i < pairs; ++i) {
        const bool fs = !data.fs || data.fs->empty() || (i < data.fs->size() && (*data.fs)[i]);
        const bool rf = !data.Rf || data.Rf->empty() || (i < data.Rf->size() && (*data.Rf)[i]);
        if (data.qc[i] && fs && rf) rows.push_back(i);
    }
    return rows;
}

// The usable rows just above and just below `level_mm` (the rows run from the top down, but a
// file that does not is searched whole).
void keep_around(const geo::GEFData& data, const std::vector<std::size_t>& rows, double level_mm,
                 std::set<std::size_t>& kept)
{
    std::optional<std::size_t> above;
    std::optional<std::size_t> below;
    for (const std::size_t row : rows) {
        const double level = data.elevation[row];
        if (level >= level_mm && (!above || level < data.elevation[*above])) above = row;
        if (level <= level_mm && (!below || level > data.elevation[*below])) below = row;
    }
    if (above) kept.insert(*above);
    if (below) kept.insert(*below);
}

template <class T>
std::vector<T> pick(const std::vector<T>& values, const std::set<std::size_t>& rows)
{
    std::vector<T> picked;
    picked.reserve(rows.size());
    for (const std::size_t row : rows) picked.push_back(values[row]);
    return picked;
}

}  // namespace

std::vector<double> levels_to_keep(const std::vector<ProfileLayer>& layers, double pile_tip_level)
{
    std::vector<double> levels{pile_tip_level};
    for (const auto& layer : layers) levels.push_back(layer.top_level());
    return levels;
}

geo::GEFData thinned_gef_data(const geo::GEFData& data, const std::vector<double>& keep_levels, std::size_t max_rows)
{
    const std::vector<std::size_t> rows = usable_rows(data);
    if (rows.size() <= max_rows) return data;

    std::set<std::size_t> kept{rows.front(), rows.back()};
    for (const double level : keep_levels)
        if (std::isfinite(level)) keep_around(data, rows, level * 1000, kept);
    // Each run gives at most two rows; the runs are as short as the remaining room allows.
    const std::size_t runs = (max_rows > kept.size() ? max_rows - kept.size() : 0) / 2;
    if (runs > 0) {
        const std::size_t run = (rows.size() + runs - 1) / runs;
        for (std::size_t start = 0; start < rows.size(); start += run) {
            const auto first = rows.begin() + static_cast<std::ptrdiff_t>(start);
            const auto last = rows.begin() + static_cast<std::ptrdiff_t>(std::min(start + run, rows.size()));
            const auto [lowest, highest] = std::minmax_element(
                first, last, [&](std::size_t a, std::size_t b) { return *data.qc[a] < *data.qc[b]; });
            kept.insert(*lowest);
            kept.insert(*highest);
        }
    }

    geo::GEFData thinned = data;
    thinned.elevation = pick(data.elevation, kept);
    thinned.qc = pick(data.qc, kept);
    if (data.fs && !data.fs->empty()) thinned.fs = pick(*data.fs, kept);
    if (data.Rf && !data.Rf->empty()) thinned.Rf = pick(*data.Rf, kept);
    return thinned;
}

}  // namespace ostrand::external::dfoundations
