#include "engine/ReplaceByFileXY.h"

#include "engine/PrepareDocument.h"
#include "engine/ProcedurePaths.h"

namespace AddRemove {

namespace {

constexpr long kDivisionByZero = 11;
constexpr long kInvalidProcedureCall = 5;

// The labels of the steps that hand the texts to the search; a failure there would run the
// replace with a stale or empty text.
constexpr int kSetSearchText = 120;
constexpr int kSetReplacementText = 122;

}  // namespace

engine::DocumentOutcome ReplaceByFileXY(const engine::InsertContext& context, const QString& path,
                                        const QString& x, const QString& replacement) {
    runtime::ErrorHandler on(context.errors, engine::kPathReplaceByFileXY);
    engine::DocumentOutcome outcome;
    if (x.isEmpty()) {
        on.line(kSetSearchText, [&] {
            throw runtime::Error(kInvalidProcedureCall,
                                 "There is no text x to search for; the document was skipped: " +
                                     path.toStdString());
        });
        outcome.failures = on.reported();
        return outcome;
    }

    const std::string fileName = path.toStdString();
    const std::string searchText = x.toStdString();
    const std::string replacementText = replacement.toStdString();
    word::Ref<word::Application> wd;
    word::Ref<word::Document> doc;

    const engine::Prepared prepared = engine::PrepareDocument(on, context, fileName, wd, doc);
    outcome.skippedAsProtected = prepared == engine::Prepared::kProtected;
    if (prepared == engine::Prepared::kReady) {
        bool sound = true;
        long replaced = 0;
        word::Ref<word::StoryRanges> ranges;
        long rangeCount = 0;
        if (!on.line(108, [&] {
                ranges = wd->ActiveDocument()->StoryRanges();
                rangeCount = ranges->Count();
            }))
            sound = false;

        short k = 0;
        for (long index = 1; sound && index <= rangeCount; ++index) {
            word::Ref<word::Range> r;
            if (!on.line(108, [&] { r = ranges->Item(index); })) {
                sound = false;
                break;
            }
            on.line(110, [&] { ++k; });
            on.line(112, [&] {
                const long c = wd->ActiveDocument()->StoryRanges()->Count();
                if (c == 0)
                    throw runtime::Error(kDivisionByZero, "Division by zero");
                context.view.SetProgressValue(static_cast<double>(k) / static_cast<double>(c) *
                                              100.0);
            });

            // Without its Find object, or with a text that could not be set, this range is
            // not replaced and the document is not saved; the failing step's report is the
            // only one.
            word::Ref<word::Find> f;
            if (!on.line(114, [&] { f = r->Find(); })) {
                sound = false;
                break;
            }
            on.line(116, [&] { f->ClearFormatting(); });
            on.line(118, [&] { f->Replacement()->ClearFormatting(); });
            if (!on.line(kSetSearchText, [&] { f->Text(searchText); }) ||
                !on.line(kSetReplacementText, [&] { f->Replacement()->Text(replacementText); })) {
                sound = false;
                break;
            }
            on.line(124, [&] { f->Forward(true); });
            on.line(126, [&] { f->Wrap(word::wdFindContinue); });
            on.line(128, [&] { f->Format(true); });
            on.line(130, [&] { f->MatchCase(false); });
            on.line(132, [&] { f->MatchWholeWord(false); });
            on.line(134, [&] { f->MatchWildcards(false); });
            on.line(136, [&] { f->MatchSoundsLike(false); });
            on.line(138, [&] { f->MatchAllWordForms(false); });
            on.line(140, [&] {
                f->Replacement()->Font()->Size(context.view.FontSizeText().toStdString());
            });
            on.line(142, [&] {
                f->Replacement()->Font()->Name(context.view.FontNameText().toStdString());
            });
            f.Reset();
            on.line(144, [&] {
                const word::Ref<word::Find> find = r->Find();
                find->Execute(word::wdReplaceAll);
                replaced += find->Replaced();
            });
        }

        if (sound)
            on.line(148, [&] {
                const word::Ref<word::Document> active = wd->ActiveDocument();
                if (active->Saved()) {
                    outcome.unchanged = true;
                    return;
                }
                active->SaveAs(fileName);
                outcome.saved = true;
                outcome.insertions = replaced;
            });
    }
    on.line(150, [&] { wd->Quit(); });
    outcome.failures = on.reported();
    return outcome;
}

}  // namespace AddRemove
