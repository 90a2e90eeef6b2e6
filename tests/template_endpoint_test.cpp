#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "host/embedded_platform.hpp"
#include "host/file_url.hpp"
#include "ostrand/api_v1.hpp"
#include "ostrand/errors.hpp"
#include "support/scratch_folder.hpp"

namespace {

using namespace ostrand;
using host::EmbeddedPlatform;
using nlohmann::ordered_json;

constexpr const char* endpoint = "filldfoundationstemplate/v2/jobs/";

// Stands in for the template: the input file names the model type it was given.
std::string fill_stand_in(const nlohmann::ordered_json& document)
{
    if (!document.contains("model_type")) throw errors::InternalError("The model document has no \"model_type\".");
    return "[MODEL TYPE]\n" + document["model_type"].dump() + "\n";
}

class TemplateEndpoint : public ::testing::Test {
protected:
    void install(host::TemplateFiller fill)
    {
        set_platform(std::make_shared<EmbeddedPlatform>(
            host::EmbeddedPlatformOptions{.store = scratch / "store", .fill_template = std::move(fill)}));
    }
    void SetUp() override { install(fill_stand_in); }
    void TearDown() override { set_platform(nullptr); }

    // The road a model takes: upload the document, post the job, read the download location.
    std::string generate(const std::string& document_text)
    {
        api_v1::API api;
        core::BytesIO document(document_text);
        const std::string input_url = api._upload_temporary_file(document);
        const auto urls = api._generate_temporary_file_urls();
        core::_post_on_addon_endpoint(endpoint,
                                      {{"input_url", input_url}, {"upload_url", urls[0]}, {"upload_data", urls[1]}});
        return core::File::from_url(urls[2]).getvalue_binary();
    }

    std::string failure_of(const std::string& document_text)
    {
        try {
            generate(document_text);
        } catch (const errors::InternalError& error) {
            return error.what();
        }
        return "no InternalError";
    }

    test_support::ScratchFolder scratch;
};

TEST_F(TemplateEndpoint, FillsTheInputFileIntoTheDownloadLocation)
{
    EXPECT_EQ(generate(R"({"model_type": 1, "metadata": {"title": "caf\u00e9"}})"), "[MODEL TYPE]\n1\n");
}

TEST_F(TemplateEndpoint, ADocumentThatCannotBecomeAnInputFileRaisesInternalError)
{
    EXPECT_EQ(failure_of("{\"soils\": {}}"), "The model document has no \"model_type\".");
    EXPECT_EQ(failure_of("[1, 2]"), "The model document is not a JSON object.");
    EXPECT_EQ(failure_of("{\"model_type\": ").rfind("The model document is not JSON: ", 0), 0u);
}

TEST_F(TemplateEndpoint, OtherFailuresOfTheTemplateBecomeInternalError)
{
    install([](const nlohmann::ordered_json&) -> std::string { throw std::out_of_range("no such pile type"); });
    EXPECT_EQ(failure_of("{}"), "The D-Foundations template could not be filled: no such pile type");
}

TEST_F(TemplateEndpoint, ARequestNeedsItsThreeTextMembers)
{
    api_v1::API api;
    const auto urls = api._generate_temporary_file_urls();
    const ordered_json complete = {
        {"input_url", host::file_url(scratch / "doc.json")}, {"upload_url", urls[0]}, {"upload_data", urls[1]}};
    for (const char* member : {"input_url", "upload_url", "upload_data"}) {
        for (const ordered_json& replacement : {ordered_json(), ordered_json(5)}) {
            ordered_json request = complete;
            if (replacement.is_null())
                request.erase(member);
            else
                request[member] = replacement;
            try {
                core::_post_on_addon_endpoint(endpoint, request);
                ADD_FAILURE() << member;
            } catch (const errors::InternalError& error) {
                EXPECT_EQ(error.what(),
                          std::string("The template job request needs the text members \"input_url\", \"upload_url\" "
                                      "and \"upload_data\"; \"") +
                              member + "\" is missing or not text.");
            }
        }
    }
    EXPECT_THROW(core::_post_on_addon_endpoint(endpoint, ordered_json::array()), errors::InternalError);
}

TEST_F(TemplateEndpoint, UnreadableDocumentsAndForeignSlotsRaiseInternalError)
{
    api_v1::API api;
    core::BytesIO document("{\"model_type\": 0}");
    const std::string input_url = api._upload_temporary_file(document);
    const auto urls = api._generate_temporary_file_urls();
    const ordered_json cases[] = {
        {{"input_url", host::file_url(scratch / "missing.json")}, {"upload_url", urls[0]}, {"upload_data", urls[1]}},
        {{"input_url", "https://example.com/doc.json"}, {"upload_url", urls[0]}, {"upload_data", urls[1]}},
        {{"input_url", input_url}, {"upload_url", host::file_url(scratch.path()) + "/"}, {"upload_data", urls[1]}},
        {{"input_url", input_url}, {"upload_url", urls[0]}, {"upload_data", "{\"key\": \"../../evil\"}"}},
    };
    for (const auto& request : cases)
        EXPECT_THROW(core::_post_on_addon_endpoint(endpoint, request), errors::InternalError) << request;
}

TEST_F(TemplateEndpoint, UnknownEndpointsRaiseInternalError)
{
    for (const char* path : {"filldfoundationstemplate/v1/jobs/", "filldfoundationstemplate/v2/jobs", ""}) {
        try {
            core::_post_on_addon_endpoint(path, ordered_json::object());
            ADD_FAILURE() << path;
        } catch (const errors::InternalError& error) {
            EXPECT_EQ(error.what(), "The platform has no add-on endpoint '" + std::string(path) + "'.");
        }
    }
}

TEST_F(TemplateEndpoint, TheBuiltInTemplateIsUsedWhenNoneIsGiven)
{
    // The built-in template refuses a document with nothing in it, whatever else it accepts.
    install({});
    EXPECT_NE(failure_of("{}"), "no InternalError");
}

}  // namespace
