#pragma once

#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <cstdlib>

namespace testing_support {

// The real-world document folder, or an empty text when it is absent (tests then skip).
inline QString CorpusDir() {
    const char* env = std::getenv("LINEFORGE_CORPUS");
    if (env && *env && QDir(QString::fromLocal8Bit(env)).exists())
        return QString::fromLocal8Bit(env);
    return QString();
}

}  // namespace testing_support
