#include "app/mainwindow/compare_panel.h"

#include "app/mainwindow/command_ids.h"
#include "app/mainwindow/main_window.h"
#include "app/startup/world.h"
#include "cityinfo/city_facts.h"
#include "cityinfo/overlap_search.h"
#include "i18n/string_table.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

namespace chronvale {

namespace {

constexpr std::time_t kHour = 3600;
constexpr int kDragStep = 300; // the cursor moves in steps of five minutes

QString text(World& world, int id) {
    return world.language.getText(id);
}

CalendarNames calendarNames() {
    const QLocale locale;
    CalendarNames names;
    for (int d = 0; d < 7; ++d) {
        // Qt counts Monday as 1 and Sunday as 7.
        names.weekdays[d] = locale.dayName(d == 0 ? 7 : d, QLocale::ShortFormat).toStdString();
    }
    for (int m = 0; m < 12; ++m) {
        names.months[m] = locale.monthName(m + 1, QLocale::ShortFormat).toStdString();
    }
    return names;
}

const QString kBadStyle = QStringLiteral("QLineEdit { background: #f4b4b4; }");

} // namespace

ComparePanel::ComparePanel(World& world, CompareTravel travel, QWidget* parent)
    : QDockWidget(parent), world_(world), travel_(std::move(travel)) {
    setObjectName(QStringLiteral("ComparePanel"));
    setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea);
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 2, 4, 2);
    auto* bar = new QHBoxLayout;
    now_ = new QPushButton(body);
    next_ = new QPushButton(body);
    copy_ = new QPushButton(body);
    utc_ = new QCheckBox(body);
    here_ = new QCheckBox(body);
    minimumLabel_ = new QLabel(body);
    minimum_ = new QDoubleSpinBox(body);
    minimum_->setRange(0.25, 24.0);
    minimum_->setSingleStep(0.25);
    minimum_->setDecimals(2);
    status_ = new QLabel(body);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    for (QWidget* w : std::initializer_list<QWidget*>{now_, next_, copy_, here_, utc_,
                                                      minimumLabel_, minimum_}) {
        bar->addWidget(w);
    }
    bar->addWidget(status_, 1);
    layout->addLayout(bar);
    stack_ = new QStackedWidget(body);
    hint_ = new QLabel(stack_);
    hint_->setAlignment(Qt::AlignCenter);
    hint_->setWordWrap(true);
    strips_ = new CompareStrips(*this);
    stack_->addWidget(strips_);
    stack_->addWidget(hint_);
    layout->addWidget(stack_, 1);
    setWidget(body);

    const CompareSettings& stored = world_.settings.compare;
    utc_->setChecked(stored.utcRow);
    here_->setChecked(stored.hereRow);
    minimum_->setValue(stored.overlapMinutes / 60.0);
    connect(now_, &QPushButton::clicked, this, [this] {
        travel_.backToNow();
        follow();
    });
    connect(next_, &QPushButton::clicked, this, [this] { nextOverlap(); });
    connect(copy_, &QPushButton::clicked, this, [this] { copyAsText(); });
    connect(utc_, &QCheckBox::toggled, this, [this](bool on) { setUtcRow(on); });
    connect(here_, &QCheckBox::toggled, this, [this](bool on) { setHereRow(on); });
    connect(minimum_, &QDoubleSpinBox::valueChanged, this, [this](double hours) {
        world_.settings.compare.overlapMinutes =
            std::clamp(static_cast<int>(hours * 60.0 + 0.5), 1, 1440);
    });

    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this] { follow(); });
    timer->start(1000);

    retranslate();
    scene_.cursor = travel_.shown();
    setAxisAround(scene_.cursor);
    rebuildRows();
}

ComparePanel::~ComparePanel() = default;

void ComparePanel::retranslate() {
    setWindowTitle(text(world_, str::CompareTitle));
    now_->setText(text(world_, str::CompareNow));
    next_->setText(text(world_, str::CompareNextOverlap));
    copy_->setText(text(world_, str::CompareCopy));
    utc_->setText(text(world_, str::CompareUtc));
    here_->setText(text(world_, str::CompareHere));
    minimumLabel_->setText(text(world_, str::CompareMinimum));
    hint_->setText(text(world_, str::CompareNoCities));
    QStringList months;
    const QLocale locale;
    for (int m = 1; m <= 12; ++m) {
        months << locale.monthName(m, QLocale::ShortFormat);
    }
    scene_.monthNames = months;
    rebuildRows();
}

