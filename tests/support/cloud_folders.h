#pragma once
// The fixture of the tests that fetch cloud frames from a real chronvale-imaged:
// a scratch root with the server's folder ("server") and a working folder with
// its cache ("work/cache"), made the current folder as the program's user folder
// is, and an HTTP client.

#include "net/http_client.h"
#include "net/url_template.h"
#include "support/jpeg_frame.h"
#include "support/net_test_support.h"
#include "support/qt_files.h"

#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace chronvale::test {

class CloudFoldersTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        ASSERT_TRUE(root.isValid());
        QDir(root.path()).mkpath("work/cache");
        QDir(root.path()).mkpath("server");
        previous = QDir::currentPath();
        QDir::setCurrent(work());
        ASSERT_TRUE(http.httpInit(&sink, "Quillmar Chronvale"));
    }
    void TearDown() override {
        http.httpShutdown();
        QDir::setCurrent(previous);
    }

    QString work() const { return QDir(root.path()).filePath("work"); }
    QString serverFolder() const { return QDir(root.path()).filePath("server"); }
    // Puts frames of widths 10 + i into the server's folder, under the names of `times`.
    void serveFrames(int count) {
        for (int i = 0; i < count; ++i) {
            writeFile(QDir(serverFolder()).filePath(QString::fromStdString(times[i]) + ".jpg"),
                      jpeg(10 + i));
        }
    }
    // What the services are given to fill in their addresses.
    static UrlContext urlContext() {
        UrlContext context;
        context.clientId = "client";
        context.machineId = "machine";
        return context;
    }
    // Waits (bounded) until no transfer is left.
    bool idle() {
        return waitFor([this] { return http.transferCount() == 0; });
    }

    // The frames' times, newest first, three hours apart.
    std::vector<std::string> times{"2024030521", "2024030518", "2024030515", "2024030512",
                                   "2024030509", "2024030506", "2024030503", "2024030500",
                                   "2024030421", "2024030418", "2024030415", "2024030412"};
    QTemporaryDir root;
    QString previous;
    RecordingSink sink;
    HttpClient http;
};

} // namespace chronvale::test
