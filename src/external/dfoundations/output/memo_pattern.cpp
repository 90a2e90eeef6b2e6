// Why this gives PCRE2's answer, and why it cannot blow up.
//
// The pattern is compiled into the usual program of a backtracking engine (byte, byte set, "^",
// split with a preferred branch, jump, group save, back-reference) and run depth first, preferred
// branch first, greedy runs longest first: the order in which PCRE2 tries the same choices. So the
// first path that reaches the end is PCRE2's match, with PCRE2's groups: a save is undone when the
// search backs out of it, so a group holds what the successful path last put there.
//
// What is added is a memory of failures. Whether the rest of the pattern can match from a state
// depends only on the instruction, the position and, once the back-referenced group has closed,
// on the text that group holds (before it opens: on nothing). When the search backs out of a split
// or a run, every way on from there has failed, so that state (with that context) is written down
// and never explored again, in this attempt or a later one. The answer does not change: only paths
// that are known to fail are skipped. While the group is open nothing is written down; in these
// patterns that is one run over the header line, entered once per attempt.
//
// The bound: every (context, split or run, position) is explored at most once, and between two
// such states the search runs through at most the whole program (and one comparison of the
// group's text). A run of "." costs its line, and the patterns start every "." run at a line
// start, so each line is scanned once per run instruction and context; other runs use a cache of
// the stretches already scanned, so each byte is scanned once per byte set. With no
// back-reference the work is O(program × text) for a whole find_all; with one it is that once per
// distinct text of the group (once per section name): polynomial, never exponential. Attempts
// start further and further on and a path never moves back, so the failures before the current
// start are dropped, which keeps the memory to what a failing stretch of text needs.
#include "external/dfoundations/output/memo_pattern.hpp"

#include <cctype>
#include <cstring>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

namespace ostrand::external::dfoundations::detail {
namespace {

using ByteSet = MemoPattern::ByteSet;
using Instruction = MemoPattern::Instruction;
using Op = MemoPattern::Op;

constexpr std::size_t UNBOUNDED = static_cast<std::size_t>(-1);

struct Node {
    enum class Kind { BYTE, SET, LINE_START, GROUP, ALTERNATION, SEQUENCE, REPEAT, BACKREF };
    explicit Node(Kind k) : kind(k) {}
    static Node of_byte(char c)
    {
        Node node(Kind::BYTE);
        node.byte = static_cast<std::uint8_t>(c);
        return node;
    }
    static Node of_set(const ByteSet& set)
    {
        Node node(Kind::SET);
        node.set = set;
        return node;
    }

    Kind kind;
    std::uint8_t byte = 0;
    ByteSet set;
    std::size_t group = 0;  // GROUP: capture number, 0 when not capturing; BACKREF: the group
    std::size_t min = 0, max = 0;
    std::string name;  // BACKREF
    std::vector<Node> children;
};

ByteSet any_but_line_feed() { return ByteSet{}.set().reset('\n'); }

ByteSet digits()
{
    ByteSet set;
    for (char c = '0'; c <= '9'; ++c) set.set(static_cast<unsigned char>(c));
    return set;
}

// PCRE2's default tables: HT, LF, VT, FF, CR and space.
ByteSet spaces()
{
    ByteSet set;
    for (unsigned char c : {'\t', '\n', '\v', '\f', '\r', ' '}) set.set(c);
    return set;
}

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    Node parse(std::vector<std::string>& names)
    {
        names_ = &names;
        names.assign(1, "");
        Node node = alternation();
        if (at_ < text_.size()) refuse("unbalanced ')'");
        resolve(node);
        return node;
    }

private:
    [[noreturn]] void refuse(const std::string& what) const
    {
        throw std::logic_error("pattern not supported at " + std::to_string(at_) + ": " + what);
    }

    bool next_is(std::string_view piece) const { return text_.substr(at_, piece.size()) == piece; }

