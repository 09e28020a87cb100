// `cmake --install` into a fresh prefix gives a program that runs from there
// alone: no CHRONVALE_DATA, no source tree, started from an unrelated folder with
// a home of its own. It finds its installed data folder, draws the map, and loads
// its installed window module.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr int kBoundMs = 120000;

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
    QTemporaryDir home;
    QTemporaryDir work;
};

std::unique_ptr<QTemporaryDir> InstallTest::prefix_;
bool InstallTest::installed_ = false;
QString InstallTest::installLog_;

TEST_F(InstallTest, TheInstallationHoldsTheDataFolderTheModuleAndTheLicences) {
    for (const char* file :
         {CHRONVALE_INSTALL_BINDIR "/chronvale", CHRONVALE_INSTALL_BINDIR "/chronvale-imaged",
          CHRONVALE_INSTALL_BINDIR "/chronvale-pack",
          CHRONVALE_INSTALL_MODULEDIR "/chronvale-window.so",
          CHRONVALE_INSTALL_DATADIR "/location.dat", CHRONVALE_INSTALL_DATADIR "/tz_data.dat",
          CHRONVALE_INSTALL_DATADIR "/tz_dst.dat", CHRONVALE_INSTALL_DATADIR "/areacode.dat",
          CHRONVALE_INSTALL_DATADIR "/images/earth_day.bmp",
          CHRONVALE_INSTALL_DATADIR "/images/earth_night.bmp",
          CHRONVALE_INSTALL_DATADIR "/images/earth_tz.bmp",
          CHRONVALE_INSTALL_DATADIR "/chronvale.ini", CHRONVALE_INSTALL_DATADIR "/faq.html",
          CHRONVALE_INSTALL_DATADIR "/SOURCES.md", CHRONVALE_INSTALL_DATADIR "/lang/lang_de.dat",
          CHRONVALE_INSTALL_DATADIR "/lang/lang_fr.dat", CHRONVALE_INSTALL_DOCDIR "/LICENSE",
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

} // namespace
