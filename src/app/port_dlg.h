#pragma once
// "Выбор порта": the ports that open now (and those denied to this user, marked so), listed
// anew on every showing and on "Обновить список"; OK returns the selected port's number.
#include "ports/tportcollection.h"

#include <QDialog>
#include <QString>
#include <cstdint>
#include <string>

class QListWidget;

namespace tgm {

// How the port dialogs show a port: its device path, and what the system knows of it.
QString port_text(const std::string& device, const std::string& description_cp1251);

class TPortDlg : public QDialog {
    Q_OBJECT
public:
    explicit TPortDlg(QWidget* owner);

    // Enumerates the ports, lists them and selects the first.
    void refresh_list();
    // OK: the selected port's number and modal result 1; nothing selected is no choice.
    void OkClick();
    // The choice after exec() returned 1; -1 otherwise.
    int32_t chosen_port() const { return chosen_; }
    const TPortCollection& ports() const { return ports_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    TPortCollection ports_;
    QListWidget* list_;
    QWidget* owner_;
    int32_t chosen_ = -1;
};

} // namespace tgm
