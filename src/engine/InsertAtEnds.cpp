#include "engine/InsertAtEnds.h"

#include "engine/PrepareDocument.h"
#include "engine/ProcedurePaths.h"

namespace AddRemove {

namespace {

word::Ref<word::Selection> SelectionOf(const word::Ref<word::Application>& wd) {
    return wd->ActiveDocument()->Application()->Selection();
}

// The save of a first or last line, which is one insertion.
void SaveInsertion(engine::DocumentOutcome& outcome, const word::Ref<word::Application>& wd,
                   const std::string& fileName) {
    wd->ActiveDocument()->SaveAs(fileName);
    outcome.saved = true;
    outcome.insertions = 1;
}

}  // namespace

engine::DocumentOutcome InsertTextAtBeginningInFile(const engine::InsertContext& context,
                                                    const QString& path) {
    runtime::ErrorHandler on(context.errors, engine::kPathInsertAtBeginning);
    const std::string fileName = path.toStdString();
    word::Ref<word::Application> wd;
    word::Ref<word::Document> doc;
    engine::DocumentOutcome outcome;

    const engine::Prepared prepared = engine::PrepareDocument(on, context, fileName, wd, doc);
    outcome.skippedAsProtected = prepared == engine::Prepared::kProtected;
    if (prepared == engine::Prepared::kReady) {
        on.line(108,
                [&] { SelectionOf(wd)->Font()->Name(context.view.FontNameText().toStdString()); });
        on.line(110,
                [&] { SelectionOf(wd)->Font()->Size(context.view.FontSizeText().toStdString()); });
        // A failure while typing would leave half an insertion behind; such a document is
        // not saved, so the file keeps its former content.
        const bool typed = on.line(112, [&] {
            SelectionOf(wd)->TypeText(context.view.LinesText().toStdString());
        }) && on.line(114, [&] { SelectionOf(wd)->TypeParagraph(); });
        if (typed)
            on.line(116, [&] { SaveInsertion(outcome, wd, fileName); });
    }
    on.line(118, [&] { wd->Quit(); });
    outcome.failures = on.reported();
    return outcome;
}

engine::DocumentOutcome InsertTextAtLastInFile(const engine::InsertContext& context,
                                               const QString& path) {
    runtime::ErrorHandler on(context.errors, engine::kPathInsertAtLast);
    const std::string fileName = path.toStdString();
    word::Ref<word::Application> wd;
    word::Ref<word::Document> doc;
    engine::DocumentOutcome outcome;

    const engine::Prepared prepared = engine::PrepareDocument(on, context, fileName, wd, doc);
    outcome.skippedAsProtected = prepared == engine::Prepared::kProtected;
    if (prepared == engine::Prepared::kReady) {
        // Typing after a failed move would put the lines at the start of the document.
        if (on.line(108, [&] { SelectionOf(wd)->EndKey(word::wdStory); })) {
            on.line(110, [&] {
                SelectionOf(wd)->Font()->Name(context.view.FontNameText().toStdString());
            });
            on.line(112, [&] {
                SelectionOf(wd)->Font()->Size(context.view.FontSizeText().toStdString());
            });
            // Without the new paragraph the lines would run into the last one; without the
            // lines only an empty paragraph would be added. Neither is saved.
            const bool typed =
                on.line(114, [&] { SelectionOf(wd)->TypeParagraph(); }) && on.line(116, [&] {
                    SelectionOf(wd)->TypeText(context.view.LinesText().toStdString());
                });
            if (typed)
                on.line(118, [&] { SaveInsertion(outcome, wd, fileName); });
        }
    }
    on.line(120, [&] { wd->Quit(); });
    outcome.failures = on.reported();
    return outcome;
}

}  // namespace AddRemove
