#pragma once
// A small bar of blocks that shows network activity: each tick of a transfer
// lights one more block (starting again from one after the last), and the bar
// goes blank when the transfers are over.

#include <QWidget>

namespace chronvale {

class ActivityIndicator : public QWidget {
    Q_OBJECT
public:
    static constexpr int kBlocks = 10;

    explicit ActivityIndicator(QWidget* parent = nullptr);

    // Blocks lit now: 0 while idle, else 1 … kBlocks.
    int litBlocks() const { return lit_; }
    bool isActive() const { return lit_ > 0; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    void step();
    void clear();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int lit_ = 0;
};

} // namespace chronvale