    Node alternation()
    {
        Node node(Node::Kind::ALTERNATION);
        node.children.push_back(sequence());
        while (next_is("|")) {
            ++at_;
            node.children.push_back(sequence());
        }
        return node.children.size() == 1 ? std::move(node.children.front()) : node;
    }

    Node sequence()
    {
        Node node(Node::Kind::SEQUENCE);
        while (at_ < text_.size() && !next_is("|") && !next_is(")")) node.children.push_back(quantified());
        return node;
    }

    Node quantified()
    {
        Node node = atom();
        while (at_ < text_.size() && std::strchr("?*+{", text_[at_]) != nullptr) {
            const char q = text_[at_++];
            if (q == '{' || next_is("?") || next_is("+")) refuse("only greedy ?, * and + are supported");
            Node repeat(Node::Kind::REPEAT);
            repeat.min = q == '+' ? 1 : 0;
            repeat.max = q == '?' ? 1 : UNBOUNDED;
            repeat.children.push_back(std::move(node));
            node = std::move(repeat);
        }
        return node;
    }

    Node atom()
    {
        const char c = text_[at_++];
        if (c == '(') return group();
        if (c == '.') return Node::of_set(any_but_line_feed());
        if (c == '^') return Node(Node::Kind::LINE_START);
        if (c == '\\') return escape();
        if (std::strchr("$[]{}?*+|)", c) != nullptr) refuse(std::string("unsupported '") + c + "'");
        return Node::of_byte(c);
    }

    Node escape()
    {
        if (at_ >= text_.size()) refuse("a lone backslash");
        const char c = text_[at_++];
        if (c == 's') return Node::of_set(spaces());
        if (c == 'd') return Node::of_set(digits());
        if (c == 'r') return Node::of_byte('\r');
        if (c == 'n') return Node::of_byte('\n');
        if (std::isalnum(static_cast<unsigned char>(c))) refuse(std::string("unsupported escape \\") + c);
        return Node::of_byte(c);
    }

    std::string name_until(char end)
    {
        const std::size_t stop = text_.find(end, at_);
        if (stop == std::string_view::npos) refuse("an unterminated group name");
        std::string name(text_.substr(at_, stop - at_));
        at_ = stop + 1;
        return name;
    }

    Node group()
    {
        Node node(Node::Kind::GROUP);
        if (next_is("?:")) {
            at_ += 2;
        } else if (next_is("?P=")) {
            at_ += 3;
            Node backref(Node::Kind::BACKREF);
            backref.name = name_until(')');  // resolved once every group is known
            return backref;
        } else if (next_is("?P<")) {
            at_ += 3;
            node.group = names_->size();
            names_->push_back(name_until('>'));
        } else if (next_is("?")) {
            refuse("unsupported group");
        } else {
            node.group = names_->size();
            names_->push_back("");
        }
        node.children.push_back(alternation());
        if (!next_is(")")) refuse("missing ')'");
        ++at_;
        return node;
    }

    void resolve(Node& node) const
    {
        if (node.kind == Node::Kind::BACKREF) {
            for (std::size_t g = 1; g < names_->size(); ++g) {
                if ((*names_)[g] == node.name) node.group = g;
            }
            if (node.group == 0) throw std::logic_error("pattern refers to no group named " + node.name);
        }
        for (Node& child : node.children) resolve(child);
    }

    std::string_view text_;
    std::size_t at_ = 0;
    std::vector<std::string>* names_ = nullptr;
};

bool can_be_empty(const Node& node)
{
    switch (node.kind) {
    case Node::Kind::BYTE:
    case Node::Kind::SET: return false;
    case Node::Kind::LINE_START:
    case Node::Kind::BACKREF: return true;
    case Node::Kind::REPEAT: return node.min == 0 || can_be_empty(node.children.front());
    case Node::Kind::ALTERNATION:
        for (const Node& child : node.children) {
            if (can_be_empty(child)) return true;
        }
        return false;
    default:
        for (const Node& child : node.children) {
            if (!can_be_empty(child)) return false;
        }
        return true;
    }
}

}  // namespace

