// Profiles imported from GEF data: the rows, the ground level, the descriptive data and the name.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "model_test_support.hpp"

using namespace model_test;
using ostrand::errors::ModelError;
using ostrand::geo::GEFData;

namespace {

GEFData gef()
{
    GEFData data;
    data.name = "CPT-01";
    data.elevation = {-100.0, -200.0, -300.0};
    data.qc = {1.5, 2.5, 3.5};
    data.ground_level_wrt_reference = 1500.0;
    return data;
}

json imported_cpt(const GEFData& data, ImportProfileOptions options = {})
{
    BearingPilesModel model = bearing_model();
    const std::string material = detail::bearing_default_materials().front().name;
    model.import_profile(data, layers({material}), 10.0, 20.0, -1.0, -20.0, 1.0, -0.5, -10.0, 0.1, options);
    return model.profiles().at(0)["cpt"];
}

}  // namespace

TEST(GefImport, BuildsRowsFromTheColumnsThatArePresent)
{
    GEFData plain = gef();
    EXPECT_EQ(imported_cpt(plain)["measurements"], json::parse("[[-0.1, 1.5], [-0.2, 2.5], [-0.3, 3.5]]"));

    GEFData with_fs = gef();
    with_fs.fs = std::vector<std::optional<double>>{0.01, 0.02, 0.03};
    EXPECT_EQ(imported_cpt(with_fs)["measurements"].at(0), json::parse("[-0.1, 1.5, 0.01]"));

    GEFData with_rf = gef();
    with_rf.Rf = std::vector<std::optional<double>>{0.5, 0.25, 0.125};
    EXPECT_EQ(imported_cpt(with_rf)["measurements"].at(1), json::parse("[-0.2, 2.5, 987000000.0, 25.0]"));

    GEFData both = gef();
    both.fs = std::vector<std::optional<double>>{0.01, 0.02, 0.03};
    both.Rf = std::vector<std::optional<double>>{0.5, 0.25, 0.125};
    EXPECT_EQ(imported_cpt(both)["measurements"].at(2), json::parse("[-0.3, 3.5, 0.03, 987000000.0, 12.5]"));
}

TEST(GefImport, DropsRowsWithAbsentCellsAndPairsUpToTheShorterColumn)
{
    const struct {
        const char* column;
        std::size_t absent_at;
    } cases[] = {{"qc", 0}, {"fs", 1}, {"Rf", 2}};
    for (const auto& c : cases) {
        GEFData data = gef();
        data.fs = std::vector<std::optional<double>>{0.01, 0.02, 0.03};
        data.Rf = std::vector<std::optional<double>>{0.5, 0.25, 0.125};
        const std::string column = c.column;
        auto& cells = column == "qc" ? data.qc : column == "fs" ? *data.fs : *data.Rf;
        cells[c.absent_at] = std::nullopt;
        const json rows = imported_cpt(data)["measurements"];
        ASSERT_EQ(rows.size(), 2u) << c.column;
        for (const json& row : rows) EXPECT_NE(row.at(0), -static_cast<double>(c.absent_at + 1) / 10) << c.column;
    }
    GEFData uneven = gef();
    uneven.qc.push_back(4.5);
    uneven.elevation.pop_back();
    EXPECT_EQ(imported_cpt(uneven)["measurements"].size(), 2u);
}

TEST(GefImport, ShortFrictionColumnsAreOutOfRangeAndRegisterNothing)
{
    for (const char* column : {"fs", "Rf"}) {
        GEFData data = gef();
        (std::string(column) == "fs" ? data.fs : data.Rf) = std::vector<std::optional<double>>{0.1, 0.2};
        BearingPilesModel model = bearing_model();
        const Snapshot before = snapshot(model);
        EXPECT_THROW(model.import_profile(data, layers({detail::bearing_default_materials().front().name}), 0.0, 0.0,
                                          -1.0, -20.0, 1.0, -0.5, -10.0, 0.1),
                     std::out_of_range)
            << column;
        EXPECT_TRUE(snapshot(model) == before);
    }
}

