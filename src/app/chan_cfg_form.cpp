#include "app/chan_cfg_form.h"

#include "app/port_dlg.h"
#include "app/window_place.h"
#include "ports/port_names.h"
#include "render/gui_text.h"
#include "support/chanpar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace tgm {

TChanCfgForm::TChanCfgForm(QWidget* main_window, CHANPAR& chanpar, int32_t shown_port,
                           const std::string& shown_description)
    : QDialog(main_window, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      chanpar_(chanpar), main_window_(main_window) {
    setObjectName(QStringLiteral("TChanCfgForm"));
    setWindowTitle(QString::fromUtf8("Канал связи"));
    auto* layout = new QHBoxLayout(this);
    auto* label = new QLabel(QString::fromUtf8("Порт"), this);
    panel_ = new QLabel(this);
    panel_->setObjectName(QStringLiteral("port_panel"));
    panel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel_->setMinimumWidth(260);
    panel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* choose = new QPushButton(QStringLiteral(">>"), this);
    choose->setObjectName(QStringLiteral("choose_button"));
    choose->setFixedWidth(36);
    choose->setDefault(true);
    layout->addWidget(label);
    layout->addWidget(panel_, 1);
    layout->addWidget(choose);
    connect(choose, &QPushButton::clicked, this, &TChanCfgForm::ChooseClick);
    show_port(shown_port, shown_description);
    setFixedSize(sizeHint());
}

void TChanCfgForm::show_port(int32_t port, const std::string& description) {
    const std::string device = port_device_path(port);
    if (!description.empty())
        panel_->setText(qs(description));
    else if (device.empty())
        panel_->setText(QString::number(port));
    else
        panel_->setText(port_text(device, port_description(port)));
}

QString TChanCfgForm::shown_text() const { return panel_->text(); }

void TChanCfgForm::ChooseClick() {
    TPortDlg dialog(this);
    if (dialog.exec() != 1)
        return;
    chanpar_.port = dialog.chosen_port();
    chosen_ = true;
    show_port(chanpar_.port, {});
}

void TChanCfgForm::showEvent(QShowEvent* event) {
    centre_on(this, main_window_);
    QDialog::showEvent(event);
}

} // namespace tgm