class MemoCompiler {
public:
    explicit MemoCompiler(MemoPattern& pattern) : pattern_(pattern) {}

    void compile(const Node& root)
    {
        emit(root, false);
        add({Op::MATCH});
        for (std::size_t pc = 0; pc < program().size(); ++pc) {
            Instruction& run = program()[pc];
            if (run.op != Op::RUN) continue;
            const ByteSet follow = first_bytes(pc + 1);
            run.possessive = (follow & pattern_.sets_[run.set]).none();
            if (follow != pattern_.sets_[0]) run.follow = set_index(follow);
        }
        pattern_.starts_at_line_ = starts_at_line(0, std::vector<bool>(program().size()));
        // A group read again and again would change the back-reference's text halfway through.
        for (std::size_t group : repeated_groups_) {
            if (group == pattern_.backref_group_) {
                throw std::logic_error("pattern not supported: a back-reference to a repeated group");
            }
        }
    }

private:
    std::vector<Instruction>& program() { return pattern_.program_; }

    std::size_t add(Instruction instruction)
    {
        program().push_back(instruction);
        return program().size() - 1;
    }

    std::size_t set_index(const ByteSet& set)
    {
        auto& sets = pattern_.sets_;
        for (std::size_t i = 0; i < sets.size(); ++i) {
            if (sets[i] == set) return i;
        }
        sets.push_back(set);
        return sets.size() - 1;
    }

    void emit(const Node& node, bool repeated)
    {
        switch (node.kind) {
        case Node::Kind::BYTE: add({Op::CHAR, node.byte}); break;
        case Node::Kind::SET: add({Op::CLASS, 0, set_index(node.set)}); break;
        case Node::Kind::LINE_START: add({Op::BOL}); break;
        case Node::Kind::BACKREF:
            if (pattern_.backref_group_ != 0 && pattern_.backref_group_ != node.group) {
                throw std::logic_error("pattern not supported: more than one back-referenced group");
            }
            pattern_.backref_group_ = node.group;
            add({Op::BACKREF, 0, 0, node.group});
            break;
        case Node::Kind::GROUP:
            if (node.group != 0) add({Op::SAVE, 0, 0, 2 * node.group});
            emit(node.children.front(), repeated);
            if (node.group != 0) add({Op::SAVE, 0, 0, 2 * node.group + 1});
            if (node.group != 0 && repeated) repeated_groups_.push_back(node.group);
            break;
        case Node::Kind::SEQUENCE:
            for (const Node& child : node.children) emit(child, repeated);
            break;
        case Node::Kind::ALTERNATION: emit_alternation(node, repeated); break;
        case Node::Kind::REPEAT: emit_repeat(node); break;
        }
    }

    void emit_alternation(const Node& node, bool repeated)
    {
        std::vector<std::size_t> exits;
        for (std::size_t i = 0; i + 1 < node.children.size(); ++i) {
            const std::size_t split = add({Op::SPLIT});
            program()[split].x = split + 1;
            emit(node.children[i], repeated);
            exits.push_back(add({Op::JMP}));
            program()[split].y = program().size();
        }
        emit(node.children.back(), repeated);
        for (std::size_t exit : exits) program()[exit].x = program().size();
    }

    void emit_repeat(const Node& node)
    {
        const Node& body = node.children.front();
        if (node.max == UNBOUNDED && can_be_empty(body)) {
            throw std::logic_error("pattern not supported: a repeated part that can match empty");
        }
        if (node.min == 1 && node.max == UNBOUNDED && body.kind == Node::Kind::SET) {
            add({Op::RUN, 0, set_index(body.set)});
        } else if (node.min == 1 && node.max == UNBOUNDED) {
            const std::size_t loop = program().size();
            emit(body, true);
            const std::size_t split = add({Op::SPLIT});
            program()[split].x = loop;
            program()[split].y = split + 1;
        } else if (node.min == 0 && node.max == UNBOUNDED) {
            const std::size_t split = add({Op::SPLIT});
            program()[split].x = split + 1;
            emit(body, true);
            add({Op::JMP, 0, 0, split});
            program()[split].y = program().size();
        } else {
            const std::size_t split = add({Op::SPLIT});
            program()[split].x = split + 1;
            emit(body, true);
            program()[split].y = program().size();
        }
    }

