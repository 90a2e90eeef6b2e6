// An output file read whole, as one JSON document (docs/output_file.schema.json): the text that
// `dfoundations read` prints for each file.
#include <cstdint>

#include "external/dfoundations/json_text_writer.hpp"
#include "ostrand/external/dfoundations/output_file.hpp"
#include "ostrand/external/dfoundations/summary.hpp"
#include "text/utf8.hpp"

namespace ostrand::external::dfoundations {
namespace {

using detail::JsonTextWriter;
using detail::Location;

// Text of a file read whole is UTF-8 already (the reader converts Latin-1), so no location is ever
// put into words; one stands for all.
const Location AT{nullptr, "output file"};

class OutputFileJson {
public:
    explicit OutputFileJson(std::string& out) : out_(out, JsonTextWriter::Characters::UTF8) {}

    void document(std::string_view file_name, const OutputFile& file)
    {
        out_.raw(R"({"file":)");
        // A path need not be UTF-8; JSON text must be.
        out_.string(text::is_valid_utf8(file_name) ? std::string(file_name) : text::displayable(file_name), AT);
        out_.raw(R"(,"header":)");
        header(file.header());
        out_.raw(R"(,"warnings":[)");
        for (std::size_t i = 0; i < file.warnings().size(); ++i) {
            const ReadWarning& warning = file.warnings()[i];
            text(i > 0 ? R"(,{"path":)" : R"({"path":)", warning.path);
            number(R"(,"line":)", warning.line);
            text(R"(,"message":)", warning.message);
            out_.raw("}");
        }
        out_.raw(R"(],"items":)");
        items(file.root().items);
        out_.raw("}\n");
        out_.finish();
    }

    void table(const OutputTable& table)
    {
        number(R"({"kind":"table","line":)", table.line);
        text(R"(,"name":)", table.name);
        text(R"(,"path":)", table.path);
        out_.raw(R"(,"data_count":)");
        if (table.data_count) {
            out_.integer(static_cast<std::int64_t>(*table.data_count));
        } else {
            out_.raw("null");
        }
        optional(R"(,"error":)", table.error);
        columns(table.data);
        out_.raw("}");
    }

    void summary(const SummaryTable& table)
    {
        text(R"({"calculation":)", table.calculation);
        columns(table.data);
        out_.raw("}\n");
        out_.finish();
    }

    void finish() { out_.finish(); }

private:
    void text(std::string_view key, std::string_view value)
    {
        out_.raw(key);
        out_.string(value, AT);
    }
    void number(std::string_view key, std::size_t value)
    {
        out_.raw(key);
        out_.integer(static_cast<std::int64_t>(value));
    }
    void optional(std::string_view key, std::optional<int> value)
    {
        out_.raw(key);
        if (value) return out_.integer(*value);
        out_.raw("null");
    }
    void optional(std::string_view key, const std::optional<std::string>& value)
    {
        out_.raw(key);
        if (value) return out_.string(*value, AT);
        out_.raw("null");
    }

    void header(const FileHeader& header)
    {
        text(R"({"version":)", header.version);
        optional(R"(,"major_version":)", header.major_version);
        optional(R"(,"model_code":)", header.model_code);
        text(R"(,"model_name":)", header.model_name);
        optional(R"(,"cu_values_code":)", header.cu_values_code);
        optional(R"(,"cu_values":)", header.cu_values);
        optional(R"(,"main_calculation_type":)", header.main_calculation_type);
        optional(R"(,"sub_calculation_type":)", header.sub_calculation_type);
        out_.raw("}");
    }

    void items(const std::vector<Item>& items)
    {
        out_.raw("[");
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (i > 0) out_.raw(",");
            item(items[i]);
        }
        out_.raw("]");
    }

    void item(const Item& item)
    {
        if (const auto* value = item.value()) return value_line(*value);
        if (const auto* line = item.text()) {
            number(R"({"kind":"text","line":)", line->line);
            text(R"(,"text":)", line->text);
            return out_.raw("}");
        }
        if (const auto* table = item.table()) return this->table(*table);
        if (const auto* section = item.section()) return this->section(*section);
    }

    void value_line(const ValueLine& value)
    {
        number(R"({"kind":"value","line":)", value.line);
        text(R"(,"key":)", value.key);
        text(R"(,"value":)", value.value);
        out_.raw(R"(,"numbers":[)");
        for (std::size_t i = 0; i < value.numbers.size(); ++i) {
            if (i > 0) out_.raw(",");
            out_.real_or_null(value.numbers[i]);
        }
        out_.raw("]}");
    }

    void section(const Section& section)
    {
        number(R"({"kind":"section","line":)", section.line);
        number(R"(,"end_line":)", section.end_line);
        text(R"(,"name":)", section.name);
        number(R"(,"position":)", section.position);
        text(R"(,"path":)", section.path);
        out_.raw(R"(,"items":)");
        items(section.items);
        out_.raw("}");
    }

    void columns(const DataTable& data)
    {
        out_.raw(R"(,"columns":[)");
        for (std::size_t j = 0; j < data.column_count(); ++j) {
            out_.raw(j > 0 ? R"(,{"name":)" : R"({"name":)");
            out_.string(data.column_names()[j], AT);
            out_.raw(R"(,"type":")");
            out_.raw(type_name(data.column(j)));
            out_.raw(R"("})");
        }
        out_.raw(R"(],"rows":[)");
        for (std::size_t row = 0; row < data.row_count(); ++row) {
            out_.raw(row > 0 ? ",[" : "[");
            for (std::size_t j = 0; j < data.column_count(); ++j) {
                if (j > 0) out_.raw(",");
                cell(data.column(j), row);
            }
            out_.raw("]");
        }
        out_.raw("]");
    }

    static const char* type_name(const DataTable::Column& column)
    {
        if (std::holds_alternative<DataTable::IntColumn>(column)) return "integer";
        if (std::holds_alternative<DataTable::RealColumn>(column)) return "real";
        return "text";
    }

    void cell(const DataTable::Column& column, std::size_t row)
    {
        std::visit(
            [&](const auto& cells) {
                const auto& value = cells[row];
                using Value = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<Value, std::int64_t>) {
                    out_.integer(value);
                } else if constexpr (std::is_same_v<Value, double>) {
                    out_.real_or_null(value);
                } else if (value) {
                    out_.string(*value, AT);
                } else {
                    out_.raw("null");
                }
            },
            column);
    }

    JsonTextWriter out_;
};

}  // namespace

std::string to_json(const OutputFile& file, std::string_view file_name)
{
    std::string text;
    OutputFileJson(text).document(file_name, file);
    return text;
}

std::string to_json(const SummaryTable& table)
{
    std::string text;
    OutputFileJson(text).summary(table);
    return text;
}

std::string to_json(const OutputTable& table)
{
    std::string text;
    OutputFileJson json(text);
    json.table(table);
    json.finish();
    return text;
}

}  // namespace ostrand::external::dfoundations
