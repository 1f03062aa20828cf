#pragma once
// "Канал связи": shows the port the unit is reached on; ">>" lets the user choose another in
// "Выбор порта", which then becomes the configured port.
#include <QDialog>
#include <QString>
#include <cstdint>
#include <string>

class QLabel;

namespace tgm {

struct CHANPAR;

class TChanCfgForm : public QDialog {
    Q_OBJECT
public:
    // Shows `shown_port` with what the system knows of its device, or `shown_description` (code
    // page 1251) alone in its place: the demo's line names no device. Until the user chooses a
    // port into `chanpar`.
    TChanCfgForm(QWidget* main_window, CHANPAR& chanpar, int32_t shown_port,
                 const std::string& shown_description = {});

    // ">>": the port dialog, and its choice into the channel parameters.
    void ChooseClick();
    bool port_chosen() const { return chosen_; }
    QString shown_text() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void show_port(int32_t port, const std::string& description);

    CHANPAR& chanpar_;
    QWidget* main_window_;
    QLabel* panel_;
    bool chosen_ = false;
};

} // namespace tgm
