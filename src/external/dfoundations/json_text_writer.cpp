#include "external/dfoundations/json_text_writer.hpp"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>

#include <nlohmann/json.hpp>
#endif

#include "ostrand/errors.hpp"
#include "text/number_format.hpp"
#include "text/utf8.hpp"

namespace ostrand::external::dfoundations::detail {

namespace {

// The longest piece written in one go: an escaped character, or a number with its separator.
constexpr std::size_t MAX_PIECE = 64;

bool is_plain(unsigned char byte) { return byte >= 0x20 && byte < 0x7F && byte != '"' && byte != '\\'; }

char* write_escape(char* out, unsigned code_unit)
{
    static constexpr char HEX[] = "0123456789abcdef";
    *out++ = '\\';
    *out++ = 'u';
    for (int shift = 12; shift >= 0; shift -= 4) *out++ = HEX[(code_unit >> shift) & 0xF];
    return out;
}

char* write_control(char* out, unsigned char byte)
{
    const char* short_form = nullptr;
    switch (byte) {
    case '"': short_form = "\\\""; break;
    case '\\': short_form = "\\\\"; break;
    case '\n': short_form = "\\n"; break;
    case '\r': short_form = "\\r"; break;
    case '\t': short_form = "\\t"; break;
    case '\b': short_form = "\\b"; break;
    case '\f': short_form = "\\f"; break;
    default: return write_escape(out, byte);
    }
    std::memcpy(out, short_form, 2);
    return out + 2;
}

}  // namespace

std::string Location::describe() const
{
    std::vector<const Location*> chain;
    for (const Location* at = this; at != nullptr; at = at->parent) chain.push_back(at);
    std::string text(chain.back()->name);
    const char* separator = ", ";
    for (auto it = chain.rbegin() + 1; it != chain.rend(); ++it) {
        const Location& step = **it;
        const bool named_by_its_items = step.name == "layers" && it + 1 != chain.rend();
        if (named_by_its_items) continue;  // "layer 2" says it all
        text += separator;
        separator = " ";
        if (!step.name.empty()) {
            text += text::displayable(step.name);
            continue;
        }
        const std::string_view array = step.parent->name;
        const bool in_row = array.empty() && step.parent->parent && step.parent->parent->name == "measurements";
        text += array == "measurements" ? "row " : array == "layers" ? "layer " : in_row ? "value " : "item ";
        text += text::format_number(static_cast<std::int64_t>(step.position));
    }
    return text;
}

void JsonTextWriter::flush()
{
    if (out_.size() + used_ > out_.capacity()) out_.reserve(out_.capacity() + out_.capacity() / 4 + used_);
    out_.append(buffer_, used_);
    used_ = 0;
}

void JsonTextWriter::raw(std::string_view text)
{
    while (!text.empty()) {
        const std::size_t size = std::min(text.size(), sizeof buffer_);
        std::memcpy(room(size), text.data(), size);
        used_ += size;
        text.remove_prefix(size);
    }
}

void JsonTextWriter::string(std::string_view text, const Location& at)
{
    raw("\"");
    escaped(text, at);
    raw("\"");
}

void JsonTextWriter::escaped(std::string_view text, const Location& at)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (is_plain(byte)) {
            ++i;
            continue;
        }
        raw(text.substr(start, i - start));
        char* out = room(MAX_PIECE);
        if (byte < 0x80) {
            out = write_control(out, byte);
            ++i;
        } else {
            char32_t code_point;
            const std::size_t length = text::decode_utf8(text, i, code_point);
            if (length == 0) {
                throw errors::ModelError("Invalid model: the text at " + at.describe() + " is not valid UTF-8.");
            }
            if (characters_ == Characters::UTF8) {
                std::memcpy(out, text.data() + i, length);
                out += length;
            } else if (code_point < 0x10000) {
                out = write_escape(out, static_cast<unsigned>(code_point));
            } else {
                const char32_t offset = code_point - 0x10000;
                out = write_escape(out, 0xD800 + static_cast<unsigned>(offset >> 10));
                out = write_escape(out, 0xDC00 + static_cast<unsigned>(offset & 0x3FF));
            }
            i += length;
        }
        used_ = static_cast<std::size_t>(out - buffer_);
        start = i;
    }
    raw(text.substr(start));
}

