#pragma once

#include <QObject>

#include "app/AppServices.h"
#include "app/Form1.h"
#include "intake/IntakeContext.h"
#include "platform/PosixFileSystem.h"

namespace app {

// Connects "Add Word File(s)" (PushButton1), "Add All Word File(s) In Folder" (PushButton3) and
// drag and drop onto ListView1 to the document intake. A child of the window, so it lives
// exactly as long as the window.
class IntakeController : public QObject {
    Q_OBJECT
  public:
    IntakeController(Form1& form, AppServices& services);

    // The services the intake handlers run with.
    intake::IntakeContext Context();

    // Adds the paths the program was started with, through the same checks as a drop.
    void AddStartPaths(const QStringList& arguments);

  private:
    Form1& form_;
    AppServices& services_;
    platform::PosixFileSystem nativeFileSystem_;
    platform::FileSystem& fileSystem_;
};

// Creates the intake controller as a child of the window.
void AttachIntakeController(Form1& form, AppServices& services);

// Adds the paths the program was started with (arguments after the program's own name) to the
// window's list, through the same checks as a drop on it.
void AddStartPaths(Form1& form, const QStringList& arguments);

}  // namespace app
