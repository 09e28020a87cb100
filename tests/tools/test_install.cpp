// `cmake --install` into a fresh prefix gives a program that runs from there
// alone: no CHRONVALE_DATA, no source tree, started from an unrelated folder with
// a home of its own. It finds its installed data folder, draws the map, and loads
// its installed window module. Its image server is the test's own, so the
// window starts none that would outlive the test.

#include "support/adopted_processes.h"
#include "support/own_image_server.h"

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr int kBoundMs = 120000;

// Every test of this program is checked for what it leaves running.
[[maybe_unused]] const bool checked = chronvale::test::checkForStraysAtTheEnd();

struct Outcome {
    bool finished = false;
    int exitCode = -1;
    QString out;
    QString err;
};

class InstallTest : public ::testing::Test {
protected:
    // One installation for the cases of this process.
    static void SetUpTestSuite() {
        prefix_ = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(prefix_->isValid());
        QProcess install;
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(QStringLiteral(CHRONVALE_CMAKE_COMMAND),
                      {QStringLiteral("--install"), QStringLiteral(CHRONVALE_BINARY_DIR),
                       QStringLiteral("--prefix"), prefix_->path()});
        ASSERT_TRUE(install.waitForFinished(kBoundMs));
        installLog_ = QString::fromLocal8Bit(install.readAll());
        installed_ = install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0;
    }

    static void TearDownTestSuite() { prefix_.reset(); }

    void SetUp() override {
        ASSERT_TRUE(installed_) << installLog_.toStdString();
        ASSERT_TRUE(imageServer.ready()) << imageServer.why().toStdString();
        ASSERT_TRUE(home.isValid());
        ASSERT_TRUE(work.isValid());
        for (const char* sub : {"config", "data", "cache", "run"}) {
            ASSERT_TRUE(QDir(home.path()).mkpath(QString::fromLatin1(sub)));
        }
        // Qt wants a runtime folder only its owner may enter.
        ASSERT_TRUE(QFile::setPermissions(home.filePath(QStringLiteral("run")),
                                          QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner));
    }

    static QString installed(const char* relative) {
        return QDir(prefix_->path()).filePath(QString::fromUtf8(relative));
    }

    static QString program() { return installed(CHRONVALE_INSTALL_BINDIR "/chronvale"); }

    // Runs an executable from the work folder, as a user with a fresh home would.
    Outcome run(const QString& executable, const QStringList& arguments) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("CHRONVALE_DATA"));
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.filePath(QStringLiteral("run")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        imageServer.configure(env);
        QProcess process;
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(work.path());
        process.start(executable, arguments);
        Outcome outcome;
        outcome.finished = process.waitForFinished(kBoundMs);
        if (!outcome.finished) {
            process.kill();
            process.waitForFinished(kBoundMs);
        }
        outcome.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        outcome.out = QString::fromUtf8(process.readAllStandardOutput());
        outcome.err = QString::fromUtf8(process.readAllStandardError());
        return outcome;
    }

    // The value of a "Name: value" line of --info.
    static QString infoValue(const QString& report, const QString& name) {
        for (const QString& line : report.split(QLatin1Char('\n'))) {
            if (line.startsWith(name + QStringLiteral(": "))) {
                return line.mid(name.size() + 2);
            }
        }
        return {};
    }

    static bool isPng(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) && file.read(8) == QByteArray("\x89PNG\r\n\x1a\n", 8);
    }

    static std::unique_ptr<QTemporaryDir> prefix_;
    static bool installed_;
    static QString installLog_;
    chronvale::test::OwnImageServer imageServer;
    QTemporaryDir home;
    QTemporaryDir work;
};

std::unique_ptr<QTemporaryDir> InstallTest::prefix_;
bool InstallTest::installed_ = false;
QString InstallTest::installLog_;

