#include "intake/PathChecks.h"

#include <QList>

#include "platform/LocaleNames.h"
#include "runtime/ErrorHandler.h"

namespace Main {

bool IsFolder(platform::FileSystem& fs, const QString& path) {
    bool folder = false;
    runtime::IgnoreErrors([&] { folder = (fs.GetAttr(path) & platform::vbDirectory) != 0; });
    return folder;
}

bool PathIsPresent(platform::FileSystem& fs, const QString& path) {
    return runtime::IgnoreErrors([&] { fs.GetAttr(path); });
}

}  // namespace Main

namespace AddFolder {

bool CanOpenFile(platform::FileSystem& fs, const QString& path) {
    bool open = false;
    runtime::IgnoreErrors([&] { open = fs.CanOpenFile(path); });
    return open;
}

bool HasInvalidChars(const QString& name) {
    for (char32_t code : name.toUcs4()) {
        if (code < 32 || (code >= 127 && code <= 159) || code == U'?')
            return true;
    }
    QByteArray ignored;
    return !platform::EncodeFileName(name, &ignored);
}

}  // namespace AddFolder
