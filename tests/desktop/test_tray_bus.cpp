// The tray icon as the StatusNotifier trays of KDE and GNOME see it: a private
// session bus with a watcher of our own, the program's icon registered on it by
// Qt, and the host's Activate and SecondaryActivate (a click and a middle click)
// sent to the icon. The application runs on Wayland under a headless weston,
// whose Qt platform offers the StatusNotifier tray.

#include "desktop/tray_icon.h"
#include "desktop/wallpaper/session_bus.h"
#include "i18n/language.h"
#include "support/headless_weston.h"
#include "support/shell_test_support.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QIcon>
#include <QMutex>
#include <QMutexLocker>
#include <QPixmap>
#include <QThread>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

namespace chronvale {

// The desktop's side: the watcher that trays register their items with. It
// lives in a thread of its own, because Qt asks it synchronously whether a host
// is there.
class FakeWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)

public:
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    QStringList items() const {
        const QMutexLocker lock(&mutex_);
        return items_;
    }

public slots:
    void RegisterStatusNotifierItem(const QString& service) {
        const QMutexLocker lock(&mutex_);
        items_ << service;
    }
    void RegisterStatusNotifierHost(const QString&) {}

private:
    mutable QMutex mutex_;
    QStringList items_;
};

namespace {

using namespace std::chrono_literals;

const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");

// The bus, the compositor and the application, made in that order before the
// first test, so that Qt's first look at the bus and the display finds them.
class TrayBusEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        bus = std::make_unique<test::SessionBus>();
        weston = std::make_unique<test::HeadlessWeston>();
        ASSERT_TRUE(bus->running()) << "dbus-daemon (scripts/install-deps.sh installs dbus)";
        ASSERT_TRUE(weston->running()) << "weston (scripts/install-deps.sh): " << weston->log();
        ::setenv("XDG_RUNTIME_DIR", weston->runtimeFolder().c_str(), 1);
        ::setenv("WAYLAND_DISPLAY", weston->display().c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "wayland", 1);
        app = std::make_unique<QApplication>(argc, argv);

        thread.start();
        watcher = new FakeWatcher;
        watcher->moveToThread(&thread);
        desk = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(
            QDBusConnection::SessionBus, QStringLiteral("chronvale-test-desktop")));
        ASSERT_TRUE(desk->registerObject(QStringLiteral("/StatusNotifierWatcher"), watcher,
                                         QDBusConnection::ExportAllSlots |
                                             QDBusConnection::ExportAllProperties));
        ASSERT_TRUE(desk->registerService(kWatcher));
    }
    void TearDown() override {
        app.reset();
        desk.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("chronvale-test-desktop"));
        thread.quit();
        thread.wait();
        delete watcher;
        weston.reset();
        bus.reset();
    }

    std::unique_ptr<test::SessionBus> bus;
    std::unique_ptr<test::HeadlessWeston> weston;
    QThread thread;
    FakeWatcher* watcher = nullptr;
    std::unique_ptr<QDBusConnection> desk;
    std::unique_ptr<QApplication> app;
    int argc = 1;
    char name[16] = "test_tray_bus";
    char* argv[2] = {name, nullptr};
};

TrayBusEnvironment* environment =
    static_cast<TrayBusEnvironment*>(::testing::AddGlobalTestEnvironment(new TrayBusEnvironment));

QIcon someIcon() {
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::darkBlue);
    return QIcon(pixmap);
}

struct HostCall {
    const char* method;  // of org.kde.StatusNotifierItem
    bool windowOnScreen; // before the call
    const char* effect;  // what the window is asked, "" for nothing
};

class TrayBusTest : public ::testing::TestWithParam<HostCall> {};

TEST_P(TrayBusTest, TheHostsActivationReachesTheWindow) {
    const HostCall& call = GetParam();
    test::RecordingShellWindow window;
    window.onScreen = call.windowOnScreen;
    Language english{QString(), QString()};
    const qsizetype before = environment->watcher->items().size();
    TrayIcon tray(window, someIcon(), english);
    ASSERT_TRUE(tray.shown()) << "Qt did not see the StatusNotifier watcher";
    // This icon's own item (an earlier test's icon registered one before).
    ASSERT_TRUE(test::waitFor([&] { return environment->watcher->items().size() > before; }, 30s));
    const QString item = environment->watcher->items().constLast();

    const auto send = [&](const char* method) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            item, QStringLiteral("/StatusNotifierItem"),
            QStringLiteral("org.kde.StatusNotifierItem"), QString::fromLatin1(method));
        message << 0 << 0;
        // From the desktop's connection, as a tray host sends it.
        ASSERT_TRUE(environment->desk->send(message));
    };
    send(call.method);
    if (*call.effect != '\0') {
        ASSERT_TRUE(test::waitFor([&] { return !window.calls.empty(); }, 30s));
        EXPECT_EQ(window.calls, std::vector<std::string>{call.effect});
        return;
    }
    // A call that asks nothing of the window: a click sent after it is the
    // first thing the window hears.
    send("Activate");
    ASSERT_TRUE(test::waitFor([&] { return !window.calls.empty(); }, 30s));
    EXPECT_EQ(window.calls, std::vector<std::string>{"hide"});
}

INSTANTIATE_TEST_SUITE_P(
    Calls, TrayBusTest,
    ::testing::Values(HostCall{"Activate", false, "restore"}, HostCall{"Activate", true, "hide"},
                      HostCall{"SecondaryActivate", false, "restore"},
                      HostCall{"SecondaryActivate", true, "hide"},
                      // The menu is the host's: it asks for it, the window stays.
                      HostCall{"ContextMenu", true, ""}));

} // namespace
} // namespace chronvale

#include "test_tray_bus.moc"