TEST_F(InstallTest, TheInstallationHoldsTheDataFolderTheModuleAndTheLicences) {
    for (const char* file : {CHRONVALE_INSTALL_BINDIR "/chronvale",
                             CHRONVALE_INSTALL_BINDIR "/chronvale-imaged",
                             CHRONVALE_INSTALL_BINDIR "/chronvale-pack",
                             CHRONVALE_INSTALL_MODULEDIR "/chronvale-window.so",
                             CHRONVALE_INSTALL_DATADIR "/location.dat",
                             CHRONVALE_INSTALL_DATADIR "/tz_data.dat",
                             CHRONVALE_INSTALL_DATADIR "/tz_dst.dat",
                             CHRONVALE_INSTALL_DATADIR "/areacode.dat",
                             CHRONVALE_INSTALL_DATADIR "/city_zones.dat",
                             CHRONVALE_INSTALL_DATADIR "/zone_map.dat",
                             CHRONVALE_INSTALL_DATADIR "/images/earth_day.bmp",
                             CHRONVALE_INSTALL_DATADIR "/images/earth_night.bmp",
                             CHRONVALE_INSTALL_DATADIR "/images/earth_tz.bmp",
                             CHRONVALE_INSTALL_DATADIR "/chronvale.ini",
                             CHRONVALE_INSTALL_DATADIR "/faq.html",
                             CHRONVALE_INSTALL_DATADIR "/SOURCES.md",
                             CHRONVALE_INSTALL_DATADIR "/lang/lang_de.dat",
                             CHRONVALE_INSTALL_DATADIR "/lang/lang_fr.dat",
                             CHRONVALE_INSTALL_DOCDIR "/LICENSE",
                             CHRONVALE_INSTALL_DOCDIR "/SOURCES.md"}) {
        EXPECT_TRUE(QFileInfo(installed(file)).isFile()) << file;
    }
    // The data folder is the source tree's, file for file.
    QFile source(QStringLiteral(CHRONVALE_SOURCE_DIR "/data/location.dat"));
    QFile copy(installed(CHRONVALE_INSTALL_DATADIR "/location.dat"));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(source.readAll(), copy.readAll());
}

TEST_F(InstallTest, InfoNamesTheInstalledDataFolderAndLoadsEveryFile) {
    const Outcome info = run(program(), {QStringLiteral("--info")});
    ASSERT_TRUE(info.finished);
    EXPECT_EQ(info.exitCode, 0) << info.err.toStdString();
    const QString data = QFileInfo(installed(CHRONVALE_INSTALL_DATADIR)).canonicalFilePath();
    EXPECT_EQ(infoValue(info.out, QStringLiteral("Data folder")), data) << info.out.toStdString();
    EXPECT_FALSE(info.out.contains(QStringLiteral("Unable to load file")))
        << info.out.toStdString();
    EXPECT_FALSE(info.err.contains(QStringLiteral("Unable to load file")))
        << info.err.toStdString();
    EXPECT_GT(infoValue(info.out, QStringLiteral("Cities")).toInt(), 0);
    EXPECT_GT(infoValue(info.out, QStringLiteral("Time zones")).toInt(), 0);
    // The user's files go below the given home, not into the installation.
    EXPECT_TRUE(infoValue(info.out, QStringLiteral("User folder")).startsWith(home.path()))
        << info.out.toStdString();
}

TEST_F(InstallTest, RenderWritesThePng) {
    const Outcome render = run(program(), {QStringLiteral("--render"), QStringLiteral("out.png")});
    ASSERT_TRUE(render.finished);
    EXPECT_EQ(render.exitCode, 0) << render.err.toStdString();
    EXPECT_FALSE(render.err.contains(QStringLiteral("Unable to load file")))
        << render.err.toStdString();
    const QString out = QDir(work.path()).filePath(QStringLiteral("out.png"));
    EXPECT_TRUE(isPng(out));
    const QImage image(out);
    ASSERT_FALSE(image.isNull());
    EXPECT_GT(image.width(), 0);
    EXPECT_GT(image.height(), 0);
}

TEST_F(InstallTest, TheInstalledWindowModuleLoadsAndPaints) {
    const Outcome shot =
        run(program(), {QStringLiteral("--screenshot"), QStringLiteral("shot.png")});
    ASSERT_TRUE(shot.finished);
    EXPECT_EQ(shot.exitCode, 0) << shot.err.toStdString();
    EXPECT_FALSE(shot.err.contains(QStringLiteral("cannot load the window module")))
        << shot.err.toStdString();
    const QString path = QDir(work.path()).filePath(QStringLiteral("shot.png"));
    EXPECT_TRUE(isPng(path));
    const QImage image(path);
    ASSERT_FALSE(image.isNull());
    EXPECT_GE(image.width(), 320);
    EXPECT_GE(image.height(), 250);
}

