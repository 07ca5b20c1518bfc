#pragma once

#include <QLocale>
#include <QString>

namespace prueba {

// Pins the default locale for the life of the object.
class LocaleFijo {
public:
    explicit LocaleFijo(const QString& nombre) : m_anterior(QLocale()) { QLocale::setDefault(QLocale(nombre)); }
    ~LocaleFijo() { QLocale::setDefault(m_anterior); }
    LocaleFijo(const LocaleFijo&) = delete;
    LocaleFijo& operator=(const LocaleFijo&) = delete;

private:
    QLocale m_anterior;
};

// Isolates the per-user settings and data locations of a test run (QStandardPaths test mode) and
// empties the settings group.
void aislarConfiguracion();

// Text with CR LF shown as \r\n, for readable failure messages.
QString visible(const QString& s);

} // namespace prueba
