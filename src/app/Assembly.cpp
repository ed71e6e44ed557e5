#include "app/Assembly.h"

#include <QGuiApplication>
#include <QScreen>

#include "app/IntakeController.h"
#include "app/ListController.h"
#include "app/RunController.h"
#include "app/WindowFit.h"

namespace app {

void AttachControllers(Form1& form, AppServices& services) {
    // Each subsystem adds exactly one line here, e.g.
    //   engine::AttachInsertionRun(form, services);
    // Keep them in this order: intake, engine, listui.
    (void)form;
    (void)services;
    AttachIntakeController(form, services);
    AttachRunController(form, services);
    AttachListController(form, services);
}

std::unique_ptr<Form1> CreateMainWindow(AppServices& services) {
    auto form = std::make_unique<Form1>(services);
    AttachControllers(*form, services);
    form->Form_Load();
    return form;
}

void ShowMainWindow(Form1& form) {
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect available = screen->availableGeometry();
        const QMargins frame = ExpectedFrame(form);
        const double scale = FitScale(Form1::DesignSize(), frame, available.size());
        if (scale != form.LayoutScale())
            form.SetLayoutScale(scale);
        form.move(FramePosition(form.size(), frame, available));
    }
    form.show();
}

}  // namespace app
