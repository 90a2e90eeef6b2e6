#include <iostream>

#include "ostrand/errors.hpp"
#include "ostrand/external/dfoundations/output.hpp"
#include "ostrand/external/dfoundations/vocabulary.hpp"
#include "ostrand/geo.hpp"

int main()
{
    namespace dfo = ostrand::external::dfoundations;
    try {
        // The BRO XML reader needs pugixml, which the installed package finds for a static library.
        ostrand::geo::GEFData::from_bro_xml("<html/>", "consumer");
        return 1;
    } catch (const ostrand::errors::ParsingError&) {
    }
    try {
        dfo::OutputFileParser::create(ostrand::core::StringIO("not an output file"));
    } catch (const ostrand::errors::ParsingError& error) {
        std::cout << dfo::short_text(dfo::CPTRule::NEN_STRESS) << ": " << error.what() << '\n';
        return 0;
    }
    return 1;
}
