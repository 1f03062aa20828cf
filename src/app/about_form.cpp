#include "app/about_form.h"

#include "app/window_place.h"
#include "render/gui_text.h"
#include "support/file_locations.h"
#include "support/platform.h"
#include "support/syscfg.h"
#include "support/tappinfo.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

namespace tgm {
namespace {

QLineEdit* line_area(const char* name, const QString& text, QWidget* parent) {
    auto* area = new QLineEdit(text, parent);
    area->setObjectName(QString::fromLatin1(name));
    area->setReadOnly(true);
    area->setFrame(false);
    area->setCursorPosition(0);
    return area;
}

} // namespace

TAboutForm::TAboutForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("TAboutForm"));
    setWindowTitle(QString::fromUtf8("О программе"));

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("ProgramIcon"));
    picture->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48));

    const std::string path = program_path();
    const QString exe = file_text(path.substr(last_path_separator(path) + 1));
    auto* title = line_area(
        "ProductName", QString::fromUtf8("Программа \"") + qs(config().title()) + QLatin1Char('"'),
        this);
    auto* version = line_area("Version",
                              QString::fromUtf8("Исполняемый модуль:\t ") + exe +
                                  QString::fromUtf8(", сборка ") +
                                  QString::fromStdString(TAppInfo().version_text()),
                              this);
    auto* maker = new QPlainTextEdit(this);
    maker->setObjectName(QStringLiteral("Comments"));
    maker->setReadOnly(true);
    maker->setFrameStyle(QFrame::NoFrame);
    maker->setPlainText(
        QString::fromUtf8("ООО «Тарвел»\nhttps://tarvel.example\nservice@tarvel.example"));
    maker->setFixedHeight(3 * fontMetrics().lineSpacing() + 12);
    maker->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    maker->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Borderless areas on the dialog's own background, so they read as labels.
    for (QWidget* area : std::initializer_list<QWidget*>{title, version, maker}) {
        QPalette palette = area->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Window));
        area->setPalette(palette);
    }

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(picture, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(title, 0, 1);
    layout->addWidget(version, 1, 1);
    layout->addWidget(maker, 2, 1);
    layout->addWidget(ok, 3, 0, 1, 2, Qt::AlignHCenter);
    layout->setColumnMinimumWidth(1, 380);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    centre_on_screen(this);
}

} // namespace tgm
