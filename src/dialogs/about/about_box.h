#pragma once
// The about box of the About command (1110): the product name, the version text
// ("2.00.001") and the build, the operating system (kernel and distribution),
// the memory and the free memory, links to the home and support pages, and the
// credits of the installed data (SOURCES.md of the data folder), every text in
// the user's language. A link opens through the caller's link service.

#include "dialogs/about/about_facts.h"
#include "ui/dialog.h"

#include <QString>
#include <functional>
#include <string>

class QLabel;
class QTextBrowser;

namespace chronvale {

class Language;

class AboutBox : public Dialog {
    Q_OBJECT
public:
    // Its place is remembered under the number of the command that opens it.
    static constexpr int Number = 1110;

    struct Content {
        SystemFacts system;
        QString sourcesFile;     // SOURCES.md of the data folder; missing: no credits
        std::string homeLink;    // URL or file name; empty: no link
        std::string supportLink; // the same
    };

    AboutBox(const Language& language, Content content,
             std::function<void(const std::string& link)> openLink, QWidget* parent = nullptr);
    ~AboutBox() override;

    // The build text shown after "Build".
    static QString buildText();

    // The parts, for the tests.
    QLabel* productLabel() const { return product_; }
    QLabel* versionLabel() const { return version_; }
    QLabel* systemLabel() const { return system_; }
    QLabel* linksLabel() const { return links_; }
    QTextBrowser* creditsView() const { return credits_; }

private:
    QString creditsHtml(const Language& language, const QString& sourcesFile) const;

    QLabel* product_ = nullptr;
    QLabel* version_ = nullptr;
    QLabel* system_ = nullptr;
    QLabel* links_ = nullptr;
    QTextBrowser* credits_ = nullptr;
};

// "1.9 GB"-free: a size in KiB as whole megabytes, with the "%s MB" text of the
// language.
QString megabytesText(const Language& language, std::uint64_t kib);

} // namespace chronvale
