// The folder where the embedded platform keeps temporary files, and the slots it hands out.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

namespace ostrand::host {

// Where a template job (or any other writer) puts one file: upload URL and data, download URL.
struct TemporarySlot {
    std::string upload_url;   // the store folder
    std::string upload_data;  // JSON text {"key": "<name>"}: the name of the file in that folder
    std::string download_url;
};

// A folder of temporary files with unguessable names. Files appear whole or not at all: each is
// written beside its final name and then renamed into place.
class TemporaryStore {
public:
    // A store in `folder` (created when missing). A folder that is shared with other users, such as
    // the default one under the system's temporary folder, has to be private: it is created with
    // mode 0700 and refused when it exists but is a link or belongs to someone else.
    explicit TemporaryStore(std::filesystem::path folder, bool must_be_private = false);

    // The default store: $DFOUNDATIONS_STORE when set, else <temp>/dfoundations-store-<uid>.
    static TemporaryStore from_environment();

    const std::filesystem::path& folder() const { return folder_; }

    // Stores `bytes` under a fresh name and returns their download URL.
    std::string put(std::string_view bytes);
    // A fresh slot; nothing is stored until it is filled.
    TemporarySlot new_slot();
    // Writes `bytes` to the slot described by an upload URL and upload data. Only files directly in
    // this store with names that the store itself hands out can be written; anything else raises
    // std::invalid_argument.
    void fill_slot(const std::string& upload_url, const std::string& upload_data, const std::string& bytes);
    // Removes the file at a download URL of this store; any other URL, or a file already gone, is
    // left alone.
    void discard(const std::string& download_url) const;
    // Removes the store's own files last written more than `age` ago, and the halves of files that a
    // killed program was writing; never fails.
    void drop_older_than(std::chrono::seconds age) const;

private:
    void ensure_folder() const;
    std::filesystem::path folder_;
    bool must_be_private_;
};

// Writes `bytes` to `target` atomically: a reader sees the old file or the whole new one.
void write_file_atomically(const std::filesystem::path& target, std::string_view bytes);
// The whole content of the local file `path`; failure raises errors::InternalError.
std::string read_file(const std::filesystem::path& path);
// A fresh name of 32 hexadecimal digits from the system's random source.
std::string random_name();

}  // namespace ostrand::host
