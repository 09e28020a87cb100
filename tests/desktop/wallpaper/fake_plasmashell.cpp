// A scripted stand-in for the Plasma shell on a test's private session bus: it
// owns org.kde.plasmashell, keeps every script it is given as script-N.js in the
// folder of its first argument, and answers a script that reads the desktops'
// configuration with the text of its second argument (what a shell prints).

#include <QCoreApplication>
#include <QDBusConnection>
#include <QFile>
#include <QObject>
#include <QString>

class FakeShell : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.PlasmaShell")

public:
    FakeShell(QString folder, QString printed)
        : folder_(std::move(folder)), printed_(std::move(printed)) {}

public slots:
    QString evaluateScript(const QString& script) {
        QFile file(QStringLiteral("%1/script-%2.js").arg(folder_).arg(++count_));
        if (file.open(QIODevice::WriteOnly)) {
            file.write(script.toUtf8());
        }
        return script.contains(QLatin1String("readConfig")) ? printed_ : QString();
    }

private:
    QString folder_;
    QString printed_;
    int count_ = 0;
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        return 2;
    }
    FakeShell shell(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/PlasmaShell"), &shell,
                            QDBusConnection::ExportAllSlots) ||
        !bus.registerService(QStringLiteral("org.kde.plasmashell"))) {
        return 1;
    }
    return app.exec();
}

#include "fake_plasmashell.moc"
