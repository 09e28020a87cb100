#pragma once
// A report-style list for the program's dialogs: rows of columns, sorted when a
// column header is clicked, whose column widths, column order and sort are
// remembered under "DLGS/<dialog number>/<control number>" of the program's
// settings. The rows come from any item model; the view shows them through its
// own sorting proxy, which compares the texts with the user's locale, ignoring
// case.

#include <QCollator>
#include <QSortFilterProxyModel>
#include <QTreeView>

namespace chronvale {

// Orders rows by the display text of the sort column: case folded, then in the
// user's locale; a missing text counts as empty. Equal rows keep the model's order.
class LocaleSortProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit LocaleSortProxy(QObject* parent = nullptr);

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    QCollator collator_;
};

class ListView : public QTreeView {
    Q_OBJECT
public:
    // The numbers name the list in the settings: its dialog and its control.
    ListView(int dialogNumber, int controlNumber, QWidget* parent = nullptr);
    ~ListView() override;

    // The rows to show (not owned). Sorted by column 0, ascending, until the
    // user or the remembered state says otherwise.
    void setSourceModel(QAbstractItemModel* model);
    QAbstractItemModel* sourceModel() const;
    LocaleSortProxy* sortProxy() const { return proxy_; }

    // Index conversions between the view (sorted) and the source model.
    QModelIndex toSource(const QModelIndex& viewIndex) const;
    QModelIndex fromSource(const QModelIndex& sourceIndex) const;
    QModelIndex currentSourceIndex() const;
    void setCurrentSourceIndex(const QModelIndex& sourceIndex);

    // Applies the remembered widths, order and sort; done by itself at the
    // first show (or when the columns arrive while shown). Values that do not
    // fit the columns of now are passed over.
    void restoreColumns();
    // Remembers them; done by itself when the list is hidden or destroyed once
    // restored. Nothing is written while the list has no columns. A model that
    // is refilled should remove its rows, not its columns, to keep the widths.
    void saveColumns() const;

    // Widens the columns whose texts (every row's, not a sample) would be cut;
    // a wider column is left as the user made it. The last column, which fills
    // the list, makes the list at least that wide, up to maxWidth; beyond it the
    // column stops filling and the list scrolls sideways.
    void fitColumnsToContents(int maxWidth);

signals:
    // A row was double-clicked or Enter was pressed on it (a source index).
    void rowActivated(const QModelIndex& sourceIndex);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    const int dialogNumber_;
    const int controlNumber_;
    LocaleSortProxy* proxy_;
    bool columnsRestored_ = false; // the remembered state was applied to the columns
};

} // namespace chronvale
