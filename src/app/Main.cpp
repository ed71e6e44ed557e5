#include "app/Main.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>

#include "app/Colors.h"
#include "app/Form1.h"

namespace Main {

bool PathExists(const QString& path) {
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && info.lastModified().isValid();
}

void OpenHomePageAtRandom(app::AppServices& services) {
    services.randomize(services.secondsSinceMidnight());
    const double r = services.random();
    const int n = static_cast<int>(std::floor(r * 100.0)) + 1;
    if (n == 7)
        services.shell.OpenUrl(app::kHomePage);
}

void LoadSkin(app::Form1& form) {
    const QString file = form.Services().programFolder + QDir::separator() + QStringLiteral("x") +
                         QDir::separator() + QStringLiteral("o.cjs");
    if (!PathExists(file))
        return;
    app::SetBackColor(&form, app::kButtonFace);
    for (QWidget* child : form.findChildren<QWidget*>())
        if (app::TakesFormBackColor(child))
            app::SetBackColor(child, app::kButtonFace);
    app::SkinFramework& skin = *form.SkinFramework1;
    skin.Invoke(2, {file, QString()});
    const qint32 options = skin.Get(1).toInt();
    skin.Let(1, options | 1);
    skin.Let(5, true);
    skin.Let(10, true);
    skin.Invoke(3, {form.hWnd()});
}

QString ShortenedTitle(const QString& productTitle) {
    constexpr int kMaxTitle = 40;
    QString title = productTitle;
    do {
        const int blank = title.lastIndexOf(QLatin1Char(' '));
        if (blank < 0)
            return title.left(kMaxTitle);
        title.truncate(blank);
    } while (title.size() > kMaxTitle);
    return title;
}

QString SetApplicationTitle(app::AppServices& services) {
    const QString title = ShortenedTitle(services.productTitle);
    if (services.applicationTitleChanged)
        services.applicationTitleChanged(title);
    return title;
}

}  // namespace Main