    // The bytes that the part from `pc` on can begin with; every byte when it may begin otherwise.
    ByteSet first_bytes(std::size_t pc) const
    {
        std::vector<bool> seen(pattern_.program_.size());
        ByteSet bytes;
        std::function<void(std::size_t)> visit = [&](std::size_t at) {
            while (!seen[at]) {
                seen[at] = true;
                const Instruction& instruction = pattern_.program_[at];
                switch (instruction.op) {
                case Op::CHAR: bytes.set(instruction.byte); return;
                case Op::CLASS:
                case Op::RUN: bytes |= pattern_.sets_[instruction.set]; return;
                case Op::SAVE: ++at; break;
                case Op::JMP: at = instruction.x; break;
                case Op::SPLIT:
                    visit(instruction.y);
                    at = instruction.x;
                    break;
                default: bytes.set(); return;
                }
            }
        };
        visit(pc);
        return bytes;
    }

    bool starts_at_line(std::size_t pc, std::vector<bool> seen) const
    {
        while (!seen[pc]) {
            seen[pc] = true;
            const Instruction& instruction = pattern_.program_[pc];
            switch (instruction.op) {
            case Op::BOL: return true;
            case Op::SAVE: ++pc; break;
            case Op::JMP: pc = instruction.x; break;
            case Op::SPLIT: return starts_at_line(instruction.x, seen) && starts_at_line(instruction.y, seen);
            default: return false;
            }
        }
        return false;
    }

    MemoPattern& pattern_;
    std::vector<std::size_t> repeated_groups_;
};

MemoPattern::MemoPattern(std::string_view text)
{
    Node root = Parser(text).parse(names_);
    groups_ = names_.size();
    MemoCompiler(*this).compile(root);
}

int MemoPattern::group_number(const char* name) const
{
    for (std::size_t g = 1; g < names_.size(); ++g) {
        if (names_[g] == name) return static_cast<int>(g);
    }
    return -1;
}

namespace {

// The states known to fail, each as one 64-bit key: position, context and instruction. Open
// addressing keeps a lookup to one cache line; the rare state whose parts do not fit one word (a
// text past a terabyte, thousands of section names) goes to a slower set beside it. The search
// only moves forward, so states before the current attempt's start can never be reached again;
// they are dropped whenever the table fills up.
class FailedStates {
public:
    // The context of states that are not worth remembering: skipping one costs time, never a
    // different answer.
    static constexpr std::uint32_t NOT_REMEMBERED = static_cast<std::uint32_t>(-1);

    bool contains(std::uint64_t position, std::uint64_t context, std::size_t pc) const
    {
        if (context == NOT_REMEMBERED) return false;
        const std::uint64_t key = key_of(position, context, pc);
        if (key == EMPTY) return wide_.contains({position, context, pc});
        if (slots_.empty()) return false;
        for (std::size_t i = first_slot(key);; i = (i + 1) & (slots_.size() - 1)) {
            if (slots_[i] == key) return true;
            if (slots_[i] == EMPTY) return false;
        }
    }

    void insert(std::uint64_t position, std::uint64_t context, std::size_t pc)
    {
        if (context == NOT_REMEMBERED) return;
        const std::uint64_t key = key_of(position, context, pc);
        if (key == EMPTY) {
            wide_.insert({position, context, pc});
            return;
        }
        if (2 * (count_ + 1) > slots_.size()) rebuild();
        place(key);
    }

