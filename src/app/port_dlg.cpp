#include "app/port_dlg.h"

#include "app/window_place.h"
#include "render/gui_text.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tgm {

QString port_text(const std::string& device, const std::string& description_cp1251) {
    QString text = file_text(device);
    if (!description_cp1251.empty())
        text += QString::fromUtf8(" — ") + qs(description_cp1251);
    return text;
}

TPortDlg::TPortDlg(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      owner_(owner) {
    setObjectName(QStringLiteral("TPortDlg"));
    setWindowTitle(QString::fromUtf8("Выбор порта"));
    setFixedSize(269, 233);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QString::fromUtf8("Доступные порты"), this);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("port_list"));
    label->setBuddy(list_);
    layout->addWidget(label);
    layout->addWidget(list_, 1);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* refresh =
        buttons->addButton(QString::fromUtf8("Обновить список"), QDialogButtonBox::ActionRole);
    refresh->setObjectName(QStringLiteral("refresh_button"));
    refresh->setAutoDefault(false);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("ok_button"));
    ok->setDefault(true);
    layout->addWidget(buttons);
    connect(refresh, &QPushButton::clicked, this, &TPortDlg::refresh_list);
    connect(ok, &QPushButton::clicked, this, &TPortDlg::OkClick);
    connect(list_, &QListWidget::itemActivated, this, &TPortDlg::OkClick);
}

void TPortDlg::refresh_list() {
    ports_.enumerate();
    list_->clear();
    for (int32_t i = 0; i < ports_.count(); ++i) {
        const TPort& port = *ports_.port_at(i);
        list_->addItem(port_text(port.name, port.description));
    }
    if (list_->count() > 0)
        list_->setCurrentRow(0);
    list_->setFocus();
}

void TPortDlg::OkClick() {
    const int row = list_->currentRow();
    if (row < 0 || row >= ports_.count()) {
        chosen_ = -1;
        done(QDialog::Rejected);
        return;
    }
    chosen_ = ports_.port_at(row)->port;
    done(1);
}

void TPortDlg::showEvent(QShowEvent* event) {
    chosen_ = -1;
    centre_on(this, owner_);
    refresh_list();
    QDialog::showEvent(event);
}

} // namespace tgm
