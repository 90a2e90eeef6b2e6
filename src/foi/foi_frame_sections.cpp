// The frame of the input file: header, versions, model kind, run identification and the sections that a
// pile model leaves at their new-model contents.
#include "foi/foi_sections.hpp"

#include <optional>

namespace ostrand::foi {

std::string_view code_label(const DocumentNode& node, std::optional<std::string_view> (*lookup)(std::int64_t),
                            std::string_view what)
{
    const std::int64_t code = node.integer();
    const auto found = lookup(code);
    if (!found) node.fail("has the unknown " + std::string(what) + " code " + std::to_string(code) + ".");
    return *found;
}

std::int64_t code_in_range(const DocumentNode& node, std::int64_t first, std::int64_t last, std::string_view what)
{
    const std::int64_t code = node.integer();
    if (code < first || code > last)
        node.fail("has the unknown " + std::string(what) + " code " + std::to_string(code) + ".");
    return code;
}

void write_switch(FoiText& out, bool on, std::string_view caption)
{
    out.line(std::string(on ? "1" : "0") + " : " + std::string(caption) + " = " + std::string(truth(on)));
}

bool write_switch_of_19(FoiText& out, const DocumentNode& node, std::string_view caption, std::string_view lacks,
                        Layout layout)
{
    if (!layout.v25) {
        write_switch(out, node.boolean(), caption);
        return true;
    }
    if (node.boolean()) node.fail("is true, but D-Foundations 25.1 " + std::string(lacks) + "; write the 19 layout.");
    return false;
}

void write_overrule(FoiText& out, const DocumentNode& node, std::string_view caption, std::string_view value_caption)
{
    const auto value = node.optional_number();
    write_switch(out, value.has_value(), caption);
    if (value) out.setting(fixed(*value, 12, 2), value_caption);
}

Layout layout_of(const DocumentNode& document)
{
    // Documents of earlier releases name the layout "input_file_version"; one that names both must
    // give one layout.
    std::optional<int> layout;
    for (const char* member : {"layout", "input_file_version"}) {
        if (!document.json().contains(member)) continue;
        const DocumentNode node = document[member];
        const Json& value = node.json();
        if (!value.is_number()) node.fail(std::string("must be 19, 23 or 25 (found ") + value.type_name() + ").");
        if (!value.is_number_integer() || (value != 19 && value != 23 && value != 25))
            node.fail("is " + value.dump() +
                      "; the input file layouts are 19 (D-Foundations 19.x), 23 (D-Foundations 23.x) and 25 "
                      "(D-Foundations 25.1).");
        if (layout && value != *layout)
            node.fail("is " + value.dump() + ", but 'layout' is " + std::to_string(*layout) + ".");
        layout = value.get<int>();
    }
    return layout_of_version(layout.value_or(19));
}

void open_table(FoiText& out, const std::vector<std::string_view>& columns, std::size_t rows, Layout layout)
{
    out.line("[TABLE]");
    if (layout.since_23()) out.line("DataCount=" + std::to_string(rows));
    if (layout.since_23() && rows == 0) return;
    out.line("[COLUMN INDICATION]");
    for (const std::string_view column : columns) out.line(column);
    out.line("[END OF COLUMN INDICATION]");
    out.line("[DATA]");
}

void close_table(FoiText& out, std::size_t rows, Layout layout)
{
    if (!layout.since_23() || rows > 0) out.line("[END OF DATA]");
    out.line("[END OF TABLE]");
}

void write_header(FoiText& out, const DocumentNode& metadata, Layout layout)
{
    const auto field = [&metadata](std::string_view key) {
        const DocumentNode node = metadata[key];
        return line_text(node.text(), node);
    };
    out.line("INPUT FILE FOR D-FOUNDATIONS");
    out.line("==============================================================================");
    out.line("COMPANY    :    " + field("company"));
    out.line();
    out.line("DATE       : " + field("date"));
    out.line("TIME       : " + field("time"));
    out.line("FILENAME   : " + field("file_name"));
    out.line(layout.v25   ? "CREATED BY : D-Foundations version 25.1.0.2830"
             : layout.v23 ? "CREATED BY : D-Foundations version 23.1.1.40340"
                          : "CREATED BY : D-Foundations Console version 19.2.0.28503");
    out.line("==========================    BEGINNING OF DATA     ==========================");
    out.line("[INPUT DATA]");
    out.line("[VERSION]");
    out.line(layout.v25 ? "Soil=1013" : layout.v23 ? "Soil=1010" : "Soil=1005");
    out.line(layout.v25 ? "D-Foundations=1033" : layout.v23 ? "D-Foundations=1024" : "D-Foundations=1015");
    out.line("[END OF VERSION]");
    out.line();
    out.line("[VERSION EXTERNALS]");
    out.line(layout.v25   ? "DGSFoundationCalc.dll=25.1.0.2830"
             : layout.v23 ? "DGSFoundationCalc.dll=23.1.1.40340"
                          : "DGSFoundationCalc.dll=19.1.2.28503");
    out.line("[END OF VERSION EXTERNALS]");
    out.line();
}

void write_model(FoiText& out, ModelKind kind, Layout layout)
{
    out.line("[MODEL]");
    out.line(kind == ModelKind::BEARING ? "0 : Model = Bearing Piles (EC7-NL)" : "1 : Model = Tension Piles (EC7-NL)");
    // 25.1 takes the undrained shear strength from the CPTs or from the materials; a new model, and
    // every file it converts, takes it from the CPTs.
    if (layout.v25) out.line("0 : CuValues = Based on CPTs");
    out.line("[END OF MODEL]");
}

// Seven lines: the three people and organisations, the two titles, the project number (a dash when
// there is none, as in a new model's third title line) and the location.
void write_run_identification(FoiText& out, const DocumentNode& metadata, Layout layout)
{
    const auto field = [&metadata](std::string_view key) {
        const DocumentNode node = metadata[key];
        return line_text(node.text(), node);
    };
    out.line();
    if (!layout.since_23()) out.line();
    out.line("[RUN IDENTIFICATION]");
    out.line(field("geotechnical_consultant"));
    out.line(field("design_engineer"));
    out.line(field("principal"));
    out.line(field("title_1"));
    out.line(field("title_2"));
    const std::string project_id = field("project_id");
    out.line(project_id.empty() ? "-" : project_id);
    out.line(field("location"));
    out.line("[END OF RUN IDENTIFICATION]");
}

namespace {

// The De Beer method is Belgian; 23.x and 25.1 have no such section.
void write_de_beer(FoiText& out)
{
    out.line("[DE BEER]");
    out.line("  0.0360 : Cone diameter [m]");
    out.line("    1.00 : Installation factor [-]");
    out.line("   1.000 : Scale factor [-]");
    out.line("    0.00 : Trajectory begin [m]");
    out.line("    0.00 : Trajectory end [m]");
    out.line("    1.00 : Trajectory interval [m]");
    out.line("0 : Number of Profiles selected for calculation");
    out.line("   -1 : No pile type selected");
    out.line("0 : Lambda overruled = FALSE");
    out.line("[END OF DE BEER]");
}

}  // namespace

void write_closing_sections(FoiText& out, Layout layout)
{
    if (!layout.since_23()) write_de_beer(out);
    out.line("[LOCATION MAP]");
    out.line();
    for (int i = 0; i < 4; ++i) out.line("       0.000");
    out.line("[END OF LOCATION MAP]");
    out.line();
    out.line("[END OF INPUT DATA]");
}

}  // namespace ostrand::foi
