#pragma once
// The base of the program's dialogs: a QDialog that comes back where the user
// left it. Its left, top, width and height are remembered under
// "DLGS/<dialog number>" of the program's settings when it is hidden, closed or
// destroyed, and restored (fitted to the screens of now) when it is first shown.

#include <QDialog>

namespace chronvale {

class Dialog : public QDialog {
    Q_OBJECT
public:
    // dialogNumber names the dialog in the settings (the number of its resource).
    explicit Dialog(int dialogNumber, QWidget* parent = nullptr);
    ~Dialog() override;

    int dialogNumber() const { return dialogNumber_; }

    void setVisible(bool visible) override;

protected:
    void hideEvent(QHideEvent* event) override;

private:
    const int dialogNumber_;
    bool placed_ = false; // the remembered geometry was applied (once, before the first show)
};

} // namespace chronvale