#define CHRONVALE_SHARE(path) CHRONVALE_INSTALL_SHAREDIR "/" path
#define CHRONVALE_ICON(size) CHRONVALE_SHARE("icons/hicolor/" size "/apps/" CHRONVALE_APP_ID ".png")

// A checker of the desktop's own, run on an installed file; its output when it
// complains or is missing.
class DesktopFilesTest : public InstallTest {
protected:
    Outcome check(const char* tool, QStringList arguments,
                  const QProcessEnvironment& extra = QProcessEnvironment()) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(tool));
        if (path.isEmpty()) {
            Outcome missing;
            missing.err = QStringLiteral("%1 is not installed (scripts/install-deps.sh)")
                              .arg(QString::fromLatin1(tool));
            return missing;
        }
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString& name : extra.keys()) {
            env.insert(name, extra.value(name));
        }
        process.setProcessEnvironment(env);
        process.start(path, arguments);
        Outcome outcome;
        outcome.finished = process.waitForFinished(kBoundMs);
        outcome.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        outcome.out = QString::fromUtf8(process.readAllStandardOutput());
        outcome.err = QString::fromUtf8(process.readAllStandardError());
        return outcome;
    }
};

TEST_F(DesktopFilesTest, TheDesktopEntryValidatesAndNamesTheInstalledIcon) {
    const QString entry = installed(CHRONVALE_SHARE("applications/" CHRONVALE_APP_ID ".desktop"));
    ASSERT_TRUE(QFileInfo(entry).isFile());
    const Outcome valid = check("desktop-file-validate", {entry});
    EXPECT_TRUE(valid.finished);
    EXPECT_EQ(valid.exitCode, 0) << valid.out.toStdString() << valid.err.toStdString();
    // Hints aside (Utility and Education are both main categories, by choice).
    EXPECT_FALSE(valid.out.contains(QStringLiteral("warning:")) ||
                 valid.out.contains(QStringLiteral("error:")))
        << valid.out.toStdString();

    QFile file(entry);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    for (const char* line :
         {"\nIcon=" CHRONVALE_APP_ID "\n", "\nExec=chronvale\n", "\nGenericName=World Clock\n",
          "\nCategories=Utility;Clock;Education;Geography;\n", "\nStartupWMClass=Chronvale\n",
          "\n[Desktop Action select-city]\nName=Select City\n",
          "\nExec=chronvale --select-city\n"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(line))) << line;
    }
}

TEST_F(DesktopFilesTest, TheAppStreamFileValidates) {
    const QString metainfo =
        installed(CHRONVALE_SHARE("metainfo/" CHRONVALE_APP_ID ".metainfo.xml"));
    ASSERT_TRUE(QFileInfo(metainfo).isFile());
    const Outcome valid =
        check("appstreamcli", {QStringLiteral("validate"), QStringLiteral("--no-net"), metainfo});
    EXPECT_TRUE(valid.finished);
    EXPECT_EQ(valid.exitCode, 0) << valid.out.toStdString() << valid.err.toStdString();
    // Not even a remark (pedantic ones aside: the id has capitals, as is usual).
    for (const char* level : {"E:", "W:", "I:"}) {
        EXPECT_FALSE(valid.out.contains(QString::fromLatin1(level))) << valid.out.toStdString();
    }
}

TEST_F(DesktopFilesTest, TheIconsHaveTheirSizes) {
    const std::pair<const char*, int> icons[] = {
        {CHRONVALE_ICON("16x16"), 16},    {CHRONVALE_ICON("22x22"), 22},
        {CHRONVALE_ICON("24x24"), 24},    {CHRONVALE_ICON("32x32"), 32},
        {CHRONVALE_ICON("48x48"), 48},    {CHRONVALE_ICON("64x64"), 64},
        {CHRONVALE_ICON("128x128"), 128}, {CHRONVALE_ICON("256x256"), 256}};
    for (const auto& [path, size] : icons) {
        const QImage icon(installed(path));
        EXPECT_EQ(icon.size(), QSize(size, size)) << path;
    }
    EXPECT_TRUE(QFileInfo(installed(CHRONVALE_SHARE("icons/hicolor/scalable/apps/" CHRONVALE_APP_ID
                                                    ".svg")))
                    .isFile());
}

