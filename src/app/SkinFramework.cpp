#include "app/SkinFramework.h"

#include <QApplication>
#include <QFile>

#include "runtime/Error.h"

namespace app {

namespace {

QString Describe(const QVariant& v) {
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    if (v.typeId() == QMetaType::QString)
        return '"' + v.toString() + '"';
    return v.toString();
}

QString DescribeArgs(const QVariantList& args) {
    QStringList parts;
    for (const QVariant& a : args)
        parts << Describe(a);
    return '(' + parts.join(QStringLiteral(", ")) + ')';
}

runtime::Error UnknownMember() {
    return runtime::Error(438, "Object doesn't support this property or method");
}

runtime::Error BadArgument() {
    return runtime::Error(5, "Invalid procedure call or argument");
}

}  // namespace

SkinFramework::SkinFramework(WindowResolver resolveWindow, QObject* parent)
    : QObject(parent), resolveWindow_(std::move(resolveWindow)) {}

QVariant SkinFramework::Invoke(int dispId, const QVariantList& args) {
    trace_ << QStringLiteral("Invoke %1 %2").arg(dispId).arg(DescribeArgs(args));
    switch (dispId) {
        case 2: {
            if (args.size() != 2)
                throw BadArgument();
            QFile file(args[0].toString());
            if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
                throw runtime::Error(75, "Path/File access error");
            styleSheet_ = QString::fromUtf8(file.readAll());
            return true;
        }
        case 3: {
            if (args.size() != 1)
                throw BadArgument();
            QWidget* window = resolveWindow_ ? resolveWindow_(args[0].toInt()) : nullptr;
            if (!window)
                throw BadArgument();
            if (!enabled_)
                return false;
            window->setStyleSheet(styleSheet_);
            if ((options_ & 1) && qApp)
                qApp->setStyleSheet(styleSheet_);
            return true;
        }
        default:
            throw UnknownMember();
    }
}

QVariant SkinFramework::Get(int dispId) {
    QVariant value;
    switch (dispId) {
        case 1:
            value = options_;
            break;
        case 5:
            value = enabled_;
            break;
        case 10:
            value = skinFrames_;
            break;
        default:
            trace_ << QStringLiteral("Get %1").arg(dispId);
            throw UnknownMember();
    }
    trace_ << QStringLiteral("Get %1 = %2").arg(dispId).arg(Describe(value));
    return value;
}

void SkinFramework::Let(int dispId, const QVariant& value) {
    trace_ << QStringLiteral("Let %1 = %2").arg(dispId).arg(Describe(value));
    switch (dispId) {
        case 1:
            options_ = value.toInt();
            break;
        case 5:
            enabled_ = value.toBool();
            break;
        case 10:
            skinFrames_ = value.toBool();
            break;
        default:
            throw UnknownMember();
    }
}

}  // namespace app
