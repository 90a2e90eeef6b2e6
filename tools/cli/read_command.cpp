// `dfoundations read FILE...`: reads whole output files of any version and prints each as one JSON
// document (docs/output_file.schema.json), one per line in the order given, reading several files
// at once. With one file, --list, --values and --table print a part of it as tab-separated lines
// or as one table.
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <optional>
#include <thread>

#include "ostrand/errors.hpp"
#include "ostrand/external/dfoundations/number_format.hpp"
#include "ostrand/external/dfoundations/output_file.hpp"

#include "commands.hpp"
#include "csv.hpp"
#include "files.hpp"
#include "report.hpp"

namespace dfoundations_cli {
namespace {

namespace dfo = ostrand::external::dfoundations;

// JSON text written into a buffer that goes to `out` whenever it grows large, or is kept whole
// when there is no `out` (a document read on another thread and printed later).
class JsonSink {
public:
    explicit JsonSink(std::FILE* out = nullptr) : out_(out) {}

    void raw(std::string_view text)
    {
        buffer_.append(text);
        if (out_ != nullptr && buffer_.size() >= (1u << 20)) flush();
    }
    void raw(char c) { buffer_ += c; }

    void text(std::string_view value)
    {
        buffer_ += '"';
        std::size_t from = 0;
        for (std::size_t i = 0; i < value.size(); ++i) {
            const auto c = static_cast<unsigned char>(value[i]);
            if (c >= 0x20 && c != '"' && c != '\\') continue;
            buffer_.append(value.substr(from, i - from));
            from = i + 1;
            escape(c);
        }
        buffer_.append(value.substr(from));
        buffer_ += '"';
    }

    void integer(std::int64_t value)
    {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        buffer_.append(digits, static_cast<std::size_t>(end - digits));
    }

    // Reals keep a point ("2.0"), so that a reader tells them from integers; NaN (a missing
    // cell) and infinities are null.
    void real(double value)
    {
        if (!std::isfinite(value)) return raw("null");
        char digits[dfo::MAX_NUMBER_TEXT];
        const char* end = dfo::write_number(digits, value);
        buffer_.append(digits, static_cast<std::size_t>(end - digits));
    }

    void optional_integer(std::optional<std::int64_t> value)
    {
        if (value) return integer(*value);
        raw("null");
    }
    void optional_text(const std::optional<std::string>& value)
    {
        if (value) return text(*value);
        raw("null");
    }

    void key(std::string_view name)
    {
        text(name);
        buffer_ += ':';
    }

    void flush()
    {
        if (out_ != nullptr && !buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), out_);
        if (out_ != nullptr) buffer_.clear();
    }
    std::string take() { return std::move(buffer_); }

private:
    void escape(unsigned char c)
    {
        switch (c) {
        case '"': buffer_ += "\\\""; return;
        case '\\': buffer_ += "\\\\"; return;
        case '\n': buffer_ += "\\n"; return;
        case '\r': buffer_ += "\\r"; return;
        case '\t': buffer_ += "\\t"; return;
        default: {
            static constexpr char hex[] = "0123456789abcdef";
            const char code[] = {'\\', 'u', '0', '0', hex[c >> 4], hex[c & 15]};
            buffer_.append(code, sizeof code);
        }
        }
    }

    std::FILE* out_;
    std::string buffer_;
};

const char* type_name(const dfo::DataTable::Column& column)
{
    if (std::holds_alternative<dfo::DataTable::IntColumn>(column)) return "integer";
    if (std::holds_alternative<dfo::DataTable::RealColumn>(column)) return "real";
    return "text";
}

void write_cell(JsonSink& out, const dfo::DataTable::Column& column, std::size_t row)
{
    std::visit(
        [&](const auto& cells) {
            const auto& value = cells[row];
            using Value = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<Value, std::int64_t>) {
                out.integer(value);
            } else if constexpr (std::is_same_v<Value, double>) {
                out.real(value);
            } else {
                out.optional_text(value);
            }
        },
        column);
}