// The pages render without a warning of man or groff, at 80 columns.
TEST_F(DesktopFilesTest, TheManualPagesRenderWithoutWarnings) {
    QProcessEnvironment env;
    env.insert(QStringLiteral("MANWIDTH"), QStringLiteral("80"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("MAN_KEEP_STDERR"), QStringLiteral("1"));
    for (const char* page : {CHRONVALE_INSTALL_MANDIR "/man1/chronvale.1.gz",
                             CHRONVALE_INSTALL_MANDIR "/man1/chronvale-imaged.1.gz",
                             CHRONVALE_INSTALL_MANDIR "/man1/chronvale-pack.1.gz"}) {
        const QString path = installed(page);
        ASSERT_TRUE(QFileInfo(path).isFile()) << page;
        const Outcome man = check("man",
                                  {QStringLiteral("--warnings=all"), QStringLiteral("-E"),
                                   QStringLiteral("UTF-8"), QStringLiteral("-l"), path},
                                  env);
        EXPECT_TRUE(man.finished);
        EXPECT_EQ(man.exitCode, 0) << page << man.err.toStdString();
        EXPECT_EQ(man.err.toStdString(), "") << page;
        EXPECT_TRUE(man.out.contains(QStringLiteral("EXIT STATUS"))) << page;
    }
    // Every option of --help is on the page.
    const Outcome help = run(program(), {QStringLiteral("--help")});
    const Outcome page = check(
        "man", {QStringLiteral("-l"), installed(CHRONVALE_INSTALL_MANDIR "/man1/chronvale.1.gz")},
        env);
    for (const char* section : {"ENVIRONMENT", "FILES", "EXIT STATUS"}) {
        EXPECT_TRUE(page.out.contains(QString::fromLatin1(section))) << section;
    }
    for (const QString& word : help.out.split(QRegularExpression(QStringLiteral("[\\s,]+")))) {
        if (word.startsWith(QStringLiteral("--"))) {
            EXPECT_TRUE(page.out.contains(word)) << word.toStdString();
        }
    }
}

// The manual that Help > Manual opens is installed with every picture and page
// it points to, and its sections are all there.
TEST_F(InstallTest, TheManualIsInstalledWithWhatItLinksTo) {
    const QString folder = installed(CHRONVALE_INSTALL_DATADIR);
    QFile manual(QDir(folder).filePath(QStringLiteral("manual.html")));
    ASSERT_TRUE(manual.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(manual.readAll());
    const QRegularExpression reference(QStringLiteral("(?:src|href)=\"([^\"#:]+)\""));
    int local = 0;
    for (auto match = reference.globalMatch(html); match.hasNext();) {
        const QString target = match.next().captured(1);
        EXPECT_TRUE(QFileInfo(QDir(folder).filePath(target)).isFile()) << target.toStdString();
        ++local;
    }
    EXPECT_GE(local, 4); // the pictures and the FAQ
    // Every entry of the contents leads to its section.
    const QRegularExpression anchor(QStringLiteral("href=\"#([a-z]+)\""));
    for (auto match = anchor.globalMatch(html); match.hasNext();) {
        const QString id = match.next().captured(1);
        EXPECT_TRUE(html.contains(QStringLiteral("id=\"%1\"").arg(id))) << id.toStdString();
    }
}

// A window session of the installed program writes below XDG_CONFIG_HOME and
// XDG_DATA_HOME only: not into HOME, the installation or the folder started in.
TEST_F(InstallTest, TheWindowWritesOnlyBelowTheXdgFolders) {
    const auto listing = [](const QString& root) {
        QStringList files;
        QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            files << it.next();
        }
        files.sort();
        return files;
    };
    const QStringList before = listing(prefix_->path());
    const Outcome shot =
        run(program(), {QStringLiteral("--screenshot"), QStringLiteral("shot.png")});
    ASSERT_TRUE(shot.finished);
    EXPECT_EQ(shot.exitCode, 0) << shot.err.toStdString();
    EXPECT_EQ(listing(prefix_->path()), before);
    EXPECT_EQ(QDir(work.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("shot.png")});
    // HOME holds only the four XDG folders the test made.
    EXPECT_EQ(QDir(home.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{QStringLiteral("cache"), QStringLiteral("config"),
                           QStringLiteral("data"), QStringLiteral("run")}));
    EXPECT_TRUE(QFileInfo(home.filePath(QStringLiteral("config/QUILLMAR/Chronvale.ini"))).isFile());
    EXPECT_TRUE(
        QFileInfo(home.filePath(QStringLiteral("data/QUILLMAR/Chronvale/config.ini"))).isFile());
}

// A copy of the executable installed without its data folder names its own
// (missing) data folder and reports the missing files: it never falls back to
// the data/ of the source tree it was built from.
TEST_F(InstallTest, AnInstalledCopyWithoutDataNeverReadsTheSourceTree) {
    QTemporaryDir bare;
    ASSERT_TRUE(bare.isValid());
    ASSERT_TRUE(QDir(bare.path()).mkpath(QStringLiteral(CHRONVALE_INSTALL_BINDIR)));
    const QString copy =
        QDir(bare.path()).filePath(QStringLiteral(CHRONVALE_INSTALL_BINDIR "/chronvale"));
    ASSERT_TRUE(QFile::copy(program(), copy));
    const Outcome info = run(copy, {QStringLiteral("--info")});
    ASSERT_TRUE(info.finished);
    const QString data = infoValue(info.out, QStringLiteral("Data folder"));
    EXPECT_EQ(data, QDir::cleanPath(
                        QDir(bare.path()).filePath(QStringLiteral(CHRONVALE_INSTALL_DATADIR))))
        << info.out.toStdString();
    EXPECT_NE(data, QDir::cleanPath(QStringLiteral(CHRONVALE_SOURCE_DIR "/data")));
    EXPECT_EQ(infoValue(info.out, QStringLiteral("Cities")), QStringLiteral("0"));
    EXPECT_TRUE(info.out.contains(QStringLiteral("Unable to load file"))) << info.out.toStdString();
}

// The prefix is given only at install time (the build was configured for
// another): each service still runs its program where it was put.
TEST_F(InstallTest, TheServicesRunTheInstalledPrograms) {
    const struct {
        const char* unit;
        const char* program;
        const char* options;
    } services[] = {
        {"chronvale-wallpaper.service", "chronvale", " --wallpaper"},
        {"chronvale-imaged.service", "chronvale-imaged", " --mirror"},
    };
    const QString units = installed(CHRONVALE_INSTALL_SHAREDIR "/systemd/user");
    for (const auto& [name, executable, options] : services) {
        QFile unit(QDir(units).filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(unit.open(QIODevice::ReadOnly)) << name;
        QString execStart;
        for (const QString& line : QString::fromUtf8(unit.readAll()).split(QLatin1Char('\n'))) {
            if (line.startsWith(QLatin1String("ExecStart="))) {
                execStart = line.mid(10);
            }
        }
        const QString path = installed(CHRONVALE_INSTALL_BINDIR) + QLatin1Char('/') +
                             QString::fromLatin1(executable);
        EXPECT_EQ(execStart, path + QString::fromLatin1(options)) << name;
        EXPECT_TRUE(QFileInfo(path).isExecutable()) << name;
    }
    EXPECT_TRUE(
        QFileInfo::exists(QDir(units).filePath(QStringLiteral("chronvale-wallpaper.timer"))));
}

// systemd finds nothing wrong with the installed units (their programs included).
TEST_F(InstallTest, SystemdVerifiesTheInstalledUnits) {
    const QString analyze = QStandardPaths::findExecutable(QStringLiteral("systemd-analyze"));
    ASSERT_FALSE(analyze.isEmpty()) << "systemd-analyze not found: install-deps installs systemd";
    const QDir units(installed(CHRONVALE_INSTALL_SHAREDIR "/systemd/user"));
    QStringList arguments{QStringLiteral("verify"), QStringLiteral("--man=no")};
    for (const QString& unit : units.entryList(QDir::Files)) {
        arguments << units.filePath(unit);
    }
    ASSERT_EQ(arguments.size(), 6) << "the four units";
    const Outcome verify = run(analyze, arguments);
    EXPECT_TRUE(verify.finished);
    EXPECT_EQ(verify.exitCode, 0) << verify.err.toStdString() << verify.out.toStdString();
}

} // namespace
