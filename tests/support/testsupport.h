#pragma once

#include "components/clbase.h"

#include <QLocale>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTest>
#include <functional>
#include <optional>

namespace prueba {

// Pins the default locale for the life of the object.
class LocaleFijo {
public:
    explicit LocaleFijo(const QString& nombre) : m_anterior(QLocale()) {
        QLocale::setDefault(QLocale(nombre));
    }
    ~LocaleFijo() { QLocale::setDefault(m_anterior); }
    LocaleFijo(const LocaleFijo&) = delete;
    LocaleFijo& operator=(const LocaleFijo&) = delete;

private:
    QLocale m_anterior;
};

// Isolates the per-user settings and data locations of a test run (QStandardPaths test mode) and
// empties the settings group.
void aislarConfiguracion();

// Turns off the mapping of a load (the remembered layouts and the proposal from headers): the field
// row stays empty after a load, for the tests of the load and the mapping by hand.
void sinMapeoAlCargar();

// Time limits of the tests are multiplied by this: 1 in a normal build, 20 in the sanitizer build
// (tools/sanitizadores.sh sets TARVIX_SANITIZADORES), where everything runs many times slower.
inline int factorTiempo() {
    return qEnvironmentVariableIsSet("TARVIX_SANITIZADORES") ? 20 : 1;
}

// The description of the program error `f` raises; empty when it raises none.
QString fallo(const std::function<void()>& f);

// Text with CR LF shown as \r\n, for readable failure messages.
QString visible(const QString& s);

// The throwaway PostgreSQL server the test command started (the TARVIX_PG_* variables of
// tools/pg_prueba.sh); none when it did not start one.
std::optional<Velno::ParametrosConexion> servidorDePrueba();

// A list of texts written as literals (UTF-8) or QStrings.
inline QStringList lista(std::initializer_list<QAnyStringView> textos) {
    QStringList r;
    r.reserve(static_cast<qsizetype>(textos.size()));
    for (const QAnyStringView t : textos)
        r << t.toString();
    return r;
}

// A window's control by its object name (the windows keep their widgets to themselves).
template <typename T> T* hijo(const QObject& ventana, const char* nombre) {
    T* w = ventana.findChild<T*>(QString::fromLatin1(nombre));
    QTEST_ASSERT(w);
    return w;
}

} // namespace prueba
