// Small models, a snapshot of a model's collections, and a platform that records what the
// library asks of it, shared by the model tests.
#pragma once

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "ostrand/errors.hpp"
#include "ostrand/external/dfoundations/models.hpp"
#include "ostrand/platform.hpp"

namespace model_test {

using namespace ostrand::external::dfoundations;
using json = nlohmann::ordered_json;

inline BearingPilesCalculationOptions
bearing_options(CalculationType type = CalculationType::INDICATION_BEARING_CAPACITY)
{
    return BearingPilesCalculationOptions(
        type, false, {.trajectory_begin_end_interval = Trajectory{-10.0, -20.0, 0.5}, .cpt_test_level = -1.0});
}

inline TensionPilesCalculationOptions tension_options()
{
    return TensionPilesCalculationOptions(CalculationType::INDICATION_BEARING_CAPACITY, false,
                                          {.trajectory_begin_end_interval = Trajectory{-10.0, -20.0, 0.5}});
}

inline BearingPilesModel bearing_model(ModelOptions options = {},
                                       CalculationType type = CalculationType::INDICATION_BEARING_CAPACITY)
{
    return BearingPilesModel(ConstructionSequence::CPT_EXCAVATION_INSTALL, bearing_options(type), -1.0, options);
}

inline TensionPilesModel tension_model(ModelOptions options = {})
{
    return TensionPilesModel(ConstructionSequence::CPT_EXCAVATION_INSTALL, tension_options(), -1.0, options);
}

inline Measurements rows() { return {{0.5, 1.25}, {0.4, 2.5}, {0.3, 3.75}}; }

inline std::vector<ProfileLayer> layers(const std::vector<std::string>& materials)
{
    std::vector<ProfileLayer> result;
    double top = 0.0;
    for (const std::string& material : materials) result.emplace_back(top -= 1.0, material);
    return result;
}

// A profile, a pile type and a pile: the least a model needs to be turned into an input file.
inline void complete(BearingPilesModel& model)
{
    model.create_material("Sand", SoilType::SAND, 17.0, 19.0, 30.0);
    model.create_profile("P1", layers({"Sand"}), 0.0, 0.0, rows(), -1.0, -20.0, 1.0, -0.5, -10.0, 0.1);
    model.create_pile_type("PT", RoundPile(0.4), PileType::CONTINUOUS_FLIGHT_AUGER, PileSlipLayer::NONE);
    model.create_pile("A1", 1.0, 2.0, 0.0, 0.0, 500.0, 400.0);
}

// Everything a caller can read of a model's collections.
struct Snapshot {
    json materials, profiles, pile_types, piles;
    bool operator==(const Snapshot&) const = default;
};

inline Snapshot snapshot(const detail::Model& model)
{
    return {model.materials(), model.profiles(), model.pile_types(), model.piles()};
}

// Runs `operation`, expects it to throw exactly `message` as an `Error`, and the model unchanged.
template <typename Error, typename Operation>
void expect_rejected(const detail::Model& model, Operation&& operation, const std::string& message)
{
    const Snapshot before = snapshot(model);
    try {
        operation();
        ADD_FAILURE() << "no error, expected: " << message;
    } catch (const Error& error) {
        EXPECT_EQ(error.what(), message);
    }
    EXPECT_TRUE(snapshot(model) == before) << "the model changed: " << message;
}

// A platform that records every call and serves a fixed input file.
class RecordingPlatform : public ostrand::Platform {
public:
    std::vector<std::string> calls;
    std::vector<std::string> uploads;
    std::vector<std::string> locations{"https://temp/upload", "upload-data", "https://temp/download"};
    std::string path;
    json payload;
    std::chrono::seconds timeout{0};
    std::string downloaded_url;
    std::string served = "[VERSION]\nD-Foundations input\n";
    bool endpoint_fails = false;
    bool upload_fails = false;

    std::string upload_temporary_file(std::string_view bytes) override
    {
        calls.push_back("upload");
        if (upload_fails) throw std::runtime_error("upload refused");
        uploads.emplace_back(bytes);
        return "https://temp/input";
    }
    std::vector<std::string> generate_temporary_file_urls() override
    {
        calls.push_back("urls");
        return locations;
    }
    void post_on_addon_endpoint(const std::string& endpoint, const json& request, std::chrono::seconds limit) override
    {
        calls.push_back("post");
        path = endpoint;
        payload = request;
        timeout = limit;
        if (endpoint_fails) throw ostrand::errors::InternalError("template service failed");
    }
    std::string download(const std::string& url) override
    {
        calls.push_back("download");
        downloaded_url = url;
        return served;
    }
    ostrand::JobOutcome execute_job(const std::string&, std::chrono::seconds) override
    {
        throw std::logic_error("no jobs in model tests");
    }
};

// Installs a recording platform for the lifetime of the guard.
class RecordingPlatformGuard {
public:
    RecordingPlatformGuard()
        : platform_(std::make_shared<RecordingPlatform>()),
          previous_(ostrand::set_platform(platform_))
    {
    }
    ~RecordingPlatformGuard() { ostrand::set_platform(previous_); }
    RecordingPlatformGuard(const RecordingPlatformGuard&) = delete;
    RecordingPlatformGuard& operator=(const RecordingPlatformGuard&) = delete;
    RecordingPlatform* operator->() const { return platform_.get(); }
    RecordingPlatform& operator*() const { return *platform_; }

private:
    std::shared_ptr<RecordingPlatform> platform_;
    std::shared_ptr<ostrand::Platform> previous_;
};

}  // namespace model_test
