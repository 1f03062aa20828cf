#include "render/gui_text.h"

#include "support/cp1251.h"

#include <QFile>

namespace tgm {

QString qs(const std::string& cp1251) { return QString::fromStdString(cp1251_to_utf8(cp1251)); }

std::string cps(const QString& text) { return utf8_to_cp1251(text.toStdString()); }

QString file_text(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

std::string file_bytes(const QString& name) { return QFile::encodeName(name).toStdString(); }

QString name_text(const std::string& name) {
    // Valid UTF-8 survives a round trip through the decoder unchanged.
    const QString decoded = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    return decoded.toUtf8().toStdString() == name ? decoded : qs(name);
}

} // namespace tgm
