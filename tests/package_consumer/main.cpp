#include <iostream>

#include "ostrand/errors.hpp"
#include "ostrand/external/dfoundations/output.hpp"
#include "ostrand/external/dfoundations/vocabulary.hpp"

int main()
{
    namespace dfo = ostrand::external::dfoundations;
    try {
        dfo::OutputFileParser::create(ostrand::core::StringIO("not an output file"));
    } catch (const ostrand::errors::ParsingError& error) {
        std::cout << dfo::short_text(dfo::CPTRule::NEN_STRESS) << ": " << error.what() << '\n';
        return 0;
    }
    return 1;
}
