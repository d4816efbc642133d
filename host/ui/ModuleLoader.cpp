#include "ModuleLoader.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString ModuleLoader::Locate(const QString& module) {
    const QString dir = QCoreApplication::applicationDirPath();
    for (const QString& candidate : {dir + QStringLiteral("/../lib/lib") + module + QStringLiteral(".so"),
                                     dir + QStringLiteral("/lib") + module + QStringLiteral(".so")})
        if (QFileInfo::exists(candidate))
            return QFileInfo(candidate).canonicalFilePath();
    return module;
}

bool ModuleLoader::Load(const QString& module, QString* error) {
    m_library.setFileName(Locate(module));
    if (!m_library.load()) {
        if (error)
            *error = m_library.errorString();
        return false;
    }
    using Entry = void (*)();
    auto load = reinterpret_cast<Entry>(m_library.resolve("kelmModuleLoad"));
    if (!load) {
        if (error)
            *error = QStringLiteral("%1 não é um módulo válido.").arg(module);
        m_library.unload();
        return false;
    }
    load();
    return true;
}

void ModuleLoader::Unload() {
    if (!m_library.isLoaded())
        return;
    using Entry = void (*)();
    if (auto unload = reinterpret_cast<Entry>(m_library.resolve("kelmModuleUnload")))
        unload();
    m_library.unload();
}
