// What a killed run leaves beside a project (its working copy with the database's logs, the
// scratch copy of a save) goes when the project is next opened; the project file itself is read,
// never changed, and none of the killed run's unsaved edits come back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "ProjectStoreParts.h"

namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<Item> Items(const std::string& prefix, int n) {
    std::vector<Item> items;
    for (int i = 1; i <= n; ++i) items.push_back({prefix + std::to_string(i), i});
    return items;
}

using ProjectLeftovers = StoreDir;

} // namespace

TEST_F(ProjectLeftovers, AKilledRunsFilesGoWhenTheProjectIsOpenedAgain) {
    {
        TestProject p;
        ASSERT_EQ(p.fm.OpenNew(Path("p.prj")), STORE_DONE);
        p.Add("Eins", Items("a", 3));
        ASSERT_EQ(p.fm.Save(Path("p.prj"), false), STORE_DONE);
    }
    const std::string saved = ReadBytes(Path("p.prj"));

    // A run edits the project and is killed: its working copy stays as it was at that moment,
    // logs included, and so does a half-built copy of a save.
    const std::filesystem::path keep = Path("gerettet");
    std::filesystem::create_directory(keep);
    {
        TestProject p;
        ASSERT_EQ(p.Load(Path("p.prj")), STORE_DONE);
        ASSERT_EQ(p.sheets.size(), 1u);
        p.sheets[0]->list.items = Items("ungespeichert", 5);
        ASSERT_EQ(p.sheets[0]->list.StoreStep(), STORE_DONE);
        for (const auto& e : std::filesystem::directory_iterator(dir_))
            if (e.path().filename().string().rfind("p.prj~", 0) == 0)
                std::filesystem::copy_file(e.path(), keep / e.path().filename());
    }
    for (const auto& e : std::filesystem::directory_iterator(keep))
        std::filesystem::copy_file(e.path(), Path(e.path().filename().string()),
                                   std::filesystem::copy_options::overwrite_existing);
    std::filesystem::remove_all(keep);
    for (const char* scratch : {"p.prj~~", "p.prj~~-journal", "p.prj~-journal"})
        std::ofstream(Path(scratch)) << "Reste eines abgebrochenen Speicherns";
    ASSERT_TRUE(std::filesystem::exists(Path("p.prj~")));

    {
        TestProject p;
        ASSERT_EQ(p.Load(Path("p.prj")), STORE_DONE);
        ASSERT_EQ(p.sheets.size(), 1u);
        EXPECT_EQ(p.sheets[0]->list.items, Items("a", 3));
        std::vector<std::string> open = Listing();
        EXPECT_EQ(std::count(open.begin(), open.end(), "p.prj~~"), 0);
        EXPECT_EQ(std::count(open.begin(), open.end(), "p.prj~~-journal"), 0);
        EXPECT_EQ(std::count(open.begin(), open.end(), "p.prj~-journal"), 0);
    }
    EXPECT_EQ(Listing(), std::vector<std::string>{"p.prj"});
    EXPECT_EQ(ReadBytes(Path("p.prj")), saved);
}
