#include "config/program_settings.h"
#include "ui/list_view.h"
#include "ui_test_support.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <gtest/gtest.h>

using chronvale::ListView;

namespace {

class ListViewTest : public chronvale::test::UiTest {
protected:
    // Three columns: city, state, country; rows in file order.
    void fill(QStandardItemModel& model) {
        model.setHorizontalHeaderLabels(
            {QStringLiteral("City"), QStringLiteral("State"), QStringLiteral("Country")});
        const char* rows[][3] = {{"berlin", "", "Germany"},
                                 {"Zurich", "ZH", "Switzerland"},
                                 {"Adelaide", "SA", "Australia"},
                                 {"Boston", "MA", "United States"}};
        for (const auto& row : rows) {
            QList<QStandardItem*> items;
            for (const char* text : row) {
                items.append(new QStandardItem(QString::fromUtf8(text)));
            }
            model.appendRow(items);
        }
    }

    QStringList column(const ListView& view, int logical) {
        QStringList texts;
        for (int row = 0; row < view.model()->rowCount(); ++row) {
            texts.append(view.model()->index(row, logical).data().toString());
        }
        return texts;
    }
};

TEST_F(ListViewTest, SortsByTextIgnoringCase) {
    QStandardItemModel model;
    fill(model);
    ListView view(103, 1015);
    view.setSourceModel(&model);
    // Column 0 ascending from the start.
    EXPECT_EQ(column(view, 0), QStringList({"Adelaide", "berlin", "Boston", "Zurich"}));

    // A header click sorts by that column; an empty text comes first.
    view.sortByColumn(1, Qt::AscendingOrder);
    EXPECT_EQ(column(view, 0), QStringList({"berlin", "Boston", "Adelaide", "Zurich"}));
    view.sortByColumn(0, Qt::DescendingOrder);
    EXPECT_EQ(column(view, 0), QStringList({"Zurich", "Boston", "berlin", "Adelaide"}));

    // The view's rows lead back to the model's.
    view.setCurrentIndex(view.model()->index(0, 0));
    EXPECT_EQ(view.currentSourceIndex().row(), 1);
    view.setCurrentSourceIndex(model.index(2, 0));
    EXPECT_EQ(view.currentIndex().row(), 3);
}

TEST_F(ListViewTest, ActivatingARowNamesTheModelsRow) {
    QStandardItemModel model;
    fill(model);
    ListView view(103, 1015);
    view.setSourceModel(&model);
    int activated = -1;
    QObject::connect(&view, &ListView::rowActivated,
                     [&](const QModelIndex& index) { activated = index.row(); });
    emit view.activated(view.model()->index(0, 1)); // "Adelaide", row 2 of the model
    EXPECT_EQ(activated, 2);
}

// Widths, order and sort survive the dialog, through the settings file.
TEST_F(ListViewTest, ColumnsComeBackAsTheyWereLeft) {
    QWidget dialog;
    QStandardItemModel model;
    fill(model);
    {
        auto* view = new ListView(103, 1015, &dialog);
        view->setSourceModel(&model);
        dialog.show();
        view->header()->resizeSection(0, 140);
        view->header()->resizeSection(1, 45);
        view->header()->moveSection(2, 0); // Country, City, State
        view->sortByColumn(2, Qt::DescendingOrder);
        dialog.hide();
        delete view;
    }
    {
        QSettings written(settingsFile(), QSettings::IniFormat);
        written.beginGroup(QStringLiteral("DLGS/103/1015"));
        EXPECT_EQ(written.value(QStringLiteral("order")).toString(), QStringLiteral("2,0,1"));
        EXPECT_EQ(written.value(QStringLiteral("sortcolumn")).toString(), QStringLiteral("2"));
        EXPECT_EQ(written.value(QStringLiteral("sortorder")).toString(), QStringLiteral("1"));
        EXPECT_TRUE(written.value(QStringLiteral("widths")).toString().startsWith("140,45,"));
    }

    auto* again = new ListView(103, 1015, &dialog);
    again->setSourceModel(&model);
    dialog.show();
    EXPECT_EQ(again->header()->sectionSize(0), 140);
    EXPECT_EQ(again->header()->sectionSize(1), 45);
    EXPECT_EQ(again->header()->logicalIndex(0), 2);
    EXPECT_EQ(again->header()->logicalIndex(1), 0);
    EXPECT_EQ(again->header()->sortIndicatorSection(), 2);
    EXPECT_EQ(again->header()->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(column(*again, 2),
              QStringList({"United States", "Switzerland", "Germany", "Australia"}));

    // Another control of the same dialog keeps its own state.
    auto* other = new ListView(103, 1014, &dialog);
    other->setSourceModel(&model);
    other->show();
    EXPECT_EQ(other->header()->logicalIndex(0), 0);
    EXPECT_EQ(other->header()->sortIndicatorSection(), 0);
}

// Columns that come after the first show still get their remembered state, and
// a list that never had columns does not overwrite it.
TEST_F(ListViewTest, LateColumnsAndEmptyListsKeepTheState) {
    {
        const auto settings = chronvale::openProgramSettings();
        settings->beginGroup(QStringLiteral("DLGS/103/1014"));
        settings->setValue(QStringLiteral("widths"), QStringLiteral("90,60,70"));
        settings->setValue(QStringLiteral("order"), QStringLiteral("1,0,2"));
        settings->setValue(QStringLiteral("sortcolumn"), QStringLiteral("1"));
        settings->setValue(QStringLiteral("sortorder"), QStringLiteral("0"));
    }
    {
        ListView empty(103, 1014);
        empty.show();
        empty.hide();
    }
    QStandardItemModel model;
    ListView view(103, 1014);
    view.show();
    fill(model);
    view.setSourceModel(&model);
    EXPECT_EQ(view.header()->sectionSize(0), 90);
    EXPECT_EQ(view.header()->logicalIndex(0), 1);
    EXPECT_EQ(view.header()->sortIndicatorSection(), 1);
}

// A damaged or outdated state is passed over part by part, never applied half-way.
TEST_F(ListViewTest, UnfitStateIsPassedOver) {
    {
        const auto settings = chronvale::openProgramSettings();
        settings->beginGroup(QStringLiteral("DLGS/104/1"));
        settings->setValue(QStringLiteral("widths"), QStringLiteral("120,-5")); // short, one bad
        settings->setValue(QStringLiteral("order"), QStringLiteral("0,0,1"));   // not a permutation
        settings->setValue(QStringLiteral("sortcolumn"), QStringLiteral("7"));  // no such column
        settings->setValue(QStringLiteral("sortorder"), QStringLiteral("0"));
    }
    QStandardItemModel model;
    fill(model);
    ListView view(104, 1);
    view.setSourceModel(&model);
    const int defaultWidth = view.header()->sectionSize(1);
    view.show();
    EXPECT_EQ(view.header()->sectionSize(0), 120);
    EXPECT_EQ(view.header()->sectionSize(1), defaultWidth);
    for (int visual = 0; visual < 3; ++visual) {
        EXPECT_EQ(view.header()->logicalIndex(visual), visual);
    }
    EXPECT_EQ(view.header()->sortIndicatorSection(), 0);
    EXPECT_EQ(column(view, 0), QStringList({"Adelaide", "berlin", "Boston", "Zurich"}));

    const auto settings = chronvale::openProgramSettings();
    settings->setValue(QStringLiteral("DLGS/104/1/widths"), QStringLiteral("a,b"));
    settings->setValue(QStringLiteral("DLGS/104/1/sortcolumn"), QStringLiteral("1"));
    settings->setValue(QStringLiteral("DLGS/104/1/sortorder"), QStringLiteral("3"));
    view.restoreColumns();
    EXPECT_EQ(view.header()->sectionSize(0), 120);
    EXPECT_EQ(view.header()->sortIndicatorSection(), 0);
}

} // namespace
