// The [Mirror] group of the installation values: the sources it names, in
// order, with their credits; URLs that are not http(s) left out; override files
// of XDG_CONFIG_DIRS over the shipped file.

#include "mirror_config.h"
#include "support/environment.h"
#include "support/qt_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace chronvale::imaged {
namespace {

struct SourcesCase {
    const char* name;
    std::map<std::string, std::string, std::less<>> values;
    std::vector<std::string> clouds; // url|credit
    std::vector<std::string> quakes;
    int loggedLines;
};

// url|credit, and |infrared for an infrared map.
std::vector<std::string> flatten(const std::vector<MirrorSource>& sources) {
    std::vector<std::string> out;
    for (const MirrorSource& source : sources) {
        out.push_back(source.url + "|" + source.credit +
                      (source.kind == CloudImageKind::Infrared ? "|infrared" : ""));
    }
    return out;
}

class MirrorGroup : public ::testing::TestWithParam<SourcesCase> {};

TEST_P(MirrorGroup, NamesTheSourcesInTheOrderOfTheirNumbers) {
    LinkConfig config;
    config.values = GetParam().values;
    QStringList logged;
    const MirrorSources sources =
        mirrorSourcesFromConfig(config, [&logged](const QString& line) { logged << line; });
    EXPECT_EQ(flatten(sources.clouds), GetParam().clouds);
    EXPECT_EQ(flatten(sources.quakes), GetParam().quakes);
    EXPECT_EQ(logged.size(), GetParam().loggedLines) << logged.join('\n').toStdString();
    for (const QString& line : logged) {
        EXPECT_TRUE(line.contains("is not an http(s) URL") ||
                    line.contains("is neither clouds nor infrared"))
            << line.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MirrorGroup,
    ::testing::Values(SourcesCase{"Empty", {}, {}, {}, 0},
                      SourcesCase{
                          "NumbersNotKeyOrder",
                          {{"Mirror/clouds10", "https://c.test/10"},
                           {"Mirror/clouds2", "http://b.test/2"},
                           {"Mirror/clouds1", "https://a.test/1"},
                           {"Mirror/clouds1_credit", "Made by A."},
                           {"Mirror/quakes1", "https://q.test/feed"}},
                          {"https://a.test/1|Made by A.", "http://b.test/2|", "https://c.test/10|"},
                          {"https://q.test/feed|"},
                          0},
                      SourcesCase{"OtherSchemesAreLoggedAndLeftOut",
                                  {{"Mirror/clouds1", "ftp://a.test/map.jpg"},
                                   {"Mirror/clouds2", "file:///srv/map.jpg"},
                                   {"Mirror/clouds3", "not a url"},
                                   {"Mirror/clouds4", "HTTPS://d.test/map.jpg"},
                                   {"Mirror/quakes1", "javascript:alert(1)"}},
                                  {"HTTPS://d.test/map.jpg|"},
                                  {},
                                  4},
                      SourcesCase{"EmptyValuesAndOtherGroupsAreNoSources",
                                  {{"Mirror/clouds1", ""},
                                   {"Mirror/cloudsX", "https://x.test/"},
                                   {"clouds1", "https://general.test/"},
                                   {"Defaults/clouds1", "https://defaults.test/"},
                                   {"Mirror/clouds2", "https://b.test/"}},
                                  {"https://b.test/|"},
                                  {},
                                  0}),
    [](const auto& info) { return std::string(info.param.name); });

// cloudsN_kind: an unknown kind leaves its source out; quakes have no kind.
INSTANTIATE_TEST_SUITE_P(Kinds, MirrorGroup,
                         ::testing::Values(SourcesCase{
                             "OfCloudMaps",
                             {{"Mirror/clouds1", "https://a.test/"},
                              {"Mirror/clouds1_kind", "infrared"},
                              {"Mirror/clouds2", "https://b.test/"},
                              {"Mirror/clouds2_kind", "clouds"},
                              {"Mirror/clouds3", "https://c.test/"},
                              {"Mirror/clouds3_kind", "radar"},
                              {"Mirror/clouds4", "https://d.test/"},
                              {"Mirror/clouds4_kind", ""},
                              {"Mirror/quakes1", "https://q.test/"},
                              {"Mirror/quakes1_kind", "infrared"}},
                             {"https://a.test/||infrared", "https://b.test/|", "https://d.test/|"},
                             {"https://q.test/|"},
                             1}),
                         [](const auto& info) { return std::string(info.param.name); });

struct PathsCase {
    const char* name;
    const char* variable;
    QStringList paths;
};

class OverrideFolders : public ::testing::TestWithParam<PathsCase> {};

TEST_P(OverrideFolders, FollowXdgConfigDirs) {
    const test::ScopedVariable variable("XDG_CONFIG_DIRS", std::string(GetParam().variable));
    EXPECT_EQ(systemConfigPaths(), GetParam().paths);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OverrideFolders,
    ::testing::Values(PathsCase{"Empty", "", {"/etc/xdg/QUILLMAR/Chronvale.conf"}},
                      PathsCase{
                          "Two",
                          "/site:/etc/xdg",
                          {"/site/QUILLMAR/Chronvale.conf", "/etc/xdg/QUILLMAR/Chronvale.conf"}},
                      PathsCase{"RelativeAndEmptyEntriesIgnored",
                                "relative::/opt/conf:",
                                {"/opt/conf/QUILLMAR/Chronvale.conf"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MirrorGroup, TheFirstOverrideFolderWinsOverTheNextAndTheShippedFile) {
    QTemporaryDir dir;
    const QString shipped = QDir(dir.path()).filePath("data/chronvale.ini");
    test::writeFile(shipped,
                    "[General]\nserver=\"127.0.0.1:8470\"\n[Mirror]\n"
                    "clouds1=\"https://shipped.test/1\"\nclouds2=\"https://shipped.test/2\"\n"
                    "quakes1=\"https://shipped.test/feed\"\n");
    test::writeFile(
        QDir(dir.path()).filePath("site/QUILLMAR/Chronvale.conf"),
        "[Mirror]\nclouds1=\"https://site.test/clouds\"\nclouds1_credit=\"Site mirror.\"\n");
    test::writeFile(
        QDir(dir.path()).filePath("vendor/QUILLMAR/Chronvale.conf"),
        "[General]\nserver=\"10.0.0.1:9000\"\n[Mirror]\nclouds1=\"https://vendor.test/\"\n"
        "clouds2=\"\"\n");
    const test::ScopedVariable variable(
        "XDG_CONFIG_DIRS", (dir.path() + "/site:" + dir.path() + "/vendor").toStdString());
    const LinkConfig config = loadLinkConfig(shipped);
    EXPECT_EQ(config.imageServer(), "10.0.0.1:9000");
    const MirrorSources sources = mirrorSourcesFromConfig(config, [](const QString&) {});
    EXPECT_EQ(flatten(sources.clouds),
              std::vector<std::string>{"https://site.test/clouds|Site mirror."});
    EXPECT_EQ(flatten(sources.quakes), std::vector<std::string>{"https://shipped.test/feed|"});
}

TEST(MirrorGroup, TheShippedFileNamesTheBuiltInSourcesFirst) {
    LinkConfig config =
        loadLinkConfig(QStringLiteral(CHRONVALE_SOURCE_DIR "/data/chronvale.ini"), QString());
    QStringList logged;
    const MirrorSources sources =
        mirrorSourcesFromConfig(config, [&logged](const QString& line) { logged << line; });
    EXPECT_TRUE(logged.isEmpty());
    const std::vector<MirrorSource> builtIn = defaultCloudSources();
    ASSERT_EQ(sources.clouds.size(), builtIn.size());
    EXPECT_EQ(flatten(sources.clouds), flatten(builtIn)); // URLs, credits and kinds
    ASSERT_EQ(sources.quakes.size(), 1u);
    EXPECT_EQ(sources.quakes[0].url, defaultQuakeSources()[0].url);
}

} // namespace
} // namespace chronvale::imaged
