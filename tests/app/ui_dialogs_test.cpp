#include "app/qt_dialogs.h"
#include "app/qt_translation.h"
#include "app/ui_dialogs.h"
#include "render/gui_text.h"
#include "support/cp1251.h"
#include "testing/temp_dir.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

using namespace tgm;
using tgm::test::TempDir;

TEST(UiDialogs, FiltersMatchExtensionsInEitherLetterCase) {
    const QStringList f =
        qt_filters(QString::fromUtf8("Форма fs|*.FS|Форма fs31|*.FS31|Формы|*.FS*;*.F1"));
    ASSERT_EQ(f.size(), 3);
    EXPECT_EQ(f[0], QString::fromUtf8("Форма fs (*.[Ff][Ss])"));
    auto matches = [](const QString& pattern, const QString& name) {
        return QRegularExpression::fromWildcard(pattern, Qt::CaseSensitive).match(name).hasMatch();
    };
    EXPECT_TRUE(matches("*.[Ff][Ss]", "a.fs"));
    EXPECT_TRUE(matches("*.[Ff][Ss]", "A.FS"));
    EXPECT_TRUE(matches("*.[Ff][Ss]", "a.Fs"));
    EXPECT_FALSE(matches("*.[Ff][Ss]", "a.fs31"));
    EXPECT_EQ(f[2], QString::fromUtf8("Формы (*.[Ff][Ss]* *.[Ff]1)"));
}

TEST(UiDialogs, NamesShowAsUtf8FileNamesOrAsTheProgramsOwnText) {
    EXPECT_EQ(name_text("/home/u/Бак.fs"), QString::fromUtf8("/home/u/Бак.fs"));
    EXPECT_EQ(name_text(cp("Система")), QString::fromUtf8("Система"));
    EXPECT_EQ(name_text("NONAME"), "NONAME");
    EXPECT_EQ(cps(QString::fromUtf8("Ёмкость")), cp("Ёмкость"));
}

namespace {

// Runs `act` on the modal window once it is up.
void on_modal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr) << "no modal window came up";
        act(w);
    });
}

} // namespace

TEST(UiDialogs, QtsOwnButtonsAndFileDialogSpeakRussian) {
    ASSERT_TRUE(install_qt_translation());
    QMessageBox box(QMessageBox::Question, QString(), QString(),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')),
              QString::fromUtf8("Да"));
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text().remove(QLatin1Char('&')),
              QString::fromUtf8("Отмена"));
    // The edit fields' context menu too.
    QLineEdit field;
    std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
    QStringList items;
    for (QAction* a : menu->actions())
        if (!a->isSeparator())
            items << a->text().remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0);
    EXPECT_EQ(items,
              (QStringList{u("Отменить действие"), u("Повторить действие"), u("Вырезать"),
                           u("Копировать"), u("Вставить"), u("Удалить"), u("Выделить всё")}));

    // The save dialog: Qt's own, wide, patterns hidden; the chosen filter still maps back.
    TempDir dir;
    UiDialogs::FileRequest request;
    request.folder = QString::fromStdString(dir.path());
    request.file_name = QStringLiteral("tank");
    request.filters = qt_filters(QString::fromUtf8("Форма fs|*.FS|Форма fs31|*.FS31"));
    QStringList shown;
    QString accept;
    QSize size;
    on_modal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
        size = dialog->size();
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(types, nullptr);
        for (int i = 0; i < types->count(); ++i)
            shown << types->itemText(i);
        QPushButton* save = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save);
        accept = save->text();
        types->setCurrentIndex(1); // as the user picks it
        emit types->activated(1);
        save->click();
    });
    const UiDialogs::FileAnswer answer = QtDialogs().save_file(nullptr, request);
    EXPECT_EQ(shown, (QStringList{QString::fromUtf8("Форма fs"), QString::fromUtf8("Форма fs31")}));
    EXPECT_EQ(accept.remove(QLatin1Char('&')), QString::fromUtf8("Сохранить"));
    EXPECT_GE(size.width(), 900);
    ASSERT_TRUE(answer.accepted);
    EXPECT_EQ(answer.filter_index, 2);
    EXPECT_EQ(std::filesystem::path(answer.file_name.toStdString()),
              std::filesystem::path(dir.file("tank")));

    // The import dialog's save filter has no description: its patterns show as written.
    request.filters = qt_filters(QStringLiteral("|*.FS*;*.F1"));
    on_modal([&](QWidget* w) {
        shown = {w->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))->currentText()};
        qobject_cast<QDialog*>(w)->reject();
    });
    EXPECT_FALSE(QtDialogs().save_file(nullptr, request).accepted);
    EXPECT_EQ(shown, QStringList{QStringLiteral("*.FS* *.F1")});
}

TEST(UiDialogs, FailuresShowAsErrorsAndRefusalsAsWarnings) {
    std::vector<QMessageBox::Icon> icons;
    for (const MessageKind kind :
         {MessageKind::error, MessageKind::warning, MessageKind::information}) {
        on_modal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            ASSERT_NE(box, nullptr);
            icons.push_back(box->icon());
            box->accept();
        });
        QtDialogs().message(nullptr, QStringLiteral("x"), kind);
    }
    EXPECT_EQ(icons, (std::vector<QMessageBox::Icon>{QMessageBox::Critical, QMessageBox::Warning,
                                                     QMessageBox::Information}));
}

// One stray Enter on the question before a write or a delete changes no unit.
TEST(UiDialogs, EnterOnTheWriteAndDeleteQuestionsCancels) {
    for (const auto buttons :
         {UiDialogs::Buttons::write_cancel, UiDialogs::Buttons::delete_cancel}) {
        on_modal([](QWidget* w) {
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(w, &enter);
        });
        EXPECT_EQ(QtDialogs().confirm(nullptr, QStringLiteral("?"), buttons, true),
                  UiDialogs::Answer::cancel);
    }
}
