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

  private:
    Form1& form_;
    AppServices& services_;
    platform::PosixFileSystem nativeFileSystem_;
    platform::FileSystem& fileSystem_;
};

// Creates the intake controller as a child of the window.
void AttachIntakeController(Form1& form, AppServices& services);

}  // namespace app
