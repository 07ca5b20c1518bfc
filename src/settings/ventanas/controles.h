#pragma once

#include <QComboBox>
#include <QLabel>
#include <QString>
#include <QWidget>
#include <initializer_list>

namespace tarvix::controles {

// A control's caption: the label next to it, which is also its accessible name.
inline QLabel* rotular(QWidget* control, const QString& nombre, const QString& rotulo, QWidget* padre) {
    control->setObjectName(nombre);
    control->setAccessibleName(rotulo);
    auto* l = new QLabel(rotulo, padre);
    l->setObjectName(QStringLiteral("lb") + nombre);
    l->setBuddy(control);
    return l;
}

// A hidden twin list: holds the ids of the visible list at the same index.
inline QComboBox* gemelo(const QString& nombre, const QString& accesible, QWidget* padre) {
    auto* c = new QComboBox(padre);
    c->setObjectName(nombre);
    c->setAccessibleName(accesible);
    c->setVisible(false);
    return c;
}

// The window sees every key before its controls.
inline void verTeclasAntes(QObject* ventana, std::initializer_list<QWidget*> controles) {
    for (QWidget* w : controles)
        w->installEventFilter(ventana);
}

} // namespace tarvix::controles
