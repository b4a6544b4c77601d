#include "platform/PluginLibrary.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

#include <map>
#include <memory>

namespace platform {

namespace {
QString &configuredDirectory()
{
    static QString dir;
    return dir;
}

// Every loaded plug-in file and the number of its uses.
struct Loaded {
    std::unique_ptr<QLibrary> library;
    int uses = 0;
};
std::map<QString, Loaded> &loadedFiles()
{
    static std::map<QString, Loaded> files;
    return files;
}
}  // namespace

QString librarySuffix()
{
#if defined(Q_OS_WIN)
    return QStringLiteral(".dll");
#elif defined(Q_OS_DARWIN)
    return QStringLiteral(".dylib");
#else
    return QStringLiteral(".so");
#endif
}

QString pluginDirectory()
{
    const QString &dir = configuredDirectory();
    return dir.isEmpty() ? QCoreApplication::applicationDirPath() : dir;
}

void setPluginDirectory(const QString &dir)
{
    configuredDirectory() = dir;
}

QString pluginFileName(const QString &name)
{
    if (name.isEmpty() || name.contains(u'/') || name.contains(u'\\') || name.contains(QLatin1String("..")))
        return {};
    return QDir(pluginDirectory()).filePath(name + librarySuffix());
}

PluginLibrary::PluginLibrary() = default;

PluginLibrary::~PluginLibrary()
{
    unload();
}

bool PluginLibrary::load(const QString &name)
{
    unload();
    const QString file = pluginFileName(name);
    if (file.isEmpty()) {
        m_error = QStringLiteral("ongeldige naam van een plug-in: '%1'").arg(name);
        return false;
    }
    Loaded &entry = loadedFiles()[file];
    if (!entry.library) {
        auto library = std::make_unique<QLibrary>(file);
        if (!library->load()) {
            m_error = library->errorString();
            loadedFiles().erase(file);
            return false;
        }
        entry.library = std::move(library);
    }
    ++entry.uses;
    m_library = entry.library.get();
    m_file = file;
    m_error.clear();
    return true;
}

bool PluginLibrary::isLoaded() const
{
    return m_library != nullptr;
}

QFunctionPointer PluginLibrary::resolve(const char *symbol) const
{
    return m_library ? m_library->resolve(symbol) : nullptr;
}

void PluginLibrary::unload()
{
    if (!m_library)
        return;
    const auto it = loadedFiles().find(m_file);
    m_library = nullptr;
    m_file.clear();
    if (it == loadedFiles().end() || --it->second.uses > 0)
        return;
    it->second.library->unload();
    loadedFiles().erase(it);
}

QString PluginLibrary::fileName() const
{
    return m_file;
}

}  // namespace platform