void write_table(JsonSink& out, const dfo::OutputTable& table)
{
    out.raw(R"({"kind":"table","line":)");
    out.integer(static_cast<std::int64_t>(table.line));
    out.raw(R"(,"name":)");
    out.text(table.name);
    out.raw(R"(,"path":)");
    out.text(table.path);
    out.raw(R"(,"data_count":)");
    if (table.data_count) {
        out.integer(static_cast<std::int64_t>(*table.data_count));
    } else {
        out.raw("null");
    }
    out.raw(R"(,"error":)");
    out.optional_text(table.error);
    const dfo::DataTable& data = table.data;
    out.raw(R"(,"columns":[)");
    for (std::size_t j = 0; j < data.column_count(); ++j) {
        if (j > 0) out.raw(',');
        out.raw(R"({"name":)");
        out.text(data.column_names()[j]);
        out.raw(R"(,"type":")");
        out.raw(type_name(data.column(j)));
        out.raw(R"("})");
    }
    out.raw(R"(],"rows":[)");
    for (std::size_t row = 0; row < data.row_count(); ++row) {
        out.raw(row > 0 ? ",[" : "[");
        for (std::size_t j = 0; j < data.column_count(); ++j) {
            if (j > 0) out.raw(',');
            write_cell(out, data.column(j), row);
        }
        out.raw(']');
    }
    out.raw("]}");
}

void write_items(JsonSink& out, const std::vector<dfo::Item>& items);

void write_item(JsonSink& out, const dfo::Item& item)
{
    if (const auto* value = item.value()) {
        out.raw(R"({"kind":"value","line":)");
        out.integer(static_cast<std::int64_t>(value->line));
        out.raw(R"(,"key":)");
        out.text(value->key);
        out.raw(R"(,"value":)");
        out.text(value->value);
        out.raw(R"(,"numbers":[)");
        for (std::size_t i = 0; i < value->numbers.size(); ++i) {
            if (i > 0) out.raw(',');
            out.real(value->numbers[i]);
        }
        out.raw("]}");
    } else if (const auto* text = item.text()) {
        out.raw(R"({"kind":"text","line":)");
        out.integer(static_cast<std::int64_t>(text->line));
        out.raw(R"(,"text":)");
        out.text(text->text);
        out.raw('}');
    } else if (const auto* table = item.table()) {
        write_table(out, *table);
    } else if (const auto* section = item.section()) {
        out.raw(R"({"kind":"section","line":)");
        out.integer(static_cast<std::int64_t>(section->line));
        out.raw(R"(,"end_line":)");
        out.integer(static_cast<std::int64_t>(section->end_line));
        out.raw(R"(,"name":)");
        out.text(section->name);
        out.raw(R"(,"position":)");
        out.integer(static_cast<std::int64_t>(section->position));
        out.raw(R"(,"path":)");
        out.text(section->path);
        out.raw(R"(,"items":)");
        write_items(out, section->items);
        out.raw('}');
    }
}

void write_items(JsonSink& out, const std::vector<dfo::Item>& items)
{
    out.raw('[');
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) out.raw(',');
        write_item(out, items[i]);
    }
    out.raw(']');
}

void write_header(JsonSink& out, const dfo::FileHeader& header)
{
    const auto small = [](std::optional<int> value) -> std::optional<std::int64_t> {
        if (value) return *value;
        return std::nullopt;
    };
    out.raw(R"({"version":)");
    out.text(header.version);
    out.raw(R"(,"major_version":)");
    out.optional_integer(small(header.major_version));
    out.raw(R"(,"model_code":)");
    out.optional_integer(small(header.model_code));
    out.raw(R"(,"model_name":)");
    out.text(header.model_name);
    out.raw(R"(,"cu_values_code":)");
    out.optional_integer(small(header.cu_values_code));
    out.raw(R"(,"cu_values":)");
    out.optional_text(header.cu_values);
    out.raw(R"(,"main_calculation_type":)");
    out.optional_integer(small(header.main_calculation_type));
    out.raw(R"(,"sub_calculation_type":)");
    out.optional_integer(small(header.sub_calculation_type));
    out.raw('}');
}

