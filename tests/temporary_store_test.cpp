#include <sys/stat.h>

#include <set>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "host/embedded_platform.hpp"
#include "host/file_url.hpp"
#include "host/temporary_store.hpp"
#include "ostrand/api_v1.hpp"
#include "ostrand/errors.hpp"
#include "support/scratch_folder.hpp"

namespace {

using namespace ostrand;
using host::EmbeddedPlatform;
using host::TemporaryStore;
namespace fs = std::filesystem;

class TemporaryFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = scratch / "store";
        set_platform(std::make_shared<EmbeddedPlatform>(host::EmbeddedPlatformOptions{.store = store}));
    }
    void TearDown() override { set_platform(nullptr); }

    std::set<std::string> stored_names() const
    {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(store)) names.insert(entry.path().filename().string());
        return names;
    }

    test_support::ScratchFolder scratch;
    fs::path store;
};

TEST_F(TemporaryFiles, UploadedBytesReadBackFromTheirUrl)
{
    const std::string bytes("model \"document\"\0\xff\n", 20);
    core::BytesIO stream(bytes);
    stream.seek(6);
    const std::string url = api_v1::API()._upload_temporary_file(stream);

    EXPECT_EQ(url.rfind("file://" + store.string() + "/", 0), 0u) << url;
    EXPECT_EQ(core::File::from_url(url).getvalue_binary(), bytes.substr(6));
    EXPECT_EQ(stored_names().size(), 1u);  // nothing written aside is left behind
}

TEST_F(TemporaryFiles, EveryUploadAndSlotGetsAFreshUnguessableName)
{
    api_v1::API api;
    std::set<std::string> urls;
    for (int i = 0; i < 50; ++i) {
        core::BytesIO stream("same bytes");
        urls.insert(api._upload_temporary_file(stream));
        const auto slot = api._generate_temporary_file_urls();
        ASSERT_EQ(slot.size(), 3u);
        urls.insert(slot[2]);
    }
    EXPECT_EQ(urls.size(), 100u);
    const std::string name = fs::path(*urls.begin()).filename().string();
    EXPECT_EQ(name.size(), 32u);
    EXPECT_EQ(name.find_first_not_of("0123456789abcdef"), std::string::npos);
}

TEST_F(TemporaryFiles, AFilledSlotIsReadAtItsDownloadUrl)
{
    TemporaryStore own(store);
    const auto slot = own.new_slot();
    EXPECT_EQ(slot.upload_url, "file://" + store.string() + "/");
    EXPECT_FALSE(fs::exists(host::path_of_file_url(slot.download_url)));  // nothing stored before it is filled

    own.fill_slot(slot.upload_url, slot.upload_data, "first");
    own.fill_slot(slot.upload_url, slot.upload_data, "second");
    EXPECT_EQ(core::File::from_url(slot.download_url).getvalue_binary(), "second");
    EXPECT_EQ(stored_names().size(), 1u);
}

TEST_F(TemporaryFiles, SlotsCannotBeWrittenOutsideTheStore)
{
    TemporaryStore own(store);
    const auto slot = own.new_slot();
    const std::string other_folder = "file://" + scratch.path().string() + "/";
    const struct {
        std::string upload_url;
        std::string upload_data;
    } cases[] = {
        {other_folder, slot.upload_data},
        {slot.upload_url + "sub/", slot.upload_data},
        {"file://" + store.string() + "/../", slot.upload_data},
        {slot.upload_url, R"({"key": "../escaped"})"},
        {slot.upload_url, R"({"key": "/tmp/escaped"})"},
        {slot.upload_url, R"({"key": "0123456789abcdef0123456789abcdeF"})"},
        {slot.upload_url, R"({"key": 12})"},
        {slot.upload_url, "not json"},
        {"https://example.com/", slot.upload_data},
    };
    for (const auto& c : cases) {
        EXPECT_ANY_THROW(own.fill_slot(c.upload_url, c.upload_data, "x")) << c.upload_url << " " << c.upload_data;
    }
    EXPECT_FALSE(fs::exists(scratch / "escaped"));
    EXPECT_FALSE(fs::exists("/tmp/escaped"));
}

TEST(FileUrls, PathsSurviveTheRoundTripThroughPercentEncoding)
{
    for (const fs::path path : {"/tmp/plain.foi", "/tmp/with space/50% #1?.foi", "/tmp/caf\xc3\xa9/\xe2\x82\xac.foi"}) {
        const std::string url = host::file_url(path);
        EXPECT_EQ(url.find(' '), std::string::npos) << url;
        EXPECT_EQ(host::path_of_file_url(url), path) << url;
    }
    EXPECT_EQ(host::path_of_file_url("FILE://localhost/tmp/a%20b"), fs::path("/tmp/a b"));
    EXPECT_EQ(host::path_of_file_url("file:///tmp/a.fod?version=1#top"), fs::path("/tmp/a.fod"));
}

TEST(FileUrls, OtherSchemesAndRemoteHostsAreNotServed)
{
    for (const char* url :
         {"https://example.com/a.foi", "http://localhost/a.foi", "s3://bucket/key", "file://server/share/a.foi"}) {
        EXPECT_THROW(host::path_of_file_url(url), errors::NotImplementedError) << url;
    }
    for (const char* url :
         {"no url at all", "file:/tmp/a", "file://", "file:///tmp/%zz", "file:///tmp/%2", "file:///tmp/a%00b"}) {
        EXPECT_THROW(host::path_of_file_url(url), std::invalid_argument) << url;
    }
}

