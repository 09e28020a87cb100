#include "dialogs/about/about_box.h"

#include "core/file_io.h"
#include "core/product.h"
#include "i18n/language.h"
#include "i18n/string_table.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace chronvale {

namespace {

constexpr std::size_t kMaxSourcesFile = 256 * 1024;
// The links' targets inside the label; the texts behind them are the caller's.
const QString kHomeTarget = QStringLiteral("home");
const QString kSupportTarget = QStringLiteral("support");

// A string-table text with its "%s" filled in.
QString filled(const Language& language, int id, const QString& value) {
    QString text = language.getText(id);
    text.replace(QStringLiteral("%s"), value);
    return text;
}

QString tr1110(const Language& language, const std::string& english) {
    return language.translate(english, AboutBox::Number);
}

} // namespace

QString megabytesText(const Language& language, std::uint64_t kib) {
    return filled(language, str::AboutMegabytes, QString::number(kib / 1024));
}

QString AboutBox::buildText() {
    return QStringLiteral(CHRONVALE_BUILD_TEXT);
}

AboutBox::AboutBox(const Language& language, Content content,
                   std::function<void(const std::string&)> openLink, QWidget* parent)
    : Dialog(Number, parent) {
    const QString product =
        QString::fromUtf8(applicationName.data(), static_cast<qsizetype>(applicationName.size()));
    setWindowTitle(filled(language, str::AboutTitle, product));
    setModal(true);

    product_ = new QLabel(QStringLiteral("<b>%1</b>").arg(product.toHtmlEscaped()), this);
    QFont big = product_->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    product_->setFont(big);
    const QString version =
        QString::fromUtf8(versionText.data(), static_cast<qsizetype>(versionText.size()));
    version_ = new QLabel(filled(language, str::AboutVersion, version) + QStringLiteral("  ") +
                              filled(language, str::AboutBuild, buildText()),
                          this);
    version_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    const QString unknown = language.getText(str::AboutUnknown);
    QString os = QString::fromStdString(content.system.kernel);
    if (content.system.distribution) {
        os += (os.isEmpty() ? QString() : QStringLiteral(", ")) +
              QString::fromStdString(*content.system.distribution);
    }
    const MemoryFacts& memory = content.system.memory;
    const QString rows =
        QStringLiteral("<table>"
                       "<tr><td>%1</td><td>%2</td></tr>"
                       "<tr><td>%3</td><td>%4</td></tr>"
                       "<tr><td>%5</td><td>%6</td></tr></table>")
            .arg(language.getText(str::AboutOperatingSystem).toHtmlEscaped(),
                 (os.isEmpty() ? unknown : os).toHtmlEscaped(),
                 language.getText(str::AboutMemory).toHtmlEscaped(),
                 memory.totalKiB ? megabytesText(language, *memory.totalKiB) : unknown,
                 language.getText(str::AboutFreeMemory).toHtmlEscaped(),
                 memory.freeKiB ? megabytesText(language, *memory.freeKiB) : unknown);
    system_ = new QLabel(rows, this);
    system_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    QStringList links;
    if (!content.homeLink.empty()) {
        links << QStringLiteral("<a href=\"%1\">%2</a>")
                     .arg(kHomeTarget, language.getText(str::AboutHome).toHtmlEscaped());
    }
    if (!content.supportLink.empty()) {
        links << QStringLiteral("<a href=\"%1\">%2</a>")
                     .arg(kSupportTarget, language.getText(str::AboutSupport).toHtmlEscaped());
    }
    links_ = new QLabel(links.join(QStringLiteral(" &nbsp;·&nbsp; ")), this);
    links_->setTextFormat(Qt::RichText);
    links_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(
        links_, &QLabel::linkActivated, this,
        [openLink, home = content.homeLink, support = content.supportLink](const QString& which) {
            if (!openLink) {
                return;
            }
            if (which == kHomeTarget) {
                openLink(home);
            } else if (which == kSupportTarget) {
                openLink(support);
            }
        });

    credits_ = new QTextBrowser(this);
    credits_->setOpenLinks(false);
    credits_->setHtml(creditsHtml(language, content.sourcesFile));
    credits_->setMinimumSize(460, 220);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok =
        buttons->addButton(language.getText(str::AboutOk), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &AboutBox::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(product_);
    layout->addWidget(version_);
    layout->addWidget(system_);
    layout->addWidget(links_);
    layout->addWidget(new QLabel(
        QStringLiteral("<b>%1</b>").arg(language.getText(str::AboutCredits).toHtmlEscaped()),
        this));
    layout->addWidget(credits_, 1);
    layout->addWidget(buttons);
}

AboutBox::~AboutBox() = default;

QString AboutBox::creditsHtml(const Language& language, const QString& sourcesFile) const {
    const std::optional<std::string> text =
        sourcesFile.isEmpty()
            ? std::nullopt
            : readFileBytes(QFile::encodeName(sourcesFile).toStdString(), kMaxSourcesFile);
    if (!text) {
        return QString();
    }
    QString html;
    for (const CreditSection& section : readCredits(*text)) {
        html += QStringLiteral("<p><b>%1</b><br>")
                    .arg(tr1110(language, section.heading).toHtmlEscaped());
        for (const CreditEntry& entry : section.entries) {
            html += tr1110(language, entry.credit).toHtmlEscaped();
            if (!entry.licence.empty()) {
                html +=
                    QStringLiteral(" <i>(%1)</i>")
                        .arg(filled(language, str::AboutLicence, tr1110(language, entry.licence))
                                 .toHtmlEscaped());
            }
            html += QStringLiteral("<br>");
        }
        html += QStringLiteral("</p>");
    }
    return html;
}

} // namespace chronvale