std::size_t ComparePanel::markSignature() const {
    std::size_t signature = 0;
    const CityList& cities = world_.tables().cities;
    for (std::size_t i = 0; i < cities.size(); ++i) {
        if (cities[i].marked) {
            signature = signature * 31 + i + 1;
        }
    }
    return signature;
}

void ComparePanel::rebuildRows() {
    CompareSettings& settings = world_.settings.compare;
    const CityList& cities = world_.tables().cities;
    // The rows follow the marks: unmarked cities go, newly marked ones come last.
    std::erase_if(settings.rows, [&](const CompareRowSetting& row) {
        return row.city >= cities.size() || !cities[row.city].marked;
    });
    for (std::size_t i = 0; i < cities.size(); ++i) {
        if (cities[i].marked &&
            std::none_of(settings.rows.begin(), settings.rows.end(),
                         [i](const CompareRowSetting& r) { return r.city == i; })) {
            settings.rows.push_back({i});
        }
    }
    marks_ = markSignature();
    zonesSeen_ = world_.compositor.timeZoneImage();

    scene_.rows.clear();
    scene_.names.clear();
    cityOfRow_.clear();
    if (settings.hereRow) {
        scene_.rows.push_back({"Here", systemUtcOffset(), std::nullopt, std::nullopt});
        scene_.names.push_back(text(world_, str::CompareHere));
        cityOfRow_.push_back(-1);
    }
    for (std::size_t r = 0; r < settings.rows.size(); ++r) {
        const CompareRowSetting& row = settings.rows[r];
        const CityRecord& city = cities[row.city];
        const std::string name =
            city.label.empty() ? std::string(trimmedCityName(city.name)) : city.label;
        scene_.rows.push_back({name,
                               cityUtcOffset(city, world_.localClock),
                               GroundPoint{city.latitude, city.longitude},
                               WorkingHours{row.startMinute, row.endMinute, row.days}});
        scene_.names.push_back(QString::fromStdString(name));
        cityOfRow_.push_back(static_cast<int>(r));
    }
    if (settings.utcRow) {
        scene_.rows.push_back({"UTC", fixedUtcOffset(0), std::nullopt, std::nullopt});
        scene_.names.push_back(text(world_, str::CompareUtc));
        cityOfRow_.push_back(-1);
    }
    stack_->setCurrentWidget(settings.rows.empty() ? static_cast<QWidget*>(hint_)
                                                   : static_cast<QWidget*>(strips_));
    next_->setEnabled(!settings.rows.empty());
    copy_->setEnabled(!settings.rows.empty());

    // One editor per row.
    while (editors_.size() < scene_.rows.size()) {
        auto* editor = new QLineEdit(strips_);
        editor->setAlignment(Qt::AlignCenter);
        const int row = static_cast<int>(editors_.size());
        connect(editor, &QLineEdit::returnPressed, this, [this, row] { editorDone(row); });
        connect(editor, &QLineEdit::textEdited, editor, [editor] {
            editor->setStyleSheet(QString());
            editor->setToolTip(QString());
        });
        editors_.push_back(editor);
    }
    while (editors_.size() > scene_.rows.size()) {
        delete editors_.back();
        editors_.pop_back();
    }
    strips_->updateGeometry();
    refreshEditors();
}

void ComparePanel::setAxisAround(std::time_t instant) {
    // Whole hours, the cursor in the middle hour: the axis moves in steps of an hour.
    const std::time_t start = instant - instant % kHour - 12 * kHour;
    if (start != scene_.axisStart || sun_.subSolar.empty()) {
        scene_.axisStart = start;
        sun_ = axisSun(start, 24 * static_cast<int>(kHour));
        scene_.sun = &sun_;
    }
}

void ComparePanel::refreshEditors() {
    scene_.referenceOffset = systemUtcOffset()(scene_.cursor);
    const CompareGeometry geometry = strips_->geometry();
    for (std::size_t i = 0; i < editors_.size(); ++i) {
        QLineEdit* editor = editors_[i];
        editor->setGeometry(geometry.editorRect(static_cast<int>(i)));
        editor->show();
        if (editor->hasFocus() || !editor->styleSheet().isEmpty()) {
            continue; // the user is typing, or a wrong time stays until changed
        }
        const CompareRow& row = scene_.rows[i];
        const ClockReading clock = clockReading(scene_.cursor, row.offset(scene_.cursor));
        editor->setText(QString::fromStdString(clockText(clock.hour * 60 + clock.minute)));
    }
    strips_->update();
}