    void forget_before(std::uint64_t position) { floor_ = position; }

private:
    static constexpr std::uint64_t EMPTY = static_cast<std::uint64_t>(-1);
    static constexpr int PART_BITS = 12;  // for the context, and for the instruction

    static std::uint64_t key_of(std::uint64_t position, std::uint64_t context, std::size_t pc)
    {
        constexpr std::uint64_t part_end = std::uint64_t{1} << PART_BITS;
        if (position >= (std::uint64_t{1} << (64 - 2 * PART_BITS)) - 1 || context >= part_end || pc >= part_end) {
            return EMPTY;
        }
        return position << (2 * PART_BITS) | context << PART_BITS | pc;
    }

    std::size_t first_slot(std::uint64_t key) const
    {
        std::uint64_t h = key;  // splitmix64's finaliser
        h = (h ^ (h >> 30)) * 0xbf58476d1ce4e5b9u;
        h = (h ^ (h >> 27)) * 0x94d049bb133111ebu;
        return static_cast<std::size_t>(h ^ (h >> 31)) & (slots_.size() - 1);
    }

    void place(std::uint64_t key)
    {
        std::size_t i = first_slot(key);
        while (slots_[i] != EMPTY) i = (i + 1) & (slots_.size() - 1);
        slots_[i] = key;
        ++count_;
    }

    bool kept(std::uint64_t key) const { return key != EMPTY && (key >> (2 * PART_BITS)) >= floor_; }

    void rebuild()
    {
        std::vector<std::uint64_t> old = std::move(slots_);
        std::size_t keep = 0;
        for (std::uint64_t key : old) keep += kept(key);
        std::size_t size = 1024;
        while (size < 4 * (keep + 1)) size *= 2;
        slots_.assign(size, EMPTY);
        count_ = 0;
        for (std::uint64_t key : old) {
            if (kept(key)) place(key);
        }
    }

    struct WideKey {
        std::uint64_t position, context, pc;
        bool operator==(const WideKey&) const = default;
    };
    struct WideHash {
        std::size_t operator()(const WideKey& k) const
        {
            return std::hash<std::uint64_t>{}(k.position ^ k.context << 40 ^ k.pc << 20);
        }
    };

    std::vector<std::uint64_t> slots_;
    std::size_t count_ = 0;
    std::uint64_t floor_ = 0;
    std::unordered_set<WideKey, WideHash> wide_;
};

}  // namespace

// One find_all over one subject; the failures it writes down serve every later attempt.
class MemoSearch {
public:
    MemoSearch(const MemoPattern& pattern, std::string_view text)
        : pattern_(pattern),
          program_(pattern.program_),
          text_(text),
          runs_(pattern.sets_.size())
    {
        for (const ByteSet& set : pattern.sets_) line_sets_.push_back(set == any_but_line_feed());
    }

    std::vector<PatternMatch> find_all()
    {
        std::vector<PatternMatch> matches;
        std::size_t position = 0;
        while (position <= text_.size()) {
            auto match = search(position);
            if (!match) break;
            position = match->end() > match->start() ? match->end() : match->end() + 1;
            matches.push_back(std::move(*match));
        }
        return matches;
    }

private:
    // What to do when the search backs up to this step.
    enum class Undo : std::uint8_t {
        BRANCH,       // take the split's other branch, then write the split down as failed
        RESTORE,      // put a group offset back
        SHORTEN_RUN,  // try the run one length shorter; when none is left, write it down as failed
        FAILED,       // write the split down as failed
    };
    struct Step {
        Undo kind;
        std::uint32_t pc;         // RESTORE: the slot
        std::uint64_t position;   // RESTORE: the old offset; SHORTEN_RUN: where the run starts
        std::uint64_t extra = 0;  // BRANCH, FAILED: the context; SHORTEN_RUN: the length tried last
    };

