#include "support/image_server_process.h"

#include <QDeadlineTimer>
#include <QRegularExpression>

namespace chronvale::test {

namespace {
constexpr int kStartTimeoutMs = 15000;
constexpr int kStopTimeoutMs = 5000;
} // namespace

QString imageServerProgram() {
    return QStringLiteral(CHRONVALE_BINARY_DIR "/chronvale-imaged");
}

ImageServerProcess::ImageServerProcess(const QString& folder, const QStringList& options) {
    QStringList arguments{QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--folder"),
                          folder};
    arguments += options;
    process_.start(imageServerProgram(), arguments);
    if (!process_.waitForStarted(kStartTimeoutMs)) {
        return;
    }
    static const QRegularExpression address(QStringLiteral("http://127\\.0\\.0\\.1:(\\d+)/"));
    QByteArray output;
    while (!output.contains('\n') && process_.waitForReadyRead(kStartTimeoutMs)) {
        output += process_.readAllStandardOutput();
    }
    const QRegularExpressionMatch match = address.match(QString::fromUtf8(output));
    if (match.hasMatch()) {
        port_ = match.captured(1).toInt();
    }
}

ImageServerProcess::~ImageServerProcess() {
    stop();
}

std::string ImageServerProcess::host() const {
    return "127.0.0.1:" + std::to_string(port_);
}

QString ImageServerProcess::log() {
    log_ += QString::fromUtf8(process_.readAllStandardError());
    return log_;
}

int ImageServerProcess::requests(const QString& text) {
    int count = 0;
    for (const QString& line : log().split(QLatin1Char('\n'))) {
        if (line.contains(QLatin1String(" GET ")) && line.contains(text)) {
            ++count;
        }
    }
    return count;
}

bool ImageServerProcess::waitForLog(const QString& text, int count, int timeoutMs) {
    // New log lines arrive on standard error, the channel waited on from here on.
    process_.setReadChannel(QProcess::StandardError);
    const QDeadlineTimer deadline(timeoutMs);
    while (log().count(text) < count) {
        if (deadline.hasExpired() || process_.state() == QProcess::NotRunning) {
            return false;
        }
        process_.waitForReadyRead(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 1)));
    }
    return true;
}

void ImageServerProcess::stop() {
    if (process_.state() == QProcess::NotRunning) {
        return;
    }
    log();
    process_.terminate();
    if (!process_.waitForFinished(kStopTimeoutMs)) {
        process_.kill();
        process_.waitForFinished(kStopTimeoutMs);
    }
}

} // namespace chronvale::test