void ComparePanel::follow() {
    // The standard offsets come from the time-zone image, which loads after the
    // window is made.
    if (markSignature() != marks_ || world_.compositor.timeZoneImage() != zonesSeen_) {
        rebuildRows();
    }
    if (dragging_) {
        return;
    }
    const std::time_t shown = travel_.shown();
    if (shown != scene_.cursor) {
        scene_.cursor = shown;
        setAxisAround(shown);
        refreshEditors();
    }
}

QLineEdit* ComparePanel::editor(int row) const {
    return row >= 0 && row < static_cast<int>(editors_.size())
               ? editors_[static_cast<std::size_t>(row)]
               : nullptr;
}

void ComparePanel::typeTime(int row, const QString& typed) {
    if (QLineEdit* e = editor(row)) {
        e->setText(typed);
        editorDone(row);
    }
}

void ComparePanel::editorDone(int row) {
    QLineEdit* e = editor(row);
    const std::optional<int> minutes = parseClockTime(e->text().toStdString());
    if (!minutes) {
        // Nothing moves; the field says what it wants.
        e->setStyleSheet(kBadStyle);
        e->setToolTip(text(world_, str::CompareBadTime));
        return;
    }
    e->setStyleSheet(QString());
    e->setToolTip(QString());
    const CompareRow& r = scene_.rows[static_cast<std::size_t>(row)];
    // The typed time on the row's own date at the cursor.
    const ClockReading clock = clockReading(scene_.cursor, r.offset(scene_.cursor));
    const std::time_t target = instantOfLocal(r.offset, clock.dayNumber * 86400 + *minutes * 60);
    e->clearFocus();
    if (travel_.goTo(target)) {
        follow();
    }
    refreshEditors();
}

void ComparePanel::setCursorInstant(std::time_t instant) {
    instant -= ((instant % kDragStep) + kDragStep) % kDragStep;
    if (instant == scene_.cursor || !travel_.goTo(instant)) {
        return;
    }
    scene_.cursor = instant;
    refreshEditors();
}

void ComparePanel::nextOverlap() {
    std::vector<CompareRow> cities;
    std::vector<QString> names;
    for (std::size_t i = 0; i < scene_.rows.size(); ++i) {
        if (cityOfRow_[i] >= 0) {
            cities.push_back(scene_.rows[i]);
            names.push_back(scene_.names[i]);
        }
    }
    const int minimum = world_.settings.compare.overlapMinutes * 60;
    std::optional<Overlap> found = findOverlap(cities, {scene_.cursor, minimum, 14 * 86400});
    if (found && found->start <= scene_.cursor) {
        // Already in it: the next one after it.
        found = findOverlap(cities, {found->end, minimum, 14 * 86400});
    }
    if (!found) {
        status_->setText(text(world_, str::CompareNoOverlap));
        return;
    }
    const QLocale locale;
    const auto at = [&](std::time_t t, const char* format) {
        return locale.toString(QDateTime::fromSecsSinceEpoch(t).toLocalTime(),
                               QLatin1String(format));
    };
    QString when =
        at(found->start, "ddd d MMM HH:mm") + QStringLiteral("\u2013") + at(found->end, "HH:mm");
    if (found->complete) {
        status_->setText(text(world_, str::CompareOverlap).replace(QLatin1String("%s"), when));
    } else {
        QStringList sharing;
        for (std::size_t r : found->rows) {
            sharing << names[r];
        }
        when += QStringLiteral(" (") + sharing.join(QStringLiteral(", ")) + QLatin1Char(')');
        status_->setText(text(world_, str::ComparePartial).replace(QLatin1String("%s"), when));
    }
    if (travel_.goTo(found->start)) {
        follow();
    }
}

QString ComparePanel::overlapStatus() const {
    return status_->text();
}

QString ComparePanel::copyText() const {
    std::vector<CompareRow> rows;
    for (std::size_t i = 0; i < scene_.rows.size(); ++i) {
        if (cityOfRow_[i] >= 0 || scene_.rows[i].label == "UTC") {
            rows.push_back(scene_.rows[i]);
            rows.back().label = scene_.names[i].toStdString();
        }
    }
    return QString::fromStdString(instantAsText(rows, scene_.cursor, calendarNames()));
}

void ComparePanel::copyAsText() {
    QApplication::clipboard()->setText(copyText());
}

bool ComparePanel::showsHint() const {
    return stack_->currentWidget() == hint_;
}

