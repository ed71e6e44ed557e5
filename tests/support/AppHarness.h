#pragma once

// A complete set of fake services for widget tests of the main window (link lf_app).

#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "FakeDialogs.h"
#include "Fakes.h"
#include "app/AppServices.h"
#include "word/Registry.h"

namespace testing_support {

// A Word application that knows only its font names; document members raise.
class FontOnlyWord : public word::Application {
  public:
    explicit FontOnlyWord(std::vector<std::string> fonts, int* quits = nullptr)
        : fonts_(std::move(fonts)), quits_(quits) {}
    std::vector<std::string> FontNames() override { return fonts_; }
    word::Ref<word::Documents> Documents() override { throw Unsupported(); }
    word::Ref<word::Document> ActiveDocument() override { throw Unsupported(); }
    word::Ref<word::Selection> Selection() override { throw Unsupported(); }
    void Quit() override {
        if (quits_)
            ++*quits_;
    }

  private:
    static word::Error Unsupported() { return word::Error(438, "Not supported by this test"); }
    std::vector<std::string> fonts_;
    int* quits_;
};

// Fakes for every service; the program folder is an empty temporary folder. Word is absent
// until RegisterFonts() is called. endProgram only counts.
struct AppHarness {
    word::Registry registry;
    FakeDialogs dialogs;
    MemorySettings settings;
    FakeEventLoop events;
    FakeShell shell;
    FakeCursor cursor;
    QTemporaryDir programDir;
    double nextRandom = 0.5;
    std::vector<double> seeds;
    int endCalls = 0;
    int wordCreated = 0;
    int wordQuits = 0;
    QStringList titlesTold;

    app::AppServices services{
        .registry = registry,
        .dialogs = dialogs,
        .settings = settings,
        .events = events,
        .shell = shell,
        .cursor = cursor,
        .programFolder = programDir.path(),
        .random = [this] { return nextRandom; },
        .endProgram = [this] { ++endCalls; },
        .randomize = [this](double seed) { seeds.push_back(seed); },
        .secondsSinceMidnight = [] { return 45296.0; },
        .productTitle = app::kProductTitle,
        .applicationTitleChanged = [this](const QString& t) { titlesTold << t; },
    };

    // Makes "Word.Application" creatable, reporting these font names.
    void RegisterFonts(std::vector<std::string> fonts) {
        registry.Register("Word.Application", [this, fonts] {
            ++wordCreated;
            return std::make_shared<FontOnlyWord>(fonts, &wordQuits);
        });
    }
    // Stores a setting of the program.
    void Store(const QString& key, const QString& value) {
        settings.values[QStringLiteral("Kestrova/Lineforge Suite/") + key] = value;
    }
};

}  // namespace testing_support