void write_document(JsonSink& out, const std::string& name, const dfo::OutputFile& file)
{
    out.raw(R"({"file":)");
    out.text(name);
    out.raw(R"(,"header":)");
    write_header(out, file.header());
    out.raw(R"(,"warnings":[)");
    for (std::size_t i = 0; i < file.warnings().size(); ++i) {
        const dfo::ReadWarning& warning = file.warnings()[i];
        out.raw(i > 0 ? ",{" : "{");
        out.key("path");
        out.text(warning.path);
        out.raw(R"(,"line":)");
        out.integer(static_cast<std::int64_t>(warning.line));
        out.raw(R"(,"message":)");
        out.text(warning.message);
        out.raw('}');
    }
    out.raw(R"(],"items":)");
    write_items(out, file.root().items);
    out.raw("}\n");
}

void write_error(JsonSink& out, const std::string& name, std::string_view type, std::string_view message)
{
    out.raw(R"({"file":)");
    out.text(name);
    out.raw(R"(,"error":{"type":)");
    out.text(type);
    out.raw(R"(,"message":)");
    out.text(message);
    out.raw("}}\n");
}

// The file read, or the error object that stands in its place.
struct Outcome {
    std::optional<dfo::OutputFile> file;
    std::string error_type;
    std::string error_message;
    bool unreadable = false;  // the file itself could not be read, as opposed to refused
};

// The exit status an outcome stands for: a file that could not be read at all is a file failure;
// one that was read but not recognised is refused.
int status_of(const Outcome& outcome)
{
    if (outcome.file) return DONE;
    return outcome.unreadable ? FILE_FAILED : REFUSED;
}

Outcome read_file(const std::string& name)
{
    Outcome outcome;
    try {
        outcome.file = dfo::read_output_file(read_input(name));
    } catch (const FileError& e) {
        outcome.unreadable = true;
        outcome.error_type = "FileError";
        outcome.error_message = e.what();
    } catch (const ostrand::errors::ParsingError& e) {
        outcome.error_type = "ParsingError";
        outcome.error_message = e.what();
    } catch (const std::exception& e) {
        outcome.error_type = "Error";
        outcome.error_message = e.what();
    }
    return outcome;
}

// Writes the document of one file, or its error object in its place.
void write_outcome(JsonSink& out, const std::string& name, const Outcome& outcome)
{
    if (!outcome.file) return write_error(out, name, outcome.error_type, outcome.error_message);
    write_document(out, name, *outcome.file);
}

// Reads the files on every core and prints their documents in the order given. A worker runs at
// most a few files ahead of the printing, so that memory holds only those documents.
int read_many(const std::vector<std::string>& files)
{
    const std::size_t workers = std::min<std::size_t>(files.size(), std::max(1u, std::thread::hardware_concurrency()));
    const std::size_t ahead = 4 * workers;
    std::vector<std::optional<std::string>> documents(files.size());
    std::vector<int> statuses(files.size(), DONE);
    std::mutex guard;
    std::condition_variable changed;
    std::size_t next = 0;
    std::size_t printed = 0;

    const auto work = [&] {
        for (;;) {
            std::size_t index;
            {
                std::unique_lock lock(guard);
                changed.wait(lock, [&] { return next >= files.size() || next < printed + ahead; });
                if (next >= files.size()) return;
                index = next++;
            }
            JsonSink sink;
            const Outcome outcome = read_file(files[index]);
            write_outcome(sink, files[index], outcome);
            {
                std::lock_guard lock(guard);
                documents[index] = sink.take();
                statuses[index] = status_of(outcome);
            }
            changed.notify_all();
        }
    };
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < workers; ++i) threads.emplace_back(work);

    const auto start = std::chrono::steady_clock::now();
    const bool terminal = isatty(STDERR_FILENO) != 0;
    bool progress_shown = false;
    int status = DONE;
    std::unique_lock lock(guard);
    while (printed < files.size()) {
        changed.wait_for(lock, std::chrono::milliseconds(200), [&] { return documents[printed].has_value(); });
        while (printed < files.size() && documents[printed]) {
            std::fwrite(documents[printed]->data(), 1, documents[printed]->size(), stdout);
            documents[printed].reset();
            status = std::max(status, statuses[printed]);
            ++printed;
        }
        changed.notify_all();
        if (terminal && std::chrono::steady_clock::now() - start > std::chrono::seconds(1)) {
            std::fprintf(stderr, "\rdfoundations read: %zu of %zu files", printed, files.size());
            progress_shown = true;
        }
    }
    lock.unlock();
    for (auto& thread : threads) thread.join();
    if (progress_shown) std::fprintf(stderr, "\n");
    return status;
}

