// How the pattern decides, and why the search below decides the same.
//
// The pattern reads "[" NAME "]" LB "[TABLE]" LB "[COLUMN INDICATION]" LB COLUMNS LB
// "[END OF COLUMN INDICATION]" LB "[DATA]" LB DATA LB "[END OF DATA]" LB "[END OF TABLE]" LB
// "[END OF " NAME "]" LB, where LB is CR LF, LF or CR (tried in that order) and NAME, COLUMNS and
// DATA are lazy and may span lines. A backtracking engine takes the leftmost start "[", then the
// shortest NAME, then the first LB alternative, the shortest COLUMNS, and so on. Its answer is
// built here from a few precomputed anchors:
//
// * A line break that is followed by "[" can only be read one way, so every fixed part of the
//   pattern sits at positions that are known once the "]" after NAME (the head), the end of
//   COLUMNS (a column end) and the end of DATA (a data end) are known.
// * COLUMNS and DATA may start one character early when a CR LF follows "[COLUMN INDICATION]" or
//   "[DATA]": the engine first tries the CR LF, then the CR alone, which lets an empty COLUMNS or
//   DATA end at the LF. For one start of COLUMNS only the first column end counts: a later one
//   leaves fewer data ends and so never succeeds where the first failed.
// * The closing name matches exactly when NAME "]" stands at the closing position and a line
//   break character follows. A "]" followed by a line break inside NAME stands at the same offset
//   at the closing, so the text up to the first such "]" after "[" must equal the text up to the
//   first such "]" after "[END OF ". Data ends are grouped by that key.
// * For one start "[", the first head at or after that first "]" is the only one to try: a later
//   head needs a longer NAME, whose closing text extends the shorter one, at a later data end.
#include "external/dfoundations/output/table_locator.hpp"

#include <algorithm>
#include <cstring>
#include <optional>
#include <unordered_map>

namespace ostrand::external::dfoundations::detail {
namespace {

bool is_break(char c) { return c == '\r' || c == '\n'; }

// The position after a line break at `at` that must be followed by `literal`, if both are there.
std::optional<std::size_t> after_break_then(std::string_view text, std::size_t at, std::string_view literal)
{
    std::size_t next;
    if (text.substr(at, 2) == "\r\n") {
        next = at + 2;
    } else if (at < text.size() && is_break(text[at])) {
        next = at + 1;
    } else {
        return std::nullopt;
    }
    if (text.substr(next, literal.size()) != literal) return std::nullopt;
    return next + literal.size();
}

// Positions where a line break ends right before `at` (CR LF first, as it starts earlier).
template <class Visit>
void breaks_before(std::string_view text, std::size_t at, Visit visit)
{
    if (at >= 2 && text[at - 2] == '\r' && text[at - 1] == '\n') visit(at - 2);
    if (at >= 1 && is_break(text[at - 1])) visit(at - 1);
}

struct Head {
    std::size_t bracket;        // the "]" after NAME
    std::size_t after_columns;  // after "[COLUMN INDICATION]", a line break follows
};

struct ColumnEnd {
    std::size_t at;          // end of COLUMNS, a line break starts here
    std::size_t after_data;  // after "[DATA]", a line break follows
};

struct DataEnd {
    std::size_t at;       // end of DATA
    std::size_t closing;  // after "[END OF "
};

class Locator {
public:
    explicit Locator(std::string_view text) : text_(text)
    {
        find_closers();
        find_heads();
        find_column_ends();
        find_data_ends();
    }

    std::vector<TableLocation> run() const
    {
        std::vector<TableLocation> tables;
        if (data_ends_.empty() || heads_.empty()) return tables;
        std::size_t position = 0;
        for (std::size_t start = text_.find('[', position); start != std::string_view::npos;
             start = text_.find('[', position)) {
            const auto closer = std::lower_bound(closers_.begin(), closers_.end(), start + 1);
            if (closer == closers_.end()) break;
            const auto head = std::lower_bound(heads_.begin(), heads_.end(), *closer,
                                               [](const Head& h, std::size_t at) { return h.bracket < at; });
            if (head == heads_.end()) break;
            std::optional<TableLocation> table;
            if (*closer + 1 - start - 1 <= longest_key_) {
                auto group = groups_.find(text_.substr(start + 1, *closer + 1 - (start + 1)));
                if (group != groups_.end()) table = match_at(start, *head, group->second);
            }
            if (table) {
                position = table->end;
                tables.push_back(*table);
            } else {
                position = start + 1;
            }
        }
        return tables;
    }

private:
    void find_closers()
    {
        for (std::size_t at = text_.find(']'); at != std::string_view::npos; at = text_.find(']', at + 1)) {
            if (at + 1 < text_.size() && is_break(text_[at + 1])) closers_.push_back(at);
        }
    }

