#include "ui/list_view.h"

#include "config/program_settings.h"

#include <QHeaderView>
#include <QLocale>
#include <QScrollBar>
#include <QSettings>
#include <QStringList>
#include <algorithm>
#include <optional>
#include <vector>

namespace chronvale {
namespace {

// "1,2,3" as numbers; none when an entry is not a whole number.
std::optional<std::vector<int>> parseNumberList(const QString& text) {
    std::vector<int> numbers;
    if (text.trimmed().isEmpty()) {
        return numbers;
    }
    for (const QString& entry : text.split(QLatin1Char(','))) {
        bool ok = false;
        const int number = entry.trimmed().toInt(&ok, 10);
        if (!ok) {
            return std::nullopt;
        }
        numbers.push_back(number);
    }
    return numbers;
}

QString joinNumbers(const std::vector<int>& numbers) {
    QStringList parts;
    for (int number : numbers) {
        parts.append(QString::number(number));
    }
    return parts.join(QLatin1Char(','));
}

// True when order holds each of 0 … count-1 once.
bool isPermutation(const std::vector<int>& order, int count) {
    if (static_cast<int>(order.size()) != count) {
        return false;
    }
    std::vector<bool> seen(count, false);
    for (int logical : order) {
        if (logical < 0 || logical >= count || seen[logical]) {
            return false;
        }
        seen[logical] = true;
    }
    return true;
}

const QString kWidths = QStringLiteral("widths");         // by column, in model order
const QString kOrder = QStringLiteral("order");           // columns from left to right
const QString kSortColumn = QStringLiteral("sortcolumn"); // -1: unsorted
const QString kSortOrder = QStringLiteral("sortorder");   // 0 ascending, 1 descending

} // namespace

LocaleSortProxy::LocaleSortProxy(QObject* parent)
    : QSortFilterProxyModel(parent), collator_(QLocale()) {
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
}

bool LocaleSortProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    // Folding the case first keeps the order case-blind even where the
    // collation back end cannot ignore case itself.
    const QString a = left.data(Qt::DisplayRole).toString().toCaseFolded();
    const QString b = right.data(Qt::DisplayRole).toString().toCaseFolded();
    return collator_.compare(a, b) < 0;
}

ListView::ListView(int dialogNumber, int controlNumber, QWidget* parent)
    : QTreeView(parent), dialogNumber_(dialogNumber), controlNumber_(controlNumber),
      proxy_(new LocaleSortProxy(this)) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setSectionsMovable(true);
    header()->setSortIndicator(0, Qt::AscendingOrder);
    setModel(proxy_);
    setSortingEnabled(true);
    connect(this, &QAbstractItemView::activated, this,
            [this](const QModelIndex& index) { emit rowActivated(toSource(index)); });
    // Columns that arrive while the list is shown get their remembered state too.
    connect(header(), &QHeaderView::sectionCountChanged, this, [this](int before, int now) {
        if (before == 0 && now > 0 && isVisible() && !columnsRestored_) {
            restoreColumns();
        }
    });
}

ListView::~ListView() {
    if (isVisible() && columnsRestored_) {
        saveColumns();
    }
}

void ListView::setSourceModel(QAbstractItemModel* model) {
    proxy_->setSourceModel(model);
    sortByColumn(header()->sortIndicatorSection(), header()->sortIndicatorOrder());
}

QAbstractItemModel* ListView::sourceModel() const {
    return proxy_->sourceModel();
}

QModelIndex ListView::toSource(const QModelIndex& viewIndex) const {
    return proxy_->mapToSource(viewIndex);
}

QModelIndex ListView::fromSource(const QModelIndex& sourceIndex) const {
    return proxy_->mapFromSource(sourceIndex);
}

QModelIndex ListView::currentSourceIndex() const {
    return toSource(currentIndex());
}

void ListView::setCurrentSourceIndex(const QModelIndex& sourceIndex) {
    const QModelIndex index = fromSource(sourceIndex);
    setCurrentIndex(index);
    if (index.isValid()) {
        scrollTo(index);
    }
}

void ListView::restoreColumns() {
    QHeaderView* head = header();
    const int count = head->count();
    if (count == 0) {
        return;
    }
    columnsRestored_ = true;
    const auto settings = openProgramSettings();
    settings->beginGroup(listSettingsGroup(dialogNumber_, controlNumber_));

    if (const auto widths = parseNumberList(settings->value(kWidths).toString())) {
        for (int logical = 0; logical < count && logical < static_cast<int>(widths->size());
             ++logical) {
            if ((*widths)[logical] > 0) {
                head->resizeSection(logical, (*widths)[logical]);
            }
        }
    }
    if (const auto order = parseNumberList(settings->value(kOrder).toString());
        order && isPermutation(*order, count)) {
        for (int visual = 0; visual < count; ++visual) {
            head->moveSection(head->visualIndex((*order)[visual]), visual);
        }
    }
    const auto column = readInteger(*settings, kSortColumn);
    const auto order = readInteger(*settings, kSortOrder);
    if (column && *column >= -1 && *column < count && order && (*order == 0 || *order == 1)) {
        sortByColumn(*column, *order == 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
    }
}

void ListView::saveColumns() const {
    const QHeaderView* head = header();
    const int count = head->count();
    if (count == 0) {
        return;
    }
    std::vector<int> widths;
    std::vector<int> order;
    for (int i = 0; i < count; ++i) {
        widths.push_back(head->sectionSize(i));
        order.push_back(head->logicalIndex(i));
    }
    const auto settings = openProgramSettings();
    settings->beginGroup(listSettingsGroup(dialogNumber_, controlNumber_));
    settings->setValue(kWidths, joinNumbers(widths));
    settings->setValue(kOrder, joinNumbers(order));
    settings->setValue(kSortColumn, QString::number(head->sortIndicatorSection()));
    settings->setValue(kSortOrder,
                       QString::number(head->sortIndicatorOrder() == Qt::AscendingOrder ? 0 : 1));
}

void ListView::fitColumnsToContents(int maxWidth) {
    QHeaderView* head = header();
    head->setResizeContentsPrecision(-1); // every row, not the first thousand
    const int count = head->count();
    for (int column = 0; column < count; ++column) {
        const int needed = sizeHintForColumn(column);
        if (column == count - 1 && head->stretchLastSection()) {
            int before = 0;
            for (int c = 0; c < column; ++c) {
                before += head->sectionSize(c);
            }
            const int frame = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
            const int wanted = before + needed + frame;
            setMinimumWidth(std::min(wanted, maxWidth));
            if (wanted > maxWidth) {
                // Too wide to fill the list: the column keeps its width and the
                // list scrolls sideways rather than cutting the texts.
                head->setStretchLastSection(false);
                head->resizeSection(column, std::max(head->sectionSize(column), needed));
            }
        } else if (head->sectionSize(column) < needed) {
            head->resizeSection(column, needed);
        }
    }
}

void ListView::showEvent(QShowEvent* event) {
    if (!columnsRestored_) {
        restoreColumns();
    }
    QTreeView::showEvent(event);
}

void ListView::hideEvent(QHideEvent* event) {
    // Only a state that began from the remembered one is written back, so a
    // list hidden before its columns came cannot overwrite it with defaults.
    if (columnsRestored_) {
        saveColumns();
    }
    QTreeView::hideEvent(event);
}

} // namespace chronvale
