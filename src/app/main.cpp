// The program: the main window, the import dialog, the cell editor and the table editor, then the
// message loop.
#include "app/gui_message_sink.h"
#include "app/import_dlg.h"
#include "app/prj_form.h"
#include "app/qt_translation.h"
#include "app/termination.h"
#include "editor/edit_dlg.h"
#include "editor/edit_tab_form.h"
#include "render/gui_text.h"
#include "support/syscfg.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tgm"));
    tgm::close_windows_on_termination(&app);
    tgm::install_qt_translation();
    tgm::GuiMessageSink sink;
    tgm::set_message_sink(&sink);
    int status = 1;
    try {
        const std::vector<std::string> params(argv + 1, argv + argc);
        tgm::TPrjForm main_form(params);
        tgm::TImportDlg import_dlg(&main_form);
        tgm::TEditDlg edit_dlg(&main_form);
        tgm::TEditTabForm tab_editor(&main_form);
        main_form.set_import_dialog(&import_dlg);
        main_form.set_table_editor(&tab_editor);
        import_dlg.set_edit_dlg(&edit_dlg);
        import_dlg.set_table_editor(&tab_editor);
        main_form.show();
        status = QApplication::exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, tgm::qs(tgm::config().title()),
                              QString::fromLocal8Bit(e.what()));
    }
    tgm::set_message_sink(nullptr);
    return status;
}
