#pragma once
// Loading of the plug-in libraries named in template definitions. A plug-in
// called "name" is the file <plug-in folder>/<name><library suffix>, where the
// folder is the program's directory unless the program (or a test) sets
// another. Names that would reach outside that folder are refused.

#include <QFunctionPointer>
#include <QString>

class QLibrary;

namespace platform {

// ".dll", ".dylib" or ".so".
QString librarySuffix();

// The folder plug-ins are loaded from; the program's directory by default.
QString pluginDirectory();
// Sets that folder; an empty text restores the program's directory.
void setPluginDirectory(const QString &dir);

// The file a plug-in name stands for; empty when the name is empty or holds a
// path separator or "..".
QString pluginFileName(const QString &name);

// One use of a plug-in library. Unloads when destroyed. Several uses of the
// same file share one load; the file is unloaded when the last use ends
// (counted here, since QLibrary's own count cannot be relied on for that).
class PluginLibrary {
public:
    PluginLibrary();
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary &) = delete;
    PluginLibrary &operator=(const PluginLibrary &) = delete;

    // Loads the plug-in called name (see pluginFileName). False when the name
    // is refused or the file cannot be loaded; errorString() says why.
    bool load(const QString &name);
    bool isLoaded() const;

    // The exported function symbol, or nullptr when absent or not loaded.
    QFunctionPointer resolve(const char *symbol) const;

    // Releases the library; further resolves return nullptr.
    void unload();

    QString fileName() const;
    QString errorString() const { return m_error; }

private:
    QLibrary *m_library = nullptr;  // shared with the other uses of the same file
    QString m_file;  // its key among the loaded files
    QString m_error;
};

}  // namespace platform