struct ReadOptions {
    std::vector<std::string> files;
    bool list = false;
    bool values = false;
    std::optional<std::string> table;
    std::string format = "json";
};

void print_list(const dfo::OutputFile& file)
{
    for (const dfo::OutputTable* table : file.tables()) {
        std::printf("%s\t%zu\t%zu\n", table->path.c_str(), table->row_count(), table->column_count());
    }
}

void print_values(const dfo::Section& section)
{
    for (const dfo::Item& item : section.items) {
        if (const auto* value = item.value()) {
            std::printf("%s\t%s\t%s\n", section.path.c_str(), value->key.c_str(), value->value.c_str());
        } else if (const auto* child = item.section()) {
            print_values(*child);
        }
    }
}

int print_table(const dfo::OutputFile& file, const ReadOptions& options)
{
    const dfo::OutputTable* table = file.table(*options.table);
    if (table == nullptr) {
        std::fprintf(stderr, "dfoundations read: the file has no table '%s'; the nearest are:\n",
                     options.table->c_str());
        for (const std::string& path : file.nearest_table_paths(*options.table)) {
            std::fprintf(stderr, "  %s\n", path.c_str());
        }
        return REFUSED;
    }
    if (options.format == "csv") {
        write_csv(table->data, "\n");
    } else {
        JsonSink out(stdout);
        write_table(out, *table);
        out.raw('\n');
        out.flush();
    }
    return DONE;
}

int read_one(const ReadOptions& options)
{
    const std::string& name = options.files.front();
    Outcome outcome = read_file(name);
    const bool part = options.list || options.values || options.table;
    if (!outcome.file || !part) {
        JsonSink out(stdout);
        write_outcome(out, name, outcome);
        out.flush();
        return status_of(outcome);
    }
    if (options.list) print_list(*outcome.file);
    if (options.values) print_values(outcome.file->root());
    if (options.table) return print_table(*outcome.file, options);
    return DONE;
}

int run_read(const ReadOptions& options)
{
    const int parts = int(options.list) + int(options.values) + int(options.table.has_value());
    if (parts > 1) {
        std::fprintf(stderr, "dfoundations read: choose one of --list, --values and --table\n");
        return USAGE;
    }
    if (parts == 1 && options.files.size() != 1) {
        std::fprintf(stderr, "dfoundations read: --list, --values and --table read one file\n");
        return USAGE;
    }
    if (options.format == "csv" && !options.table) {
        std::fprintf(stderr, "dfoundations read: --format csv needs --table PATH\n");
        return USAGE;
    }
    const int status = options.files.size() == 1 ? read_one(options) : read_many(options.files);
    std::fflush(stdout);
    return status;
}

}  // namespace

void add_read_command(CLI::App& app, int& status)
{
    auto options = std::make_shared<ReadOptions>();
    auto* command = app.add_subcommand(
        "read", "Read whole D-Foundations output files (.fod) of any version and print each as one JSON document");
    command
        ->add_option("FILE", options->files,
                     "Output files (UTF-8, or Latin-1 when not valid UTF-8); - for standard input")
        ->required();
    command->add_flag("--list", options->list, "Print one line per table: path, rows, columns");
    command->add_flag("--values", options->values, "Print one line per value line: path, key, value");
    command->add_option("--table", options->table, "Print only the table at this path");
    command->add_option("--format", options->format, "Output format of --table: json or csv")
        ->check(CLI::IsMember({"json", "csv"}));
    command->callback([options, &status] { status = run_read(*options); });
}

}  // namespace dfoundations_cli
