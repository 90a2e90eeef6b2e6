// The text of a D-Foundations input file: lines ended by CR LF, numbers in fixed widths, and texts in the
// Windows-1252 code page that D-Foundations reads.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace ostrand::foi {

class DocumentNode;

// `value` with `decimals` digits after the point, right-aligned in `width` characters (wider when it
// does not fit). A value that rounds to zero is written without a minus sign.
std::string fixed(double value, int width, int decimals);
// The same, appended to `text`.
void append_fixed(std::string& text, double value, int width, int decimals);
// A field of a row of numbers: `fixed`, widened by a blank when the value fills the width, so that a
// large value (UTM coordinates, say) never fuses with the field before it.
std::string column(double value, int width, int decimals);
// `value` right-aligned in `width` characters.
std::string padded(std::int64_t value, int width);
// `value` as D-Foundations writes its scientific numbers: three decimals and a four-digit exponent
// (2.000E+0007), right-aligned in `width` characters.
std::string scientific(double value, int width);

// `text` (UTF-8) in Windows-1252 for one line of the file. A line break, another control character or
// a character that Windows-1252 lacks raises errors::InternalError naming `source`.
std::string line_text(std::string_view text, const DocumentNode& source);

// Bytes of a file in Windows-1252 as UTF-8. The five positions Windows-1252 leaves unused
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control characters of the same number, as Windows reads
// them, so that `windows_1252_from_utf8` gives every byte back.
std::string utf8_from_windows_1252(std::string_view bytes);
// "U+0141" for the first character of `text` (UTF-8) that Windows-1252 cannot hold, or empty.
std::string unencodable_character(std::string_view text);
// The reverse of `utf8_from_windows_1252` for text that it produced; a character Windows-1252 lacks
// (or malformed UTF-8) becomes '?'.
std::string windows_1252_from_utf8(std::string_view text);

// The file being written, line by line.
class FoiText {
public:
    void line(std::string_view text = {});
    // A line made of several pieces.
    void line(std::initializer_list<std::string_view> pieces);
    // "<value> : <caption>", the layout of most settings.
    void setting(std::string_view value, std::string_view caption);
    // Room for `size` bytes, so that a large file is not grown step by step.
    void reserve(std::size_t size) { text_.reserve(size); }
    std::string take() { return std::move(text_); }

private:
    std::string text_;
};

}  // namespace ostrand::foi