TEST_F(TemporaryFiles, FromUrlRefusesOtherSchemesAndReportsMissingFiles)
{
    try {
        core::File::from_url("https://example.com/input.foi");
        FAIL() << "an https URL was read";
    } catch (const errors::NotImplementedError& error) {
        EXPECT_STREQ(error.what(),
                     "Only file:// URLs can be read on this machine, not 'https://example.com/input.foi'.");
    }
    EXPECT_THROW(core::File::from_url(host::file_url(scratch / "missing.foi")), errors::InternalError);
    EXPECT_THROW(core::File::from_url(host::file_url(scratch.path())), errors::InternalError);
}

TEST(AtomicWrite, AFailedWriteLeavesTheOldFileAndNothingAside)
{
    test_support::ScratchFolder scratch;
    const auto target = scratch / "result.fod";
    host::write_file_atomically(target, "old");
    host::write_file_atomically(target, "new");
    EXPECT_EQ(test_support::read(target), "new");

    fs::create_directory(scratch / "occupied");
    fs::create_directory(scratch / "occupied" / "keep");  // a non-empty folder cannot be replaced by a file
    EXPECT_THROW(host::write_file_atomically(scratch / "occupied", "new"), errors::StorageError);
    EXPECT_THROW(host::write_file_atomically(scratch / "no such folder" / "x", "new"), errors::StorageError);

    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(scratch.path())) names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"occupied", "result.fod"}));
}

TEST(PrivateStore, IsCreatedPrivateAndRefusedWhenOthersCouldReachIt)
{
    test_support::ScratchFolder scratch;
    TemporaryStore fresh(scratch / "private", true);
    fresh.put("x");
    struct stat status {};
    ASSERT_EQ(::lstat((scratch / "private").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);

    fs::create_directory(scratch / "open");
    fs::permissions(scratch / "open", fs::perms::owner_all | fs::perms::group_all | fs::perms::others_all);
    EXPECT_THROW(TemporaryStore(scratch / "open", true).put("x"), errors::InternalError);

    fs::create_directory_symlink(scratch / "private", scratch / "link");
    EXPECT_THROW(TemporaryStore(scratch / "link", true).put("x"), errors::InternalError);
}

TEST(StoreLocation, FollowsTheEnvironmentUnlessTheProgramSaysOtherwise)
{
    test_support::ScratchFolder scratch;
    ::setenv("DFOUNDATIONS_STORE", (scratch / "from-env").c_str(), 1);
    EXPECT_EQ(EmbeddedPlatform().store_folder(), scratch / "from-env");
    EXPECT_EQ(EmbeddedPlatform({.store = scratch / "chosen"}).store_folder(), scratch / "chosen");
    ::unsetenv("DFOUNDATIONS_STORE");
    const fs::path fallback = EmbeddedPlatform().store_folder();
    EXPECT_TRUE(fs::equivalent(fallback.parent_path(), fs::temp_directory_path()));
    EXPECT_EQ(fallback.filename(), "dfoundations-store-" + std::to_string(::getuid()));
}

}  // namespace

namespace {

TEST_F(TemporaryFiles, ADiscardedFileIsGoneAndOnlyTheStoresOwnFilesCanBeDiscarded)
{
    api_v1::API api;
    core::BytesIO stream("bytes");
    const std::string url = api._upload_temporary_file(stream);
    const auto outside = scratch.write("outside.txt", "keep me");
    api._discard_temporary_file(host::file_url(outside));
    api._discard_temporary_file("https://example.invalid/x");
    api._discard_temporary_file(url);
    api._discard_temporary_file(url);  // twice is fine
    EXPECT_TRUE(stored_names().empty());
    EXPECT_TRUE(fs::exists(outside));
}

TEST_F(TemporaryFiles, AStoreDropsItsOwnFilesOlderThanADayWhenItOpens)
{
    api_v1::API api;
    core::BytesIO old_stream("old"), fresh_stream("fresh");
    const fs::path old_file = host::path_of_file_url(api._upload_temporary_file(old_stream));
    const fs::path fresh_file = host::path_of_file_url(api._upload_temporary_file(fresh_stream));
    const auto foreign = store / "notes.txt";
    std::ofstream(foreign) << "not the store's";
    // What a program killed while writing leaves beside a name of the store.
    const auto aside = store / ("." + fresh_file.filename().string() + ".Ab12Cd");
    std::ofstream(aside) << "half";
    const auto foreign_hidden = store / ".notes.txt.Ab12Cd";
    std::ofstream(foreign_hidden) << "not the store's";
    for (const auto& path : {old_file, foreign, aside, foreign_hidden})
        fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::hours(25));

    EmbeddedPlatform reopened(host::EmbeddedPlatformOptions{.store = store});
    EXPECT_FALSE(fs::exists(old_file));
    EXPECT_FALSE(fs::exists(aside));
    EXPECT_TRUE(fs::exists(fresh_file));
    EXPECT_TRUE(fs::exists(foreign));
    EXPECT_TRUE(fs::exists(foreign_hidden));
}

}  // namespace
