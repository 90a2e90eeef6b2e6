#define PCRE2_CODE_UNIT_WIDTH 8
#include "external/dfoundations/output/pattern.hpp"

#include <algorithm>
#include <limits>
#include <memory>
#include <stdexcept>

#include <pcre2.h>

#include "ostrand/external/dfoundations/output.hpp"

namespace ostrand::external::dfoundations::detail {

static_assert(UNSET_OFFSET == PCRE2_UNSET);

namespace {

pcre2_code* code_of(void* code) { return static_cast<pcre2_code*>(code); }

std::string error_text(int code)
{
    PCRE2_UCHAR buffer[256];
    pcre2_get_error_message(code, buffer, sizeof buffer);
    return reinterpret_cast<const char*>(buffer);
}

// The engine's default step limit (ten million) is reached by a plain lazy scan over a large
// output section, so the limits grow with the subject: generous for any real file, yet a pattern
// that backtracks without end still stops and reports it.
std::uint32_t step_limit(std::size_t subject_size)
{
    constexpr std::uint64_t floor = 10'000'000;
    const std::uint64_t wanted = std::max<std::uint64_t>(floor, std::uint64_t{64} * subject_size);
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(wanted, std::numeric_limits<std::uint32_t>::max()));
}

struct MatchResources {
    std::unique_ptr<pcre2_match_data, decltype(&pcre2_match_data_free)> data{nullptr, pcre2_match_data_free};
    std::unique_ptr<pcre2_match_context, decltype(&pcre2_match_context_free)> context{nullptr,
                                                                                      pcre2_match_context_free};
    std::unique_ptr<pcre2_jit_stack, decltype(&pcre2_jit_stack_free)> jit_stack{nullptr, pcre2_jit_stack_free};
};

bool is_limit(int rc)
{
    return rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT || rc == PCRE2_ERROR_HEAPLIMIT ||
           rc == PCRE2_ERROR_JIT_STACKLIMIT || rc == PCRE2_ERROR_NOMEMORY;
}

}  // namespace

Pattern::Pattern(std::string_view text, PatternOption option)
{
    std::uint32_t flags = PCRE2_NO_UTF_CHECK;
    if (option == PatternOption::DOTALL) flags |= PCRE2_DOTALL;
    if (option == PatternOption::MULTILINE) flags |= PCRE2_MULTILINE;
    std::unique_ptr<pcre2_compile_context, decltype(&pcre2_compile_context_free)> context(
        pcre2_compile_context_create(nullptr), pcre2_compile_context_free);
    pcre2_set_newline(context.get(), PCRE2_NEWLINE_LF);
    int error = 0;
    PCRE2_SIZE offset = 0;
    code_ =
        pcre2_compile(reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), flags, &error, &offset, context.get());
    if (code_ == nullptr) {
        throw std::logic_error("pattern does not compile at " + std::to_string(offset) + ": " + error_text(error));
    }
    jit_ = pcre2_jit_compile(code_of(code_), PCRE2_JIT_COMPLETE) == 0;
}

Pattern::~Pattern() { pcre2_code_free(code_of(code_)); }

int Pattern::group_number(const char* name) const
{
    return pcre2_substring_number_from_name(code_of(code_), reinterpret_cast<PCRE2_SPTR>(name));
}

std::optional<PatternMatch> Pattern::search(std::string_view subject, std::size_t start) const
{
    MatchResources resources;
    resources.data.reset(pcre2_match_data_create_from_pattern(code_of(code_), nullptr));
    resources.context.reset(pcre2_match_context_create(nullptr));
    if (!resources.data || !resources.context) throw std::bad_alloc();
    const std::uint32_t limit = step_limit(subject.size());
    pcre2_set_match_limit(resources.context.get(), limit);
    pcre2_set_depth_limit(resources.context.get(), limit);

    const auto run = [&] {
        return pcre2_match(code_of(code_), reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), start,
                           PCRE2_NO_UTF_CHECK, resources.data.get(), resources.context.get());
    };
    int rc = run();
    if (rc == PCRE2_ERROR_JIT_STACKLIMIT && jit_) {
        // The default JIT stack is small; deep but legitimate matches get a larger one.
        resources.jit_stack.reset(pcre2_jit_stack_create(64 * 1024, 64 * 1024 * 1024, nullptr));
        if (!resources.jit_stack) throw std::bad_alloc();
        pcre2_jit_stack_assign(resources.context.get(), nullptr, resources.jit_stack.get());
        rc = run();
    }
    if (rc == PCRE2_ERROR_NOMATCH) return std::nullopt;
    if (is_limit(rc)) {
        throw PatternLimitError("The output file is too large or too irregular to be read: " + error_text(rc) + ".");
    }
    if (rc < 0) throw std::runtime_error("Pattern matching failed: " + error_text(rc));

    PatternMatch match;
    match.pattern_ = this;
    match.subject_ = subject;
    const std::uint32_t pairs = pcre2_get_ovector_count(resources.data.get());
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(resources.data.get());
    match.offsets_.assign(ovector, ovector + 2 * pairs);
    return match;
}

std::vector<PatternMatch> Pattern::find_all(std::string_view subject) const
{
    std::vector<PatternMatch> matches;
    std::size_t position = 0;
    while (position <= subject.size()) {
        auto match = search(subject, position);
        if (!match) break;
        position = match->end() > match->start() ? match->end() : match->end() + 1;
        matches.push_back(std::move(*match));
    }
    return matches;
}

std::string Pattern::remove_all(std::string_view subject) const
{
    std::string result;
    std::size_t kept = 0;
    for (const auto& match : find_all(subject)) {
        result.append(subject.substr(kept, match.start() - kept));
        kept = match.end();
    }
    result.append(subject.substr(kept));
    return result;
}

bool PatternMatch::matched(const char* name) const
{
    const int number = pattern_->group_number(name);
    if (number < 0 || static_cast<std::size_t>(2 * number + 1) >= offsets_.size()) return false;
    return offsets_[2 * number] != UNSET_OFFSET;
}

std::string_view PatternMatch::group(const char* name) const
{
    if (!matched(name)) return {};
    const int number = pattern_->group_number(name);
    return subject_.substr(offsets_[2 * number], offsets_[2 * number + 1] - offsets_[2 * number]);
}

}  // namespace ostrand::external::dfoundations::detail
