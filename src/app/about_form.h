#pragma once
// The About box: the program's title, its executable and version, and the maker.
#include <QDialog>

namespace tgm {

class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent = nullptr);
};

} // namespace tgm
