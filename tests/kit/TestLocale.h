#pragma once
#include <QLocale>
#include <QVariant>
#include <clocale>
#include <optional>

// Checks that must read and write alike whatever the workstation's locale.

// Runs a check under the C locale and under a Brazilian one (Qt's default and the C library's).
template <typename F> void EmCadaLocale(F confere) {
    confere();
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    const bool sistema = std::setlocale(LC_ALL, "pt_BR.UTF-8") || std::setlocale(LC_ALL, "pt_BR.utf8");
    confere();
    QLocale::setDefault(QLocale::c());
    if (sistema)
        std::setlocale(LC_ALL, "C");
}

// An optional number as a table's column holds it: none is a null variant.
inline QVariant Resultado(std::optional<double> valor) {
    return valor ? QVariant(*valor) : QVariant();
}
