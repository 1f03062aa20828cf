#pragma once
// Texts at the window edge: the core holds code page 1251, file names are the system's bytes.
#include <QString>
#include <string>

namespace tgm {

// A program text written as UTF-8 in the source -> QString.
inline QString u(const char* utf8) { return QString::fromUtf8(utf8); }
// Code page 1251 bytes -> QString.
QString qs(const std::string& cp1251);
// QString -> code page 1251 bytes (characters outside the code page become '?').
std::string cps(const QString& text);
// A file name as the system spells it -> QString, and back.
QString file_text(const std::string& bytes);
std::string file_bytes(const QString& name);
// A project name is a file name or one of the program's own names ("Система"): shown as UTF-8
// when it is valid UTF-8, as code page 1251 otherwise.
QString name_text(const std::string& name);

} // namespace tgm
