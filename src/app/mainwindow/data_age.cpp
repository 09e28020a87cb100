#include "app/mainwindow/data_age.h"

#include "i18n/language.h"
#include "render/qt/map_painter.h"

namespace chronvale {

void describeCloudFrame(MapPaintInputs& inputs, const DataSource& source, const Language& language,
                        std::time_t now) {
    if (!source.credit.empty()) {
        inputs.cloudCredit = language.translate(source.credit);
    }
    if (inputs.showInfo && inputs.cloudTimeStamp) {
        if (const std::optional<std::time_t> when = frameTime(*inputs.cloudTimeStamp)) {
            LanguageTextProvider texts(language);
            inputs.cloudAge = QString::fromStdString(ageText(*when, now, texts).value_or(""));
        }
    }
}

QString oldDataStatus(const std::optional<std::string>& newestFrame, const DataSource& clouds,
                      const DataSource* quakes, std::time_t now, TextProvider& texts) {
    QStringList lines;
    const auto add = [&lines](const std::optional<std::string>& text) {
        if (text) {
            lines << QString::fromStdString(*text);
        }
    };
    if (newestFrame && !newestFrame->empty()) {
        if (const std::optional<std::time_t> when = frameTime(*newestFrame)) {
            add(oldDataText(kTextCloudsOld, *when, clouds.problem, now, texts));
        }
    } else {
        add(missingDataText(kTextCloudsMissing, clouds.problem, texts));
    }
    if (quakes != nullptr) {
        add(quakes->updated != 0
                ? oldDataText(kTextQuakesOld, quakes->updated, quakes->problem, now, texts)
                : missingDataText(kTextQuakesMissing, quakes->problem, texts));
    }
    return lines.join(QLatin1Char(' '));
}

} // namespace chronvale