TEST(GefImport, GroundLevelComesFromTheManualValueOrTheGefData)
{
    EXPECT_EQ(imported_cpt(gef())["ground_level"], 1.5);
    EXPECT_EQ(imported_cpt(gef(), {.manual_ground_level = 0.0})["ground_level"], 1.5);
    EXPECT_EQ(imported_cpt(gef(), {.manual_ground_level = -2.25})["ground_level"], -2.25);

    for (std::optional<double> reference : {std::optional<double>{}, std::optional(std::nan(""))}) {
        GEFData data = gef();
        data.ground_level_wrt_reference = reference;
        EXPECT_EQ(imported_cpt(data, {.manual_ground_level = 3.0})["ground_level"], 3.0);
        TensionPilesModel model = tension_model();
        expect_rejected<ModelError>(
            model,
            [&] {
                model.import_profile(data, layers({detail::tension_default_materials().front().name}), 0.0, 0.0, -1.0,
                                     -20.0, -2.0, {.manual_ground_level = 0.0});
            },
            "Could not read ground level from cpt. Please provide a manual ground level.");
    }
}

TEST(GefImport, TakesTheDescriptiveDataThatIsGiven)
{
    const json defaults = imported_cpt(gef());
    EXPECT_EQ(defaults["imported"], true);
    EXPECT_EQ(defaults["project_name"], "Unknown");
    EXPECT_EQ(defaults["project_id"], "");
    EXPECT_EQ(defaults["client_name"], "Unknown");
    EXPECT_EQ(defaults["file_date"], "1900-01-01");
    EXPECT_EQ(defaults["gef_version"], "Unknown");
    EXPECT_EQ(defaults["x"], 987000000.0);
    EXPECT_EQ(defaults["excavation_depth"], 0.0);

    GEFData data = gef();
    data.project_name = "Haven";
    data.project_id = "H-12";
    data.client = "Gemeente";
    data.x_y_coordinates = std::pair{155000.0, 463000.0};
    data.excavation_depth = 1.25;
    data.gef_version_number = "1.1.0";
    data.gef_file_date = "2021-03-04";
    const json cpt = imported_cpt(data, {.cpt_rule = CPTRule::QC_ONLY, .min_layer_thickness = 0.5});
    EXPECT_EQ(cpt["project_name"], "Haven");
    EXPECT_EQ(cpt["project_id"], "H-12");
    EXPECT_EQ(cpt["client_name"], "Gemeente");
    EXPECT_EQ(cpt["x"], 155000.0);
    EXPECT_EQ(cpt["y"], 463000.0);
    EXPECT_EQ(cpt["excavation_depth"], 1.25);
    EXPECT_EQ(cpt["gef_version"], "1.1.0");
    EXPECT_EQ(cpt["file_date"], "2021-03-04");
    EXPECT_EQ(cpt["rule"], 3);
    EXPECT_EQ(cpt["min_layer_thickness"], 0.5);

    GEFData empty = gef();
    empty.project_name = "";
    empty.excavation_depth = 0.0;
    EXPECT_EQ(imported_cpt(empty)["project_name"], "Unknown");
}

TEST(GefImport, ReadsTheFileDateAsYearMonthDayAndIgnoresAnythingElse)
{
    const struct {
        const char* text;
        const char* date;
    } cases[] = {
        {"2021-03-04", "2021-03-04"}, {"2021-3-4", "2021-03-04"},   {"2020-02-29", "2020-02-29"},
        {"2021-02-29", "1900-01-01"}, {"04-03-2021", "1900-01-01"}, {"2021-03-04 10:00", "1900-01-01"},
        {"2021/03/04", "1900-01-01"}, {"2021-13-01", "1900-01-01"}, {"2021-00-10", "1900-01-01"},
        {"0000-01-01", "1900-01-01"}, {"21-03-04", "1900-01-01"},   {"", "1900-01-01"},
    };
    for (const auto& c : cases) {
        GEFData data = gef();
        data.gef_file_date = c.text;
        EXPECT_EQ(imported_cpt(data)["file_date"], c.date) << c.text;
    }
}

TEST(GefImport, RegistersUnderTheGivenNameOrTheGefName)
{
    TensionPilesModel model = tension_model();
    const std::string material = detail::tension_default_materials().front().name;
    const auto import = [&](ImportProfileOptions options) {
        return [&model, &material, options] {
            model.import_profile(gef(), layers({material}), 1.0, 2.0, -1.0, -20.0, -3.0, options);
        };
    };
    import({})();
    import({.name = "Mine"})();
    expect_rejected<ModelError>(model, import({.name = ""}), "Profile with name 'CPT-01' already exists");
    const json profiles = model.profiles();
    EXPECT_EQ(profiles.at(0)["name"], "CPT-01");
    EXPECT_EQ(profiles.at(1)["name"], "Mine");
    EXPECT_EQ(profiles.at(1)["x"], 1.0);
    EXPECT_EQ(profiles.at(1)["top_tension_zone"], -3.0);
    EXPECT_EQ(profiles.at(1)["pile_tip_level"], -20.0);
    EXPECT_EQ(profiles.at(1)["overconsolidation_ratio"], 1.0);
}