    void find_heads()
    {
        constexpr std::string_view table = "[TABLE]";
        for (std::size_t at = text_.find(table); at != std::string_view::npos; at = text_.find(table, at + 1)) {
            std::optional<std::size_t> bracket;
            if (at >= 3 && text_[at - 2] == '\r' && text_[at - 1] == '\n') {
                if (text_[at - 3] == ']') bracket = at - 3;
            } else if (at >= 2 && is_break(text_[at - 1]) && text_[at - 2] == ']') {
                bracket = at - 2;
            }
            if (!bracket) continue;
            auto after = after_break_then(text_, at + table.size(), "[COLUMN INDICATION]");
            if (after && *after < text_.size() && is_break(text_[*after])) heads_.push_back({*bracket, *after});
        }
    }

    void find_column_ends()
    {
        constexpr std::string_view marker = "[END OF COLUMN INDICATION]";
        for (std::size_t at = text_.find(marker); at != std::string_view::npos; at = text_.find(marker, at + 1)) {
            auto after = after_break_then(text_, at + marker.size(), "[DATA]");
            if (!after || *after >= text_.size() || !is_break(text_[*after])) continue;
            breaks_before(text_, at, [&](std::size_t end) { column_ends_.push_back({end, *after}); });
        }
    }

    void find_data_ends()
    {
        constexpr std::string_view marker = "[END OF DATA]";
        for (std::size_t at = text_.find(marker); at != std::string_view::npos; at = text_.find(marker, at + 1)) {
            auto after_table = after_break_then(text_, at + marker.size(), "[END OF TABLE]");
            if (!after_table) continue;
            auto closing = after_break_then(text_, *after_table, "[END OF ");
            if (!closing) continue;
            const auto closer = std::lower_bound(closers_.begin(), closers_.end(), *closing);
            if (closer == closers_.end()) continue;
            const std::string_view key = text_.substr(*closing, *closer + 1 - *closing);
            longest_key_ = std::max(longest_key_, key.size());
            breaks_before(text_, at, [&](std::size_t end) {
                groups_[key].push_back(data_ends_.size());
                data_ends_.push_back({end, *closing});
            });
        }
    }

    // The priority order of the lazy groups: each entry is (COLUMNS start, DATA start, column end).
    struct Start {
        std::size_t columns;
        std::size_t data;
        std::size_t column_end;
    };

    std::vector<Start> starts_for(const Head& head) const
    {
        std::vector<Start> starts;
        for (std::size_t columns : break_exits(head.after_columns)) {
            const auto end = std::lower_bound(column_ends_.begin(), column_ends_.end(), columns,
                                              [](const ColumnEnd& e, std::size_t at) { return e.at < at; });
            if (end == column_ends_.end()) continue;
            for (std::size_t data : break_exits(end->after_data)) starts.push_back({columns, data, end->at});
        }
        return starts;
    }

    // Where a lazy group may start after the line break at `at`: after CR LF first, then after CR.
    std::vector<std::size_t> break_exits(std::size_t at) const
    {
        if (text_.substr(at, 2) == "\r\n") return {at + 2, at + 1};
        return {at + 1};
    }

    bool closes(std::size_t start, const Head& head, const DataEnd& end) const
    {
        const std::size_t length = head.bracket + 1 - (start + 1);  // NAME "]"
        if (end.closing + length >= text_.size()) return false;
        return std::memcmp(text_.data() + end.closing, text_.data() + start + 1, length) == 0 &&
               is_break(text_[end.closing + length]);
    }

    std::optional<TableLocation> match_at(std::size_t start, const Head& head,
                                          const std::vector<std::size_t>& group) const
    {
        for (const Start& s : starts_for(head)) {
            auto candidate =
                std::lower_bound(group.begin(), group.end(), s.data,
                                 [&](std::size_t index, std::size_t at) { return data_ends_[index].at < at; });
            for (; candidate != group.end(); ++candidate) {
                const DataEnd& end = data_ends_[*candidate];
                if (!closes(start, head, end)) continue;
                TableLocation table;
                table.start = start;
                table.name = text_.substr(start + 1, head.bracket - start - 1);
                table.columns = text_.substr(s.columns, s.column_end - s.columns);
                table.data = text_.substr(s.data, end.at - s.data);
                const std::size_t line_break = end.closing + table.name.size() + 1;
                table.end = line_break + (text_.substr(line_break, 2) == "\r\n" ? 2 : 1);
                return table;
            }
        }
        return std::nullopt;
    }

    std::string_view text_;
    std::vector<std::size_t> closers_;
    std::vector<Head> heads_;
    std::vector<ColumnEnd> column_ends_;
    std::vector<DataEnd> data_ends_;
    std::unordered_map<std::string_view, std::vector<std::size_t>> groups_;
    std::size_t longest_key_ = 0;
};

}  // namespace

std::vector<TableLocation> locate_tables(std::string_view text) { return Locator(text).run(); }

}  // namespace ostrand::external::dfoundations::detail
