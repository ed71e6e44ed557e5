#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QWidget>
#include <functional>

namespace app {

// The invisible skin component. It is reached by late binding (dispatch identifiers), and its
// skin file is a Qt style sheet. Members:
//   2  LoadSkin(path, iniName)   reads the style sheet from path (iniName is not used)
//   1  Options (32-bit flags)    bit 0: the skin also applies to message and input boxes
//   5  Enabled (Boolean)         ApplyWindow skins nothing while False
//   10 SkinFrames (Boolean)      kept for callers; window frames are drawn by the desktop
//   3  ApplyWindow(hWnd)         applies the loaded skin to the window with that handle
// Every call is kept in Trace() in the order made.
class SkinFramework : public QObject {
    Q_OBJECT
  public:
    using WindowResolver = std::function<QWidget*(qint32 hWnd)>;
    explicit SkinFramework(WindowResolver resolveWindow, QObject* parent = nullptr);

    // Calls method dispId; raises runtime::Error 438 for an unknown member, 5 for bad
    // arguments, 75 when the skin file cannot be read.
    QVariant Invoke(int dispId, const QVariantList& args);
    // Reads property dispId; raises 438 for an unknown member.
    QVariant Get(int dispId);
    // Writes property dispId; raises 438 for an unknown member.
    void Let(int dispId, const QVariant& value);

    // The calls made so far, e.g. `Invoke 2 ("/opt/lf/x/o.cjs", "")`, `Get 1 = 0`, `Let 5 = True`.
    const QStringList& Trace() const { return trace_; }
    // The loaded style sheet ("" before LoadSkin).
    const QString& StyleSheet() const { return styleSheet_; }

  private:
    WindowResolver resolveWindow_;
    QStringList trace_;
    QString styleSheet_;
    qint32 options_ = 0;
    bool enabled_ = false;
    bool skinFrames_ = false;
};

}  // namespace app
