// The project's one writer of JSON text, for the model document and for output files read whole.
// Integers are written plainly and reals in the shared number format; the caller writes the
// separators. Refuses what would not be JSON: a non-finite number or malformed UTF-8. The model
// document is ASCII only (every other character as a \u escape), the way the template service reads
// it; other documents may keep UTF-8 as it is.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace ostrand::external::dfoundations::detail {

// Where a value sits in the document, as a chain from the value up to a labelled root; only put
// into words when a value is refused, e.g. "profile 'P1', cpt measurements row 3 value 2".
struct Location {
    const Location* parent = nullptr;
    std::string_view name{};   // a root's label or a member's key
    std::size_t position = 0;  // an array element's position counted from 1 (when name is empty)

    std::string describe() const;
};

class JsonTextWriter {
public:
    enum class Characters { ASCII, UTF8 };

    // Appends to `out`; call finish() to write what is still buffered.
    explicit JsonTextWriter(std::string& out, Characters characters = Characters::ASCII)
        : out_(out), characters_(characters)
    {
    }
    JsonTextWriter(const JsonTextWriter&) = delete;
    JsonTextWriter& operator=(const JsonTextWriter&) = delete;

    void raw(std::string_view text);
    void string(std::string_view text, const Location& at);
    void real(double value, const Location& at);
    // A real, or null where it is not finite (a missing table cell).
    void real_or_null(double value);
    void integer(std::int64_t value);
    void value(const nlohmann::ordered_json& value, const Location& at);
    // An array of rows of reals, written straight from the stored rows.
    void rows(const std::vector<std::vector<double>>& rows, const Location& at);
    void finish() { flush(); }

    // Reserves `size` bytes in `out` at once; a large reservation asks the system for huge pages,
    // so that filling it takes a few hundred page faults rather than tens of thousands.
    static void reserve(std::string& out, std::size_t size);
    // The text length of the rows, estimated from a sample of them.
    static std::size_t estimate_rows(const std::vector<std::vector<double>>& rows);

private:
    char* room(std::size_t size)
    {
        if (used_ + size > sizeof buffer_) flush();
        return buffer_ + used_;
    }
    void flush();
    void escaped(std::string_view text, const Location& at);

    std::string& out_;
    Characters characters_;
    std::size_t used_ = 0;
    char buffer_[1 << 14];
};

}  // namespace ostrand::external::dfoundations::detail