    bool line_start(std::size_t at) const { return at == 0 || (at < text_.size() && text_[at - 1] == '\n'); }

    std::optional<PatternMatch> search(std::size_t from)
    {
        for (std::size_t start = from; start <= text_.size();) {
            if (!pattern_.starts_at_line_ || line_start(start)) {
                if (attempt(start)) {
                    PatternMatch match;
                    match.pattern_ = &pattern_;
                    match.subject_ = text_;
                    match.offsets_ = slots_;
                    return match;
                }
            }
            if (!pattern_.starts_at_line_) {
                ++start;
                continue;
            }
            const std::size_t line_feed = text_.find('\n', start);
            if (line_feed == std::string_view::npos) break;
            start = line_feed + 1;
        }
        return std::nullopt;
    }

    bool attempt(std::size_t start)
    {
        slots_.assign(2 * pattern_.groups_, UNSET_OFFSET);
        slots_[0] = start;
        steps_.clear();
        failed_.forget_before(start);
        for (auto& known : runs_) {
            while (!known.empty() && known.begin()->second <= start) known.erase(known.begin());
        }
        std::size_t pc = 0;
        std::size_t at = start;
        while (true) {
            if (advance(pc, at)) {
                slots_[1] = at;
                return true;
            }
            if (!back_up(pc, at)) return false;
        }
    }

    // Runs forward from (pc, at) until the pattern matches (true) or this path fails (false).
    bool advance(std::size_t& pc, std::size_t& at)
    {
        while (true) {
            const Instruction& instruction = program_[pc];
            switch (instruction.op) {
            case Op::CHAR:
                if (at >= text_.size() || static_cast<std::uint8_t>(text_[at]) != instruction.byte) return false;
                ++pc;
                ++at;
                break;
            case Op::CLASS:
                if (at >= text_.size() || !in(instruction.set, at)) return false;
                ++pc;
                ++at;
                break;
            case Op::BOL:
                if (!line_start(at)) return false;
                ++pc;
                break;
            case Op::SAVE:
                steps_.push_back({Undo::RESTORE, static_cast<std::uint32_t>(instruction.x), slots_[instruction.x]});
                slots_[instruction.x] = at;
                ++pc;
                break;
            case Op::JMP: pc = instruction.x; break;
            case Op::SPLIT: {
                const std::uint32_t here = context();
                if (failed_.contains(at, here, pc)) return false;
                steps_.push_back({Undo::BRANCH, static_cast<std::uint32_t>(pc), at, here});
                pc = instruction.x;
                break;
            }
            case Op::RUN:
                if (failed_.contains(at, context(), pc) || !start_run(pc, at)) return false;
                break;
            case Op::BACKREF:
                if (!back_reference(instruction.x, at)) return false;
                ++pc;
                break;
            case Op::MATCH: return true;
            }
        }
    }

    // Takes the next way not yet tried, undoing the saves made since; false when none is left.
    bool back_up(std::size_t& pc, std::size_t& at)
    {
        while (!steps_.empty()) {
            const Step step = steps_.back();
            steps_.pop_back();
            switch (step.kind) {
            case Undo::RESTORE: slots_[step.pc] = step.position; break;
            case Undo::FAILED: failed_.insert(step.position, step.extra, step.pc); break;
            case Undo::BRANCH:
                steps_.push_back({Undo::FAILED, step.pc, step.position, step.extra});
                pc = program_[step.pc].y;
                at = step.position;
                return true;
            case Undo::SHORTEN_RUN:
                if (const std::size_t length = usable_length(step.pc, step.position, step.extra - 1)) {
                    steps_.push_back({Undo::SHORTEN_RUN, step.pc, step.position, length});
                    pc = step.pc + 1;
                    at = step.position + length;
                    return true;
                }
                failed_.insert(step.position, context(), step.pc);
                break;
            }
        }
        return false;
    }

    bool in(std::size_t set, std::size_t at) const
    {
        return pattern_.sets_[set].test(static_cast<std::uint8_t>(text_[at]));
    }