void ComparePanel::setUtcRow(bool on) {
    world_.settings.compare.utcRow = on;
    utc_->setChecked(on);
    rebuildRows();
}

void ComparePanel::setHereRow(bool on) {
    world_.settings.compare.hereRow = on;
    here_->setChecked(on);
    rebuildRows();
}

int ComparePanel::sceneRowOfCity(int cityRow) const {
    for (std::size_t i = 0; i < cityOfRow_.size(); ++i) {
        if (cityOfRow_[i] == cityRow) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int ComparePanel::cityRowOfScene(int row) const {
    return row >= 0 && row < static_cast<int>(cityOfRow_.size())
               ? cityOfRow_[static_cast<std::size_t>(row)]
               : -1;
}

void ComparePanel::moveCityRow(int from, int to) {
    auto& rows = world_.settings.compare.rows;
    const int count = static_cast<int>(rows.size());
    if (from < 0 || from >= count || to < 0 || to >= count || from == to) {
        return;
    }
    const CompareRowSetting moved = rows[static_cast<std::size_t>(from)];
    rows.erase(rows.begin() + from);
    rows.insert(rows.begin() + to, moved);
    rebuildRows();
}

void ComparePanel::setWorkingHours(int cityRow, int startMinute, int endMinute, std::uint8_t days) {
    auto& rows = world_.settings.compare.rows;
    if (cityRow < 0 || cityRow >= static_cast<int>(rows.size())) {
        return;
    }
    CompareRowSetting& row = rows[static_cast<std::size_t>(cityRow)];
    row.startMinute = startMinute;
    row.endMinute = endMinute;
    row.days = days;
    rebuildRows();
}

void ComparePanel::setLabel(int cityRow, const QString& label) {
    const auto& rows = world_.settings.compare.rows;
    if (cityRow < 0 || cityRow >= static_cast<int>(rows.size())) {
        return;
    }
    world_.setCityLabel(rows[static_cast<std::size_t>(cityRow)].city, label.toStdString());
    rebuildRows();
    if (travel_.repaintMap) {
        travel_.repaintMap();
    }
}

void ComparePanel::openRowMenu(int row, QPoint global) {
    const int cityRow = cityRowOfScene(row);
    if (cityRow < 0) {
        return;
    }
    const CompareRowSetting setting =
        world_.settings.compare.rows[static_cast<std::size_t>(cityRow)];
    const QString name = scene_.names[static_cast<std::size_t>(row)];
    QMenu menu(this);
    QAction* hours = menu.addAction(text(world_, str::CompareWorkingHours));
    menu.addSeparator();
    const QLocale locale;
    std::vector<QAction*> days;
    for (int d = 0; d < 7; ++d) {
        // From the locale's first day of the week.
        const int weekday = (static_cast<int>(locale.firstDayOfWeek()) % 7 + d) % 7;
        QAction* day = menu.addAction(locale.dayName(weekday == 0 ? 7 : weekday));
        day->setCheckable(true);
        day->setChecked((setting.days & (1u << weekday)) != 0);
        day->setData(weekday);
        days.push_back(day);
    }
    menu.addSeparator();
    QAction* label = menu.addAction(text(world_, str::CompareLabel));
    QAction* chosen = menu.exec(global);
    if (chosen == nullptr) {
        return;
    }
    if (chosen == hours) {
        bool ok = false;
        const QString current = QString::fromStdString(clockText(setting.startMinute) + "-" +
                                                       clockText(setting.endMinute));
        const QString typed = QInputDialog::getText(
            this, text(world_, str::CompareTitle),
            text(world_, str::CompareHoursPrompt).replace(QLatin1String("%s"), name),
            QLineEdit::Normal, current, &ok);
        WorkingHours parsed{setting.startMinute, setting.endMinute, setting.days};
        if (ok && parseShift(typed.toStdString(), parsed)) {
            setWorkingHours(cityRow, parsed.startMinute, parsed.endMinute, setting.days);
        }
    } else if (chosen == label) {
        bool ok = false;
        const CityRecord& city = world_.tables().cities[setting.city];
        const QString typed = QInputDialog::getText(
            this, text(world_, str::CompareTitle),
            text(world_, str::CompareLabelPrompt)
                .replace(QLatin1String("%s"),
                         QString::fromStdString(std::string(trimmedCityName(city.name)))),
            QLineEdit::Normal, QString::fromStdString(city.label), &ok);
        if (ok) {
            setLabel(cityRow, typed);
        }
    } else {
        const int weekday = chosen->data().toInt();
        setWorkingHours(cityRow, setting.startMinute, setting.endMinute,
                        static_cast<std::uint8_t>(setting.days ^ (1u << weekday)));
    }
}

// ---------------------------------------------------------------------------

CompareStrips::CompareStrips(ComparePanel& panel) : QWidget(nullptr), panel_(panel) {
    setMouseTracking(false);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

CompareGeometry CompareStrips::geometry() const {
    CompareGeometry g;
    g.area = rect();
    g.rightToLeft = isRightToLeft();
    return g;
}

QSize CompareStrips::sizeHint() const {
    const int rows = std::max<int>(1, static_cast<int>(panel_.scene_.rows.size()));
    return {800, rows * CompareGeometry::RowHeight + 2};
}

QSize CompareStrips::minimumSizeHint() const {
    return {CompareGeometry::NameWidth + CompareGeometry::EditorWidth + 200,
            CompareGeometry::RowHeight};
}

void CompareStrips::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    paintCompareScene(painter, panel_.scene_, geometry());
}

void CompareStrips::resizeEvent(QResizeEvent*) {
    panel_.refreshEditors();
}

void CompareStrips::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const CompareGeometry g = geometry();
    const QPoint at = event->position().toPoint();
    const int row = at.y() / CompareGeometry::RowHeight;
    if (g.nameRect(row).contains(at) && panel_.cityRowOfScene(row) >= 0) {
        draggedRow_ = row; // reordering
        setCursor(Qt::SizeVerCursor);
        return;
    }
    const QRect strips(QPoint(g.stripLeft(), 0), QPoint(g.stripLeft() + g.stripWidth(), height()));
    if (strips.contains(at)) {
        panel_.dragging_ = true;
        panel_.setCursorInstant(g.instantAt(at.x(), panel_.scene_.axisStart));
    }
}

void CompareStrips::mouseMoveEvent(QMouseEvent* event) {
    if (panel_.dragging_) {
        panel_.setCursorInstant(
            geometry().instantAt(event->position().toPoint().x(), panel_.scene_.axisStart));
    }
}

void CompareStrips::mouseReleaseEvent(QMouseEvent* event) {
    if (draggedRow_ >= 0) {
        const int to =
            std::clamp(static_cast<int>(event->position().y()) / CompareGeometry::RowHeight, 0,
                       static_cast<int>(panel_.scene_.rows.size()) - 1);
        const int from = panel_.cityRowOfScene(draggedRow_);
        int target = panel_.cityRowOfScene(to);
        if (target < 0) {
            // Dropped on Here or UTC: to the nearest end of the cities.
            target = to < draggedRow_
                         ? 0
                         : static_cast<int>(panel_.world_.settings.compare.rows.size()) - 1;
        }
        draggedRow_ = -1;
        unsetCursor();
        panel_.moveCityRow(from, target);
        return;
    }
    panel_.dragging_ = false;
}

void CompareStrips::contextMenuEvent(QContextMenuEvent* event) {
    panel_.openRowMenu(event->pos().y() / CompareGeometry::RowHeight, event->globalPos());
}

// ---------------------------------------------------------------------------

ComparePanel* installComparePanel(MainWindow& window, World& world) {
    CompareTravel travel{
        .shown = [&window] { return window.shownInstant().shown(); },
        .atNow = [&window] { return window.showingNow(); },
        .goTo = [&window](std::time_t t) { return window.goToInstant(t); },
        .backToNow = [&window] { window.runCommand(cmd::BackToNow); },
        .repaintMap = [&window] { window.repaintMap(); },
    };
    auto* panel = new ComparePanel(world, std::move(travel), &window);
    window.addDockWidget(Qt::BottomDockWidgetArea, panel);
    panel->setVisible(world.settings.compare.shown);
    std::vector<QAction*> actions = {window.menuAction(cmd::CompareTimes),
                                     window.toolbarAction(cmd::CompareTimes)};
    for (QAction* action : actions) {
        if (action != nullptr) {
            action->setCheckable(true);
            action->setChecked(world.settings.compare.shown);
        }
    }
    // Shown or closed by the user (its close button or the command), not by the
    // window going: that is what is kept.
    QObject::connect(panel->toggleViewAction(), &QAction::toggled, panel,
                     [&world, actions](bool on) {
                         world.settings.compare.shown = on;
                         for (QAction* action : actions) {
                             if (action != nullptr) {
                                 action->setChecked(on);
                             }
                         }
                     });
    return panel;
}

} // namespace chronvale
