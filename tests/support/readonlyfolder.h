#pragma once

#include <QString>

namespace varnock::test {

// While it lives, nothing in a folder can be written by this process: the write permissions
// of the folder and of everything in it are taken away, and a process running as root, which
// would ignore them, acts as an unprivileged user meanwhile. Everything is given back when it
// goes out of scope.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString &path);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder &) = delete;
    ReadOnlyFolder &operator=(const ReadOnlyFolder &) = delete;

private:
    QString m_path;
    bool m_wasRoot = false;
};

} // namespace varnock::test