    bool start_run(std::size_t& pc, std::size_t& at)
    {
        const Instruction& run = program_[pc];
        std::size_t length = run.possessive ? run_length(run.set, at) : usable_length(pc, at, run_length(run.set, at));
        if (length == 0) {
            failed_.insert(at, context(), pc);
            return false;
        }
        if (run.possessive) {
            steps_.push_back({Undo::FAILED, static_cast<std::uint32_t>(pc), at, context()});
        } else {
            steps_.push_back({Undo::SHORTEN_RUN, static_cast<std::uint32_t>(pc), at, length});
        }
        ++pc;
        at += length;
        return true;
    }

    // The longest length up to `length` after which what follows the run can begin; 0 for none.
    std::size_t usable_length(std::size_t pc, std::size_t start, std::size_t length) const
    {
        const std::size_t follow = program_[pc].follow;
        if (follow == 0) return length;
        while (length > 0 && (start + length >= text_.size() || !in(follow, start + length))) --length;
        return length;
    }

    // How many bytes of the set start at `at`. Stretches already measured are kept, so that a run
    // entered again inside one (a blank region read from each of its lines) costs no rescan.
    std::size_t run_length(std::size_t set, std::size_t at)
    {
        if (line_sets_[set]) {
            const std::size_t line_feed = text_.find('\n', at);
            return (line_feed == std::string_view::npos ? text_.size() : line_feed) - at;
        }
        auto& known = runs_[set];
        auto after = known.upper_bound(at);
        if (after != known.begin() && std::prev(after)->second > at) return std::prev(after)->second - at;
        std::size_t end = at;
        while (end < text_.size() && in(set, end)) {
            if (after != known.end() && after->first == end) {
                end = after->second;
                known.erase(after);
                break;
            }
            ++end;
        }
        if (end > at) known.emplace(at, end);
        return end - at;
    }

    bool back_reference(std::size_t group, std::size_t& at) const
    {
        const std::size_t begin = slots_[2 * group], end = slots_[2 * group + 1];
        if (begin == UNSET_OFFSET || end == UNSET_OFFSET) return false;
        if (text_.substr(at, end - begin) != text_.substr(begin, end - begin)) return false;
        at += end - begin;
        return true;
    }

    // What the rest of the pattern may depend on besides (pc, position): the back-referenced
    // group's text once it has closed, where it opened while it is open, nothing before.
    std::uint32_t context()
    {
        const std::size_t group = pattern_.backref_group_;
        if (group == 0) return 0;
        const std::size_t begin = slots_[2 * group], end = slots_[2 * group + 1];
        if (begin == UNSET_OFFSET) return 0;
        if (end == UNSET_OFFSET) return FailedStates::NOT_REMEMBERED;
        if (begin != named_.begin || end != named_.end) {
            const auto [entry, added] =
                closed_contexts_.try_emplace(text_.substr(begin, end - begin), closed_contexts_.size() + 1);
            named_ = {begin, end, entry->second};
        }
        return named_.context;
    }

    const MemoPattern& pattern_;
    const std::vector<Instruction>& program_;
    std::string_view text_;
    std::vector<std::size_t> slots_;
    std::vector<Step> steps_;
    FailedStates failed_;
    std::vector<std::map<std::size_t, std::size_t>> runs_;  // per set: start -> end of a measured stretch
    std::vector<bool> line_sets_;                           // per set: "." (all but LF)
    std::unordered_map<std::string_view, std::uint32_t> closed_contexts_;
    struct {
        std::size_t begin = UNSET_OFFSET, end = UNSET_OFFSET;
        std::uint32_t context = 0;
    } named_;  // the closed context last looked up
};

std::vector<PatternMatch> MemoPattern::find_all(std::string_view subject) const
{
    return MemoSearch(*this, subject).find_all();
}

}  // namespace ostrand::external::dfoundations::detail