void JsonTextWriter::real(double value, const Location& at)
{
    if (!std::isfinite(value)) {
        throw errors::ModelError("Invalid model: the number at " + at.describe() + " is " + text::format_number(value) +
                                 "; only finite numbers can be written.");
    }
    char* out = room(MAX_PIECE);
    used_ = static_cast<std::size_t>(text::write_number(out, value) - buffer_);
}

void JsonTextWriter::real_or_null(double value)
{
    if (!std::isfinite(value)) return raw("null");
    char* out = room(MAX_PIECE);
    used_ = static_cast<std::size_t>(text::write_number(out, value) - buffer_);
}

void JsonTextWriter::integer(std::int64_t value)
{
    char* out = room(MAX_PIECE);
    used_ = static_cast<std::size_t>(std::to_chars(out, out + MAX_PIECE, value).ptr - buffer_);
}

void JsonTextWriter::value(const nlohmann::ordered_json& value, const Location& at)
{
    using Type = nlohmann::ordered_json::value_t;
    switch (value.type()) {
    case Type::null: raw("null"); return;
    case Type::boolean: raw(value.get<bool>() ? "true" : "false"); return;
    case Type::number_integer: integer(value.get<std::int64_t>()); return;
    case Type::number_unsigned: {
        char* out = room(MAX_PIECE);
        used_ = static_cast<std::size_t>(std::to_chars(out, out + MAX_PIECE, value.get<std::uint64_t>()).ptr - buffer_);
        return;
    }
    case Type::number_float: real(value.get<double>(), at); return;
    case Type::string: string(value.get_ref<const std::string&>(), at); return;
    case Type::array: {
        raw("[");
        std::size_t position = 0;
        for (const auto& element : value) {
            if (position++ != 0) raw(", ");
            this->value(element, Location{&at, {}, position});
        }
        raw("]");
        return;
    }
    case Type::object: {
        raw("{");
        bool first = true;
        for (auto member = value.begin(); member != value.end(); ++member) {
            if (!first) raw(", ");
            first = false;
            const Location member_at{&at, member.key()};
            string(member.key(), member_at);
            raw(": ");
            this->value(member.value(), member_at);
        }
        raw("}");
        return;
    }
    case Type::binary:
    case Type::discarded: break;
    }
    throw std::invalid_argument("The model document holds a value that JSON text cannot hold");
}

void JsonTextWriter::rows(const std::vector<std::vector<double>>& rows, const Location& at)
{
    raw("[");
    for (std::size_t r = 0; r < rows.size(); ++r) {
        char* out = room(MAX_PIECE);
        if (r != 0) *out++ = ',', *out++ = ' ';
        *out++ = '[';
        used_ = static_cast<std::size_t>(out - buffer_);
        const std::vector<double>& row = rows[r];
        for (std::size_t v = 0; v < row.size(); ++v) {
            const double number = row[v];
            if (!std::isfinite(number)) {
                const Location row_at{&at, {}, r + 1};
                real(number, Location{&row_at, {}, v + 1});
            }
            out = room(MAX_PIECE);
            if (v != 0) *out++ = ',', *out++ = ' ';
            used_ = static_cast<std::size_t>(text::write_number(out, number) - buffer_);
        }
        *room(1) = ']';
        ++used_;
    }
    raw("]");
}

void JsonTextWriter::reserve(std::string& out, std::size_t size)
{
    out.reserve(size);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::size_t LARGE = std::size_t{8} << 20;
    if (out.capacity() < LARGE) return;
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto first = (reinterpret_cast<std::uintptr_t>(out.data()) + page - 1) / page * page;
    const auto last = (reinterpret_cast<std::uintptr_t>(out.data()) + out.capacity()) / page * page;
    // Only advice: where the system has no huge pages, the buffer stays as it is.
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#endif
}

std::size_t JsonTextWriter::estimate_rows(const std::vector<std::vector<double>>& rows)
{
    constexpr std::size_t STRIDE = 16;
    if (rows.empty()) return 2;
    std::size_t sampled_rows = 0;
    std::size_t sampled_size = 0;
    char scratch[text::MAX_NUMBER_TEXT];
    for (std::size_t r = 0; r < rows.size(); r += STRIDE, ++sampled_rows) {
        sampled_size += 4;  // "[", "]" and ", "
        for (double number : rows[r])
            sampled_size += static_cast<std::size_t>(text::write_number(scratch, number) - scratch) + 2;
    }
    return 2 + rows.size() * sampled_size / sampled_rows + rows.size() / 32;
}

}  // namespace ostrand::external::dfoundations::detail
