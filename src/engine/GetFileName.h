#pragma once

#include <QDir>
#include <QString>

namespace Main {

// The part of path behind its last separator: the whole path when it holds none, the empty
// text when it ends with one. The separator is the platform's own unless given.
QString GetFileName(const QString& path, QChar separator = QDir::separator());

}  // namespace Main
