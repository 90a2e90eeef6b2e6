// `dfoundations read FILE...`: reads whole output files of any version and prints each as one JSON
// document (docs/output_file.schema.json), one per line in the order given, reading several files
// at once. With one file, --list, --values and --table print a part of it as tab-separated lines
// or as one table.
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <optional>
#include <thread>

#include <nlohmann/json.hpp>

#include "ostrand/errors.hpp"
#include "ostrand/external/dfoundations/output_file.hpp"
#include "ostrand/external/dfoundations/summary.hpp"

#include "commands.hpp"
#include "csv.hpp"
#include "files.hpp"
#include "report.hpp"

namespace dfoundations_cli {
namespace {

namespace dfo = ostrand::external::dfoundations;

// The document that stands in place of a file that could not be read or was refused.
std::string error_document(const std::string& name, std::string_view type, std::string_view message)
{
    const nlohmann::ordered_json document = {{"file", name}, {"error", {{"type", type}, {"message", message}}}};
    return document.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
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

// The document of one file, or its error object in its place.
std::string document_of(const std::string& name, const Outcome& outcome)
{
    if (!outcome.file) return error_document(name, outcome.error_type, outcome.error_message);
    return dfo::to_json(*outcome.file, name);
}

void print(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

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
            const Outcome outcome = read_file(files[index]);
            std::string document = document_of(files[index], outcome);
            {
                std::lock_guard lock(guard);
                documents[index] = std::move(document);
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
    bool summary = false;
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
        print(dfo::to_json(*table) + "\n");
    }
    return DONE;
}

int read_one(const ReadOptions& options)
{
    const std::string& name = options.files.front();
    Outcome outcome = read_file(name);
    const bool part = options.list || options.values || options.table;
    if (!outcome.file || !part) {
        print(document_of(name, outcome));
        return status_of(outcome);
    }
    if (options.list) print_list(*outcome.file);
    if (options.values) print_values(outcome.file->root());
    if (options.table) return print_table(*outcome.file, options);
    return DONE;
}

// Reads every file on all cores, keeping them all: a summary needs them together.
std::vector<Outcome> read_all(const std::vector<std::string>& files)
{
    std::vector<Outcome> outcomes(files.size());
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t index = next++; index < files.size(); index = next++) outcomes[index] = read_file(files[index]);
    };
    const std::size_t workers = std::min<std::size_t>(files.size(), std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < workers; ++i) threads.emplace_back(work);
    for (auto& thread : threads) thread.join();
    return outcomes;
}

// One table per calculation kind of all the files; a file that cannot be read is named on
// standard error and left out.
int print_summary(const ReadOptions& options)
{
    const std::vector<Outcome> outcomes = read_all(options.files);
    std::vector<dfo::NamedOutputFile> files;
    int status = DONE;
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        status = std::max(status, status_of(outcomes[i]));
        if (outcomes[i].file) {
            files.push_back({options.files[i], &*outcomes[i].file});
        } else {
            std::fprintf(stderr, "dfoundations read: %s: %s\n", options.files[i].c_str(),
                         outcomes[i].error_message.c_str());
        }
    }
    const std::vector<dfo::SummaryTable> tables = dfo::summary(files);
    for (std::size_t i = 0; i < tables.size(); ++i) {
        if (options.format != "csv") {
            print(dfo::to_json(tables[i]));
            continue;
        }
        // Several kinds in one CSV stream: each table after a line that names its kind.
        if (tables.size() > 1) print((i > 0 ? "\n# " : "# ") + tables[i].calculation + "\n");
        write_csv(tables[i].data, "\n");
    }
    return status;
}

int run_read(const ReadOptions& options)
{
    const int parts =
        int(options.list) + int(options.values) + int(options.table.has_value()) + int(options.summary);
    if (parts > 1) {
        std::fprintf(stderr, "dfoundations read: choose one of --list, --values, --table and --summary\n");
        return USAGE;
    }
    if (options.summary) {
        const int status = print_summary(options);
        std::fflush(stdout);
        return status;
    }
    if (parts == 1 && options.files.size() != 1) {
        std::fprintf(stderr, "dfoundations read: --list, --values and --table read one file\n");
        return USAGE;
    }
    if (options.format == "csv" && !options.table) {
        std::fprintf(stderr, "dfoundations read: --format csv needs --table PATH or --summary\n");
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
        "read", "Read whole D-Foundations output files (.fod) of any version and print each as one JSON document "
                "(read_output_file, to_json)");
    command
        ->add_option("FILE", options->files,
                     "Output files (UTF-8, or Latin-1 when not valid UTF-8); - for standard input")
        ->required();
    command->add_flag("--list", options->list, "Print one line per table: path, rows, columns");
    command->add_flag("--values", options->values, "Print one line per value line: path, key, value");
    command->add_option("--table", options->table, "Print only the table at this path");
    command->add_flag("--summary", options->summary,
                      "Print one table per calculation kind of all the files, with names instead of indices (summary)");
    command->add_option("--format", options->format, "Output format of --table and --summary: json or csv")
        ->check(CLI::IsMember({"json", "csv"}));
    command->callback([options, &status] { status = run_read(*options); });
}

}  // namespace dfoundations_cli
