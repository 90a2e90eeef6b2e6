// Reading a BRO XML CPT of 10,000 blocks (25 values each, as the register writes them; about
// 1.9 MB): parsing, finding the CPT, splitting and converting the values, sorting the rows.
// Goal: under 20 ms.
#include <cstdio>
#include <string>

#include <benchmark/benchmark.h>

#include <ostrand/geo.hpp>

namespace {

constexpr const char* PARAMETERS[] = {"penetrationLength",
                                      "depth",
                                      "elapsedTime",
                                      "coneResistance",
                                      "correctedConeResistance",
                                      "netConeResistance",
                                      "magneticFieldStrengthX",
                                      "magneticFieldStrengthY",
                                      "magneticFieldStrengthZ",
                                      "magneticFieldStrengthTotal",
                                      "electricalConductivity",
                                      "inclinationEW",
                                      "inclinationNS",
                                      "inclinationX",
                                      "inclinationY",
                                      "inclinationResultant",
                                      "magneticInclination",
                                      "magneticDeclination",
                                      "localFriction",
                                      "poreRatio",
                                      "temperature",
                                      "porePressureU1",
                                      "porePressureU2",
                                      "porePressureU3",
                                      "frictionRatio"};

// A dispatchDataResponse like the register's: blocks every 2 cm from the predrilled depth, the
// measured columns filled, the others void, and the first 100 blocks delivered last.
std::string bro_cpt(std::size_t blocks)
{
    std::string values;
    values.reserve(blocks * 200);
    char cell[64];
    const auto block = [&](std::size_t i) {
        const double depth = 0.5 + 0.02 * static_cast<double>(i);
        std::snprintf(cell, sizeof cell, "%.3f,%.3f,%.1f,%.3f", depth, depth, 100.0 + 0.9 * static_cast<double>(i),
                      1.0 + 0.001 * static_cast<double>(i % 997));
        values += cell;
        for (int column = 4; column < 25; ++column) {
            if (column == 15)
                values += ",1";
            else if (column == 18) {
                std::snprintf(cell, sizeof cell, ",%.3f", 0.01 + 0.0001 * static_cast<double>(i % 113));
                values += cell;
            } else if (column == 24) {
                std::snprintf(cell, sizeof cell, ",%.1f", 0.5 + 0.1 * static_cast<double>(i % 41));
                values += cell;
            } else
                values += ",-999999";
        }
        values += ';';
    };
    const std::size_t late = blocks < 100 ? 0 : 100;
    for (std::size_t i = late; i < blocks; ++i) block(i);
    for (std::size_t i = 0; i < late; ++i) block(i);

    std::string parameters;
    for (std::size_t i = 0; i < std::size(PARAMETERS); ++i) {
        const bool measured = i <= 3 || i == 15 || i == 18 || i == 24;
        parameters += std::string("<cptcommon:") + PARAMETERS[i] + ">" + (measured ? "ja" : "nee") +
                      "</cptcommon:" + PARAMETERS[i] + ">\n";
    }
    return R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<dispatchDataResponse xmlns="http://www.broservices.nl/xsd/dscpt/1.1" xmlns:brocom="http://www.broservices.nl/xsd/brocommon/3.0" xmlns:cptcommon="http://www.broservices.nl/xsd/cptcommon/1.1" xmlns:gml="http://www.opengis.net/gml/3.2" xmlns:swe="http://www.opengis.net/swe/2.0">
<brocom:responseType>dispatch</brocom:responseType>
<brocom:dispatchTime>2026-03-02T09:15:00+01:00</brocom:dispatchTime>
<dispatchDocument><CPT_O gml:id="BRO_0001">
<brocom:broId>CPT000000010000</brocom:broId>
<researchReportDate><brocom:date>2026-02-27</brocom:date></researchReportDate>
<deliveredLocation><cptcommon:location srsName="urn:ogc:def:crs:EPSG::28992"><gml:pos>155000.000 463000.000</gml:pos></cptcommon:location></deliveredLocation>
<deliveredVerticalPosition><cptcommon:offset uom="m">0.450</cptcommon:offset></deliveredVerticalPosition>
<conePenetrometerSurvey>
<cptcommon:trajectory><cptcommon:predrilledDepth uom="m">0.50</cptcommon:predrilledDepth></cptcommon:trajectory>
<cptcommon:conePenetrationTest><cptcommon:cptResult>
<swe:encoding><swe:TextEncoding decimalSeparator="." tokenSeparator="," blockSeparator=";"/></swe:encoding>
<cptcommon:values>)" +
           values +
           "</cptcommon:values>\n</cptcommon:cptResult></cptcommon:conePenetrationTest>\n<cptcommon:parameters>\n" +
           parameters +
           "</cptcommon:parameters>\n</conePenetrometerSurvey></CPT_O></dispatchDocument></dispatchDataResponse>\n";
}

void BM_ReadBroXml(benchmark::State& state)
{
    const std::size_t blocks = static_cast<std::size_t>(state.range(0));
    const std::string text = bro_cpt(blocks);
    for (auto _ : state) {
        const auto data = ostrand::geo::GEFData::from_bro_xml(text, "bench");
        if (data.elevation.size() != blocks) state.SkipWithError("rows lost");
        benchmark::DoNotOptimize(data);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["file_bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_ReadBroXml)->Arg(10000)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