TEST(GefImport, TheStaticConversionReturnsTheGefName)
{
    const auto [name, cpt] = detail::Model::_cpt_from_gef_data(gef(), 2.0);
    EXPECT_EQ(name, "CPT-01");
    EXPECT_EQ(cpt.ground_level(), 2.0);
    EXPECT_TRUE(cpt.imported());
    EXPECT_EQ(cpt.measurements().size(), 3u);
}

// A CPT of 12,000 rows (2 mm apart) with two thin soft layers and one hard peak in it.
GEFData long_gef()
{
    GEFData data = gef();
    data.elevation.clear();
    data.qc.clear();
    data.fs.emplace();
    for (int row = 0; row < 12000; ++row) {
        data.elevation.push_back(-2.0 * row);
        const double qc = row == 7001 ? 40.0 : row == 3000 || row == 9000 ? 0.1 : 5.0 + (row % 7) * 0.01;
        data.qc.push_back(qc);
        data.fs->push_back(row == 11 ? std::nullopt : std::optional<double>(0.05));
    }
    return data;
}

TEST(GefImport, ThinsALongCptOnlyWhenAskedKeepingBoundariesAndExtremes)
{
    const GEFData data = long_gef();
    EXPECT_THROW(imported_cpt(data), ModelError);  // more than 5000 rows, as before

    const json rows = imported_cpt(data, {.thin_cpt = true})["measurements"];
    ASSERT_LE(rows.size(), 5000u);
    EXPECT_GE(rows.size(), 4500u);  // most of the room is used
    const auto has = [&](double level, double qc) {
        for (const auto& row : rows)
            if (row[0] == level && row[1] == qc) return true;
        return false;
    };
    EXPECT_TRUE(has(0.0, 5.0));                           // the first row
    EXPECT_TRUE(has(-23.998, 5.0 + (11999 % 7) * 0.01));  // the last
    EXPECT_TRUE(has(-6.0, 0.1));                          // both soft spots and the peak
    EXPECT_TRUE(has(-18.0, 0.1));
    EXPECT_TRUE(has(-14.002, 40.0));
    // The top of the one layer of imported_cpt (-1.0) and its pile tip level (-20.0).
    EXPECT_TRUE(has(-1.0, 5.0 + (500 % 7) * 0.01));
    EXPECT_TRUE(has(-20.0, 5.0 + (10000 % 7) * 0.01));
    for (std::size_t i = 1; i < rows.size(); ++i) ASSERT_LT(rows[i][0], rows[i - 1][0]) << "rows stay in order";
    for (const auto& row : rows) ASSERT_NE(row[0], -0.022) << "a row without fs stays out";

    GEFData short_data = gef();
    EXPECT_EQ(imported_cpt(short_data, {.thin_cpt = true}), imported_cpt(short_data));
}

TEST(CptReach, ListsProfilesWhoseCptEndsAbovePileTipOrTrajectoryEnd)
{
    const std::string material = detail::bearing_default_materials().front().name;
    BearingPilesModel model = bearing_model();  // its trajectory runs from -10.0 to -20.0
    const Measurements to_25{{0.0, 1.0}, {-25.0, 9.0}};
    const Measurements to_15{{0.0, 1.0}, {-15.0, 9.0}};
    const Measurements to_5{{0.0, 1.0}, {-5.0, 9.0}};
    model.create_profile("deep", layers({material}), 0, 0, to_25, -1.0, -18.0, 1.0, 0.0, -5.0, 0.1);
    model.create_profile("mid", layers({material}), 0, 0, to_15, -1.0, -12.0, 1.0, 0.0, -5.0, 0.1);
    model.create_profile("shallow", layers({material}), 0, 0, to_5, -1.0, -12.0, 1.0, 0.0, -5.0, 0.1);

    std::vector<std::string> messages;
    for (const auto& cpt : model.short_cpts()) messages.push_back(cpt.message());
    EXPECT_EQ(messages, (std::vector<std::string>{
                            "Profile 'mid': its CPT ends at -15.0, above the end of the trajectory -20.0",
                            "Profile 'shallow': its CPT ends at -5.0, above its pile tip level -12.0",
                            "Profile 'shallow': its CPT ends at -5.0, above the end of the trajectory -20.0",
                        }));
    EXPECT_EQ(model.profiles().size(), 3u);  // a check to ask for: the operations took all three
}
