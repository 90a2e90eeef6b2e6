// Feeds arbitrary bytes to output-file recognition, parameters and results, and checks on small
// inputs that the table locator finds exactly what the table pattern finds, and that the
// memoising matcher finds exactly what PCRE2 finds with the version-17 tension patterns.
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "ostrand/errors.hpp"
#include "ostrand/external/dfoundations/output.hpp"

#include "external/dfoundations/output/memo_pattern.hpp"
#include "external/dfoundations/output/pattern.hpp"
#include "external/dfoundations/output/table_locator.hpp"

namespace {

using namespace ostrand::external::dfoundations;

// The errors a malformed file may raise; anything else is a fault.
template <class Action>
void tolerate_file_errors(Action action)
{
    try {
        action();
    } catch (const ostrand::errors::ParsingError&) {
    } catch (const std::invalid_argument&) {
    } catch (const std::out_of_range&) {
    } catch (const PatternLimitError&) {
    }
}

void read_everything(const OutputFileParser& parser)
{
    tolerate_file_errors([&] { (void)parser.calculation_parameters(); });
    tolerate_file_errors([&] { (void)parser.results(true); });
    tolerate_file_errors([&] { (void)parser.results(false); });
}

void check_locator(const std::string& text)
{
    static const detail::Pattern pattern(detail::ParserV19::DATAFRAME_PATTERN, detail::PatternOption::DOTALL);
    std::vector<detail::PatternMatch> expected;
    try {
        expected = pattern.find_all(text);
    } catch (const PatternLimitError&) {
        return;
    }
    const auto found = detail::locate_tables(text);
    bool same = found.size() == expected.size();
    for (std::size_t i = 0; same && i < found.size(); ++i) {
        same = found[i].start == expected[i].start() && found[i].end == expected[i].end() &&
               found[i].name == expected[i].group("name") && found[i].columns == expected[i].group("columns") &&
               found[i].data == expected[i].group("data");
    }
    if (!same) std::abort();
}

struct TensionPattern {
    explicit TensionPattern(const std::string& text) : pcre2(text, detail::PatternOption::MULTILINE), memo(text) {}
    detail::Pattern pcre2;
    detail::MemoPattern memo;
};

// Every match and group the same; PCRE2 stopping on its limit proves nothing either way.
void check_memo_pattern(const TensionPattern& pattern, const std::string& text)
{
    std::vector<detail::PatternMatch> expected;
    try {
        expected = pattern.pcre2.find_all(text);
    } catch (const PatternLimitError&) {
        return;
    }
    const auto found = pattern.memo.find_all(text);
    bool same = found.size() == expected.size();
    for (std::size_t i = 0; same && i < found.size(); ++i) same = found[i].offsets() == expected[i].offsets();
    if (!same) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(bytes), size);
    const ostrand::core::StringIO file(text);
    tolerate_file_errors([&] { read_everything(*OutputFileParser::create(file)); });

    // The parsers themselves, on the input taken as an output section.
    const ostrand::core::StringIO section("[END OF INPUT DATA]\n[DUMPFILE OUTPUT]\n" + text + "\n[END OF DUMPFILE]");
    tolerate_file_errors([&] { read_everything(detail::PreliminaryTensionParserV17(section)); });
    tolerate_file_errors([&] { read_everything(detail::PreliminaryBearingParserV17(section)); });
    tolerate_file_errors([&] { read_everything(detail::VerificationParserV19(section)); });

    if (size <= 2048) {
        check_locator(text);
        static const TensionPattern results(detail::PreliminaryTensionParserV17::results_pattern());
        static const TensionPattern blocks{std::string(detail::PreliminaryTensionParserV17::DATA_PATTERN)};
        check_memo_pattern(results, text);
        check_memo_pattern(blocks, text);
    }
    return 0;
}
